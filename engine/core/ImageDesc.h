// One image file the engine knows: its path, the image while something holds a load of it, and
// the load count. The first load creates the image through the application's image loading
// (VTImageServices), the last unload deletes it. Owned by the texture catalogue, which keeps every
// descriptor at a fixed address for the handles (VTImageRef) that point to it.
#pragma once
#include "engine/core/ImageServices.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace Fw {
class MemoryImage;
}

namespace VTImage {

class VTImageDesc {
public:
    // No image and no load yet. services may be null (then every load fails). Loads on
    // profileThread (the main thread) are timed by the section profiler; others are not, as the
    // profiler is main-thread only.
    VTImageDesc(std::string path, VTImageServices* services, std::thread::id profileThread = {});
    ~VTImageDesc();
    VTImageDesc(const VTImageDesc&) = delete;
    VTImageDesc& operator=(const VTImageDesc&) = delete;

    // Raises the load count; the first load creates the image. Every load that finds no image
    // writes the path to the debugger output and prints the script traceback. Any thread.
    void Load();
    // Lowers the load count; at 0 the image is deleted. Only a holder of a load calls it; with no
    // load held it does nothing. Any thread.
    void Unload();

    const std::string& Path() const { return path_; }
    // The image, or null when not loaded or when the load failed. Valid while the caller holds a load.
    Fw::MemoryImage* Image() const;
    int32_t LoadCount() const;

private:
    // Load and unload lines go to the script log only with "LogImgLoads" on, outside script loads,
    // and not for the loading screen's and the cursors' images.
    bool ShouldLogLoads() const;

    const std::string path_;
    VTImageServices* const services_;
    const std::thread::id profileThread_;
    mutable std::mutex mutex_; // guards image_ and loadCount_; never held while calling scripts
    std::unique_ptr<Fw::MemoryImage> image_;
    int32_t loadCount_ = 0;
};

} // namespace VTImage
