# The set-up commands of the README: `make run` and `make test`, and beside them `make tsan`,
# `make fuzz` and `make bench`. Each installs what is missing, configures, builds and does its job.
JOBS ?= $(shell nproc)
RUN_DIR   := build/release
TEST_DIR  := build/test
BENCH_DIR := build/bench
TSAN_DIR  := build/tsan
FUZZ_DIR  := build/fuzz
# Seconds each fuzz target runs under `make fuzz` (all targets at once, up to JOBS at a time).
FUZZ_SECONDS ?= 60
CLANG     := -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
# Rebuilds go through ccache when it is installed (nothing changes without it).
CCACHE    := $(shell command -v ccache 2>/dev/null)
LAUNCHER  := $(if $(CCACHE),-DCMAKE_C_COMPILER_LAUNCHER=$(CCACHE) -DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE))

.PHONY: deps run build test tsan fuzz bench clean

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

# The tests that run real threads (suites named *Threads), built alone with ThreadSanitizer.
# Line tables are all the reports need, and they keep this second build quick.
tsan: deps
	cmake -S . -B $(TSAN_DIR) -G Ninja $(CLANG) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-gline-tables-only \
		-DCMAKE_C_FLAGS_DEBUG=-gline-tables-only -DFW_TSAN=ON -DFW_BUILD_TESTS=ON $(LAUNCHER)
	cmake --build $(TSAN_DIR) -j $(JOBS) --target threads_tests
	scripts/run-tests.sh $(TSAN_DIR) $(JOBS) -L threads

# libFuzzer targets of tests/fuzz, each run for FUZZ_SECONDS from its seed corpus.
fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -G Ninja $(CLANG) -DCMAKE_BUILD_TYPE=Debug -DFW_FUZZ=ON -DFW_BUILD_TESTS=ON $(LAUNCHER)
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	scripts/run-fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS) $(JOBS)

bench: deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DFW_BUILD_TESTS=OFF -DFW_BUILD_BENCH=ON $(LAUNCHER)
	cmake --build $(BENCH_DIR) -j $(JOBS)
	scripts/run-bench.sh $(BENCH_DIR)

clean:
	rm -rf build
