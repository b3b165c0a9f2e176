// What the display asks of a 3-D renderer and its capability test. The display runs in 2-D while
// none is attached: Init then switches its 3-D flag off, as a failed capability test would.
#pragma once
#include "platform/Device3D.h"
#include "platform/WindowMessages.h"

#include <string>

namespace Fw {

class DDInterface;
class MemoryImage;
class Renderer3D;

class DisplayRenderer {
public:
    virtual ~DisplayRenderer() = default;
    // Runs the capability test for window; false keeps the display in 2-D.
    virtual bool TestCapability(Platform::WindowId window) = 0;
    // Prepares drawing onto display's draw surface; false: GetErrorText says why.
    virtual bool Init(DDInterface& display) = 0;
    // The last failure; not empty once a call failed during the frame.
    virtual std::string GetErrorText() = 0;
    // Ends the frame's scene (before presentation).
    virtual void Flush() = 0;
    virtual void Cleanup() = 0;
    virtual void RemoveTextureData(MemoryImage* image) = 0;
    // Reads the image's pixels back from its textures into its bits; false when it has none.
    virtual bool RecoverTextureBits(MemoryImage* /*image*/) { return false; }
    // The drawing operations surface images route to it.
    virtual Renderer3D* GetDrawing() = 0;
    // Whether the renderer shows the frame in the window itself (its device draws into the
    // window's own context): the display then presents through PresentToWindow and the draw
    // surface holds the picture only after ReadBack.
    virtual bool PresentsToWindow() { return false; }
    virtual bool PresentToWindow(const Platform::WindowPresentation& how)
    {
        (void)how;
        return false;
    }
    // Copies the frame drawn so far into the draw surface; false when it cannot.
    virtual bool ReadBack() { return true; }
};

} // namespace Fw
