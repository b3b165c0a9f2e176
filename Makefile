# The two set-up commands of the README: `make run` and `make test`.
# Each installs what is missing, configures, builds and does its job.
JOBS ?= $(shell nproc)
RUN_DIR   := build/release
TEST_DIR  := build/test
BENCH_DIR := build/bench
# Rebuilds go through ccache when it is installed (nothing changes without it).
CCACHE    := $(shell command -v ccache 2>/dev/null)
LAUNCHER  := $(if $(CCACHE),-DCMAKE_C_COMPILER_LAUNCHER=$(CCACHE) -DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE))

.PHONY: deps run build test bench clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(RUN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFW_BUILD_TESTS=OFF $(LAUNCHER)
	cmake --build $(RUN_DIR) -j $(JOBS)

run: build
	scripts/run-game.sh $(RUN_DIR)

test: deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFW_SANITIZE=ON -DFW_BUILD_TESTS=ON $(LAUNCHER)
	cmake --build $(TEST_DIR) -j $(JOBS)
	scripts/run-tests.sh $(TEST_DIR) $(JOBS)

bench: deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DFW_BUILD_TESTS=OFF -DFW_BUILD_BENCH=ON $(LAUNCHER)
	cmake --build $(BENCH_DIR) -j $(JOBS)
	scripts/run-bench.sh $(BENCH_DIR)

clean:
	rm -rf build
