// Image descriptors: counted loading through the application's image services, with the load log
// of the debug settings.
#include "engine/core/ImageDesc.h"

#include "engine/core/DebugLog.h"
#include "engine/core/DebugSettings.h"
#include "framework/app/AppBase.h"
#include "framework/assets/ImageLib.h"
#include "framework/core/Profiler.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/Clock.h"

#include <optional>
#include <string_view>

namespace VTImage {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

VTImageDesc::VTImageDesc(std::string path, VTImageServices* services, std::thread::id profileThread)
    : path_(std::move(path)), services_(services), profileThread_(profileThread)
{
}

VTImageDesc::~VTImageDesc() = default;

Fw::MemoryImage* VTImageDesc::Image() const
{
    std::lock_guard lock(mutex_);
    return image_.get();
}

int32_t VTImageDesc::LoadCount() const
{
    std::lock_guard lock(mutex_);
    return loadCount_;
}

bool VTImageDesc::ShouldLogLoads() const
{
    return services_ && gDebugSettings && gDebugSettings->logImgLoads && !services_->IsScriptLoadBusy() &&
           !StartsWith(path_, "tex\\UI\\loading_screen\\") && !StartsWith(path_, "tex\\UI\\cursor\\");
}

void VTImageDesc::Load()
{
    std::optional<Fw::ProfileScope> profile;
    if (std::this_thread::get_id() == profileThread_)
        profile.emplace("  VTImage::VTImageDesc::Load() ");

    bool firstLoad = false, missing = false;
    {
        // The image is made under the lock, so a second loader waits for it instead of finding
        // none yet and reporting a failure.
        std::lock_guard lock(mutex_);
        if (loadCount_++ == 0) {
            firstLoad = true;
            if (services_)
                image_ = services_->LoadEngineImage(path_);
        }
        missing = image_ == nullptr;
    }
    // Script calls run without the descriptor's lock: scripts take the interpreter's lock first.
    if (firstLoad && ShouldLogLoads())
        services_->WriteScriptLog("Load image: '" + path_ + "'");
    if (missing) {
        DebugLog("%s \n", path_.c_str());
        DebugLog("Image \"%s\" could not be loaded: %s\n", path_.c_str(),
                 ImageLib::DescribeLoadFailure(Fw::StripPngExtension(path_)).c_str());
        if (services_)
            services_->ShowScriptTraceback();
    }
}

void VTImageDesc::Unload()
{
    std::unique_ptr<Fw::MemoryImage> freed;
    bool last = false;
    {
        std::lock_guard lock(mutex_);
        if (loadCount_ <= 0)
            return;
        if (--loadCount_ == 0) {
            freed = std::move(image_);
            last = true;
        }
    }
    freed.reset();
    if (last && ShouldLogLoads()) {
        services_->WriteScriptLog("Unload image: '" + path_ + "'");
        Platform::GetClock().Sleep(1);
    }
}

} // namespace VTImage
