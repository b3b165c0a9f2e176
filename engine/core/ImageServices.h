// What the engine's image descriptors need from the application: a new image from a file and the
// script diagnostics that report image loads. The engine object implements it (over the
// application's image loading and the game script); tests pass a small fake.
#pragma once
#include <memory>
#include <string>

namespace Fw {
class MemoryImage;
}

class VTImageServices {
public:
    // A new image of the file at path (relative to the program folder, through the archive layer),
    // its pixels committed to the display; null when nothing loads. Any thread.
    virtual std::unique_ptr<Fw::MemoryImage> LoadEngineImage(const std::string& path) = 0;
    // True while the script's start-up or a level load runs (image load logging is then off).
    virtual bool IsScriptLoadBusy() = 0;
    // Hands text to the script's debug log.
    virtual void WriteScriptLog(const std::string& text) = 0;
    // Prints the script's current traceback (reported with an image that failed to load).
    virtual void ShowScriptTraceback() = 0;

protected:
    ~VTImageServices() = default;
};
