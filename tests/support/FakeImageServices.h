// A stand-in for the application's image services of the engine's image descriptors: images made
// in memory by path, else files read with the image reader (so from archives too); every creation
// and deletion counted (from any thread); script log lines and tracebacks recorded.
#pragma once
#include "engine/core/ImageServices.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace TestSupport {

class FakeImageServices : public VTImageServices {
public:
    // A width x height image for path, every pixel fill.
    void Add(const std::string& path, int width, int height, uint32_t fill);
    void Add(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels);

    std::unique_ptr<Fw::MemoryImage> LoadEngineImage(const std::string& path) override;
    bool IsScriptLoadBusy() override { return scriptLoadBusy; }
    void WriteScriptLog(const std::string& text) override { log.push_back(text); }
    void ShowScriptTraceback() override { ++tracebacks; }

    int Created() const { return *created_; }
    int Deleted() const { return *deleted_; }

    bool scriptLoadBusy = false;
    std::vector<std::string> log;
    int tracebacks = 0;

private:
    struct Picture {
        int width = 0, height = 0;
        std::vector<uint32_t> pixels;
    };
    std::map<std::string, Picture> pictures_;
    // Shared with the images, which may outlive the fake.
    std::shared_ptr<std::atomic<int>> created_ = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<int>> deleted_ = std::make_shared<std::atomic<int>>(0);
};

} // namespace TestSupport
