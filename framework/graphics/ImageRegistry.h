// What a memory image needs from the application that holds it: the set of live images, the
// texture and shared-image bookkeeping and the display's pixel format. The application object
// implements it and installs itself as the default; images made without one (tests, tools) use
// whatever is installed, possibly none.
#pragma once

namespace Fw {

class MemoryImage;
class NativeDisplay;

class ImageRegistry {
public:
    // Called by every memory image on construction / destruction; removal also drops the
    // image's 3-D texture. Any thread (the loading thread makes images too).
    virtual void AddMemoryImage(MemoryImage* image) = 0;
    virtual void RemoveMemoryImage(MemoryImage* image) = 0;
    // Lets the display drop the image's 3-D texture.
    virtual void RemoveImageTextureData(MemoryImage* image) = 0;
    // Reads the image's pixels back from its 3-D texture into its (allocated) bits, when the bits
    // were dropped in favour of the texture. False when there is nothing to read.
    virtual bool RecoverImageTextureBits(MemoryImage* /*image*/) { return false; }
    // A shared image's reference count reached 0: unused shared images may be freed.
    virtual void RequestSharedImageCleanUp() = 0;
    // Whether the display draws through the 3-D renderer.
    virtual bool Is3DAccelerated() = 0;
    // The display's pixel format, or null before a display exists.
    virtual NativeDisplay* GetNativeDisplay() = 0;

protected:
    ~ImageRegistry() = default;
};

// The registry that images made without one join: the application installs itself in its
// constructor and removes itself (nullptr) in its destructor.
ImageRegistry* GetDefaultImageRegistry();
void SetDefaultImageRegistry(ImageRegistry* registry);

} // namespace Fw
