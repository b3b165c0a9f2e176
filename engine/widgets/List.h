// The engine's list box: a column of text lines, one selected (a filled bar behind it) and one the
// active item (a check texture in front of it), paged through a scroll bar child named "scroll".
// Draws a normal or disabled background (texture ids 0 and 1) and the visible lines from a cached
// picture. Built from "vtlist" skin elements; scripts fill lists and may build the scroll bar in code
// (MakeScrollbar). A line height of 0 or less draws no lines and selects nothing.
#pragma once
#include "engine/core/Texture.h"
#include "engine/widgets/CandyWidget.h"
#include "engine/widgets/SkinText.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class VTDialog;
class VTScrollBar;
namespace Fw {
class AppBase;
class MemoryImage;
} // namespace Fw

class VTList : public VTCandyWidget {
public:
    enum TextureId : int32_t { kNormal = 0, kDisabled = 1 };
    // Frame descriptions of MakeScrollbar: four states (normal, over, down, disabled) for each part.
    enum ScrollPart : int32_t { kScrollUp = 0, kScrollDown = 1, kScrollSlider = 2, kScrollPartCount = 3 };

    explicit VTList(VTCandyWidget* engineParent);
    ~VTList() override;

    static std::unique_ptr<VTCandyWidget> CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                            const Platform::XmlNode& element);

    // "line_spacing" (-1), "left" (0), "sel_color" (absent: opaque black), the common properties, the
    // scroll bar "scroll" (placed along the right edge), the text attributes ("color", "dcolor"), the
    // "normal" and "disabled" backgrounds and the "check" texture ("texture" a catalogue name, "u",
    // "v", "width", "height").
    virtual void LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* owner);
    // index 0..2 (shadow, stroke, normal); other indices are ignored. A normal font sets the line
    // height to its height; a null one keeps the line height.
    virtual void SetTextAttr(int32_t index, Fw::Font* font, const Fw::Color& color, const Fw::Color& disabledColor);
    // One image as the still frame of both extra images.
    virtual void SetImages(const VTImageRef& image);
    // Appends a line; the scroll bar's range follows and its position goes back to 0.
    virtual void AddLine(const std::wstring& line);
    // Removes every line; the scroll bar's range becomes 0 (its buttons hide).
    virtual void Clear();
    // The line that carries the check texture (-1 none); shows at the next redraw.
    virtual void SetActiveItem(int32_t index) { activeItem_ = index; }
    virtual int32_t GetSelectedItem() const { return selectedItem_; }
    // Shows at the next redraw.
    virtual void SetSelectedItem(int32_t index) { selectedItem_ = index; }
    // Called after every redraw of the lines; empty here (the script twin tells the script).
    virtual void OnPagePosChanged() {}
    // Builds the scroll bar "scroll" with buttons up (1), down (2) and slider (3) from scrollFrames,
    // placed right of the list at scrollBarOffsetX. Replaces nothing: without a texture catalogue
    // the buttons have no images.
    void MakeScrollbar();
    // The cached lines are drawn again at the next draw.
    void InvalidateImage() { imageValid_ = false; }
    // The first line shown (a scroll bar's position overrides it at the next update or redraw).
    void SetFirstVisibleLine(int32_t line) { firstVisibleLine_ = line; }
    // The height of every line; 0 or less draws no lines.
    void SetLineHeight(int32_t lineHeight) { lineHeight_ = lineHeight; }

    int32_t GetActiveItem() const { return activeItem_; }
    int32_t GetFirstVisibleLine() const { return firstVisibleLine_; }
    int32_t GetLineHeight() const { return lineHeight_; }
    const std::vector<std::wstring>& GetLines() const { return lines_; }
    VTScrollBar* GetScrollBar() const { return scrollBar_; }
    const VTTextAttr& GetTextAttr(int32_t index) const { return attrs_.at(static_cast<size_t>(index)); }
    bool IsImageValid() const { return imageValid_; }
    Fw::MemoryImage* GetListImage() const { return listImage_.get(); }
    VTTexture& CheckTexture() { return check_; }
    VTTexture& Image(int32_t which) { return images_.at(static_cast<size_t>(which)); }

    void Update() override;
    void Draw(Fw::Graphics* g) override;
    void Resize(int32_t newX, int32_t newY, int32_t newWidth, int32_t newHeight) override;
    // Selects the line under the press (any button); not passed on to the game board.
    void MouseDown(int32_t mx, int32_t my, int button, int clickCount) override;
    void OnBecameVisible() override;
    void OnBecameHidden() override;
    // A child named "scroll" that is a scroll bar becomes the list's scroll bar.
    void AddChild(const std::string& name, VTCandyWidget* child) override;
    void RemoveChild(const std::string& name) override;

    std::array<std::array<VTFrameDesc, 4>, kScrollPartCount> scrollFrames{}; // filled by scripts
    Fw::Color selectionColor = Fw::Color::Black; // "sel_color"
    int32_t scrollBarOffsetX = 0;                // MakeScrollbar puts the scroll bar at width + this
    int32_t checkX = 0;                          // x of the check texture within a line
    int32_t textX = 0;                           // "left": x of every line's text

private:
    // Range of the scroll bar for the current lines and height; position back to 0.
    void UpdateScrollRange();
    void Render();

    VTScrollBar* scrollBar_ = nullptr;
    int32_t lineHeight_ = -1;
    int32_t firstVisibleLine_ = 0;
    int32_t selectedItem_ = 0;
    bool imageValid_ = false;
    std::array<VTTextAttr, kTextAttrCount> attrs_{};
    std::array<VTTexture, 2> images_;
    VTTexture check_;
    int32_t activeItem_ = -1;
    std::unique_ptr<Fw::MemoryImage> listImage_;
    std::vector<std::wstring> lines_;
};
