// The game's own mouse pointers: one image per cursor mode from the "cursors" elements of
// "cfg\ui.xml", selected by mode name and drawn at the mouse position on top of every frame (the
// engine's overlay drawing). Owned by the engine object, which keeps its texture catalogue alive
// longer than the cursor manager.
#pragma once
#include "engine/core/CursorHost.h"
#include "engine/core/ImageRef.h"
#include "platform/XmlDocument.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

class VTTextureCatalogue;

namespace Fw {
class Graphics;
}

struct VTCursorRecord {
    VTImageRef image;
    int32_t hotSpotX = 0, hotSpotY = 0; // pixels from the image's top left corner
};

class VTCursorManager {
public:
    // Empty table, no current cursor, drawing enabled. catalogue may be null (nothing loads then).
    VTCursorManager(VTCursorHost& host, VTTextureCatalogue* catalogue);
    // Reset, then the table goes.
    ~VTCursorManager();
    VTCursorManager(const VTCursorManager&) = delete;
    VTCursorManager& operator=(const VTCursorManager&) = delete;

    // Reads every "cursors" child of node; true.
    bool LoadFromXml(const Platform::XmlNode& node);
    // Enters one cursor: "mode" and "image" (a catalogue name) required, "hot_spot_x" and
    // "hot_spot_y" (absent: 0). A mode already in the table keeps its first record. True (the
    // walk goes on).
    bool ReadCursorNode(const Platform::XmlNode& element);
    // "none" hides the pointer; a mode with an image becomes the current cursor, drawn by Draw; an
    // unknown mode gives the standard pointer. A mode whose record has no image changes nothing.
    // Scripts call it from any thread: the current record is swapped in one atomic step, so Draw
    // on the main thread sees the old cursor or the new one, never a mix.
    void SetCursor(std::string_view mode);
    // The current cursor's image at the mouse position less its hot spot, while drawing is enabled.
    void Draw(Fw::Graphics& g);
    void EnableDrawing() { drawingEnabled_ = true; }
    void DisableDrawing() { drawingEnabled_ = false; }
    // No current cursor, the standard pointer, and every record's image released.
    void Reset();

    bool IsDrawingEnabled() const { return drawingEnabled_; }
    const VTCursorRecord* Current() const { return current_.load(); }

private:
    void Apply(int32_t cursorNumber, bool custom);

    VTCursorHost& host_;
    VTTextureCatalogue* catalogue_;
    std::map<std::string, VTCursorRecord, std::less<>> cursors_;
    // Records are entered only while the table loads, never removed before the manager goes.
    std::atomic<VTCursorRecord*> current_{nullptr};
    // Switched off by the loading step on the framework's loading thread while the main thread
    // draws frames.
    std::atomic<bool> drawingEnabled_{true};
};
