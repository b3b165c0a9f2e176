// The framework's catalogue of named resources: reads resource sections ("Image", "Font", "Sound",
// "SetDefaults" elements) through its own XML reader, keeps one record per id, groups them, loads
// and unloads them group by group and hands them out by id. Errors are sticky: the first one is
// kept with its line and file, and later loads do nothing.
#pragma once
#include "framework/assets/XmlReader.h"
#include "framework/graphics/AnimInfo.h"
#include "framework/graphics/SharedImageRef.h"

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace Fw {

class Font;
class ImageRegistry;
class MemoryImage;
class SharedImageSource;

class ResourceManagerException : public std::exception {
public:
    explicit ResourceManagerException(std::string what) : what_(std::move(what)) {}
    const char* what() const noexcept override { return what_.c_str(); }

private:
    std::string what_;
};

class ResourceManager {
public:
    struct BaseRes {
        enum Type { Image = 0, Font = 1 };
        virtual ~BaseRes() = default;
        virtual void DeleteResource() {}

        int32_t type = Image;
        std::string id;
        std::string group;
        std::string path;
        std::map<std::wstring, std::wstring> attributes;
        bool fromProgram = false; // path "!program"
    };

    struct ImageRes : BaseRes {
        void DeleteResource() override { image.Release(); }

        SharedImageRef image;
        std::string alphaImagePath;
        std::string alphaGridImagePath;
        std::string variant;
        bool alphaAllowed = true;
        bool palletize = true;
        bool useA4R4G4B4 = false;
        bool useA8R8G8B8 = false;
        bool ddSurface = false;
        bool purgeBits = false;
        bool minSubdivide = false;
        int32_t rows = 1;
        int32_t cols = 1;
        uint32_t alphaColor = 0xFFFFFF;
        AnimInfo anim;
    };

    struct FontRes : BaseRes {
        void DeleteResource() override;

        std::unique_ptr<Fw::Font> font;
        std::unique_ptr<MemoryImage> image;
        std::string imagePath;
        std::string tags;
        bool sysFont = false;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool shadow = false;
        int32_t size = 0;
    };

    using ResMap = std::map<std::string, std::unique_ptr<BaseRes>>;

    // images: where shared images come from (the application); display: answers whether drawing
    // is in 3-D (may be null: 2-D).
    ResourceManager(SharedImageSource* images, ImageRegistry* display);
    virtual ~ResourceManager();
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    // Reads a resource file: any root element holding "Resources" sections; a section's "id"
    // attribute names the group its resources join. False on the first error (see GetErrorText).
    bool ParseResourcesFile(const std::string& fileName);
    // Reads from a reader positioned inside a section, up to the section's end element. The
    // reader must outlive the call; group names the group the resources join.
    bool ParseResources(XmlReader& reader, const std::string& group);

    virtual void StartLoadResources(const std::string& group);
    virtual bool LoadNextResource();
    virtual bool LoadResources(const std::string& group);
    virtual void UnloadResources(const std::string& group);
    virtual void ResourceLoadedHook(BaseRes* /*record*/) {}

    virtual SharedImageRef GetImageThrow(const std::string& id);
    virtual int GetSoundThrow(const std::string& id) { return (void)id, -1; }
    virtual Fw::Font* GetFontThrow(const std::string& id);
    Fw::Font* GetFont(const std::string& id); // the loaded font or null

    bool Fail(const std::string& text);
    bool HadError() const { return hadError_; }
    const std::string& GetErrorText() const { return error_; }
    bool IsGroupLoaded(const std::string& group) const { return loadedGroups_.count(group) != 0; }
    const ResMap& Images() const { return images_; }
    const ResMap& Fonts() const { return fonts_; }

    bool allowMissingProgramImages = false;

protected:
    virtual bool ParseCommonResource(const XmlReaderNode& node, std::unique_ptr<BaseRes> record, ResMap& table);
    virtual bool ParseSoundResource(const XmlReaderNode& node);
    virtual bool ParseImageResource(const XmlReaderNode& node);
    virtual bool ParseFontResource(const XmlReaderNode& node);
    virtual bool ParseSetDefaults(const XmlReaderNode& node);
    virtual void UnloadMap(ResMap& table, const std::string& group);
    virtual bool DoLoadImage(ImageRes* record);
    virtual bool DoLoadFont(FontRes* record);
    bool LoadAlphaImage(ImageRes* record, MemoryImage* image);
    bool LoadAlphaGridImage(ImageRes* record, MemoryImage* image);

private:
    bool ParseSection();

    SharedImageSource* imageSource_;
    ImageRegistry* display_;
    std::set<std::string> loadedGroups_;
    ResMap images_;
    ResMap sounds_; // never filled: sounds are accepted and ignored
    ResMap fonts_;
    std::string error_;
    XmlReader* reader_ = nullptr;
    bool hadError_ = false;
    std::string currentGroup_;
    std::string defaultPath_;
    std::string defaultIdPrefix_;
    bool duplicate_ = false;
    std::map<std::string, std::vector<BaseRes*>> groups_;
    std::vector<BaseRes*>* loadList_ = nullptr;
    size_t loadPos_ = 0;
};

} // namespace Fw
