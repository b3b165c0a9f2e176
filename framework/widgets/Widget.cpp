// Widget state changes (visibility, enabled, geometry, colours, focus), the click-code decoding of the
// mouse hooks, and the text and number helpers that concrete widgets draw with.
#include "framework/widgets/Widget.h"

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/WidgetHost.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace Fw {

namespace {

constexpr int kKeyTab = 9;
constexpr int kKeyShift = 16;
constexpr int kCursorPointer = 0;
constexpr int kCursorHand = 1;

// Click code -> widget button and click count: 3 middle, negative right (count = -code), else left.
struct DecodedClick {
    int button;
    int clickCount;
};

DecodedClick DecodeClickCode(int clickCode)
{
    if (clickCode == 3)
        return {2, 1};
    if (clickCode < 0)
        return {1, -clickCode};
    return {0, clickCode};
}

} // namespace

Widget::~Widget()
{
    // A widget deleted while still in the tree would leave its parent (and the manager) pointing at it.
    if (WidgetContainer* p = GetParent())
        p->RemoveWidget(this);
}

void Widget::Update()
{
    WidgetContainer::Update();
}

void Widget::SetVisible(bool v)
{
    if (visible == v)
        return;
    visible = v;
    if (v)
        MarkDirty();
    else
        MarkDirtyWithBackground();
    if (WidgetManager* m = GetManager())
        m->RefreshMouseOver();
}

void Widget::SetColorsRGBA(const int (*table)[4], int count)
{
    colors.clear();
    for (int i = 0; i < count; ++i)
        SetColor(i, Color(table[i][0], table[i][1], table[i][2], table[i][3]));
    MarkDirty();
}

void Widget::SetColorsRGB(const int (*table)[3], int count)
{
    colors.clear();
    for (int i = 0; i < count; ++i)
        SetColor(i, Color(table[i][0], table[i][1], table[i][2]));
    MarkDirty();
}

void Widget::SetColor(int index, const Color& color)
{
    if (index < 0)
        return;
    if (size_t(index) >= colors.size())
        colors.resize(size_t(index) + 1);
    colors[size_t(index)] = color;
    MarkDirty();
}

Color Widget::GetColorOr(int index, const Color& fallback) const
{
    if (index < 0 || size_t(index) >= colors.size())
        return fallback;
    return colors[size_t(index)];
}

const Color& Widget::GetColor(int index) const
{
    static const Color kBlack;
    if (index < 0 || size_t(index) >= colors.size())
        return kBlack;
    return colors[size_t(index)];
}

void Widget::SetDisabled(bool d)
{
    if (disabled == d)
        return;
    disabled = d;
    WidgetManager* m = GetManager();
    if (d && m != nullptr)
        m->DropWidgetReferences(this);
    MarkDirty();
    if (!d && m != nullptr && Contains(m->GetLastMouseX(), m->GetLastMouseY()))
        m->TrackMouse(m->GetLastMouseX(), m->GetLastMouseY());
}

void Widget::ShowHandCursor(bool on)
{
    WidgetManager* m = GetManager();
    if (m != nullptr && m->GetApp() != nullptr)
        m->GetApp()->SetCursor(on ? kCursorHand : kCursorPointer);
}

void Widget::ResizeToRect(const Rect& r)
{
    Resize(r.x, r.y, r.width, r.height);
}

void Widget::Resize(int32_t newX, int32_t newY, int32_t newWidth, int32_t newHeight)
{
    if (x == newX && y == newY && width == newWidth && height == newHeight)
        return;
    MarkDirtyWithBackground(); // the old area
    x = newX;
    y = newY;
    width = newWidth;
    height = newHeight;
    MarkDirty(); // the new area
    if (WidgetManager* m = GetManager())
        m->RefreshMouseOver();
}

void Widget::Move(int32_t newX, int32_t newY)
{
    Resize(newX, newY, width, height);
}

void Widget::DrawOverlayAtPriority(Graphics* g, int /*priority*/)
{
    DrawOverlay(g);
}

void Widget::GotFocus()
{
    hasFocus = true;
}

void Widget::LostFocus()
{
    hasFocus = false;
}

void Widget::KeyDown(int keyCode)
{
    if (keyCode != kKeyTab)
        return;
    WidgetManager* m = GetManager();
    if (m == nullptr)
        return;
    if (m->IsKeyDown(kKeyShift)) {
        if (tabPrev != nullptr)
            m->SetFocus(tabPrev);
    } else if (tabNext != nullptr) {
        m->SetFocus(tabNext);
    }
}

void Widget::MouseDownByClickCode(int32_t mx, int32_t my, int clickCode)
{
    const DecodedClick c = DecodeClickCode(clickCode);
    MouseDown(mx, my, c.button, c.clickCount);
}

void Widget::MouseUpByClickCode(int32_t mx, int32_t my, int clickCode)
{
    MouseUpAny(mx, my);
    const DecodedClick c = DecodeClickCode(clickCode);
    MouseUp(mx, my, c.button, c.clickCount);
}

bool Widget::Contains(int32_t px, int32_t py) const
{
    return px >= x && px < x + width && py >= y && py < y + height;
}

Rect Widget::GetInsetRect() const
{
    return Rect(x + mouseInsets.left, y + mouseInsets.top, width - mouseInsets.left - mouseInsets.right,
                height - mouseInsets.top - mouseInsets.bottom);
}

// ---- text and numbers ----------------------------------------------------------------------------

namespace {

struct LineMetrics {
    int32_t width;
    int32_t ascent;
    int32_t height;
};

// Without a font nothing is drawn and the line measures zero.
LineMetrics MeasureLine(Graphics* g, const std::wstring& s)
{
    Font* font = g->GetFont();
    if (font == nullptr)
        return {0, 0, 0};
    return {font->StringWidth(s), font->GetAscent(), font->GetHeight()};
}

// Switches colour tags on for one call and restores the context's setting afterwards.
class ScopedColorTags {
public:
    explicit ScopedColorTags(Graphics* g) : g_(g), saved_(g->colorTagsEnabled) { g->colorTagsEnabled = true; }
    ~ScopedColorTags() { g_->colorTagsEnabled = saved_; }
    ScopedColorTags(const ScopedColorTags&) = delete;
    ScopedColorTags& operator=(const ScopedColorTags&) = delete;

private:
    Graphics* g_;
    bool saved_;
};

} // namespace

Rect Widget::DrawCenteredLine(Graphics* g, int32_t ly, const std::wstring& s)
{
    const LineMetrics m = MeasureLine(g, s);
    const int32_t lx = (width - m.width) / 2;
    g->DrawString(s, lx, ly);
    return Rect(lx, ly - m.ascent, m.width, m.height);
}

Rect Widget::DrawCenteredLineShadowed(Graphics* g, int32_t ly, const std::wstring& s, const Color& color,
                                      const Color& shadowColor, const Point& offset)
{
    const LineMetrics m = MeasureLine(g, s);
    const int32_t lx = (width - m.width) / 2;
    g->SetColor(shadowColor);
    g->DrawString(s, lx + offset.x, ly + offset.y);
    g->SetColor(color);
    g->DrawString(s, lx, ly);
    return Rect(lx + std::min(offset.x, 0), ly + std::min(offset.y, 0) - m.ascent,
                m.width + std::abs(offset.x), m.height + std::abs(offset.y));
}

int Widget::DrawJustifiedString(Graphics* g, const std::wstring& s, int32_t lx, int32_t ly, int32_t w,
                                int justification, bool drawString, int offset, int length)
{
    ScopedColorTags tags(g);
    return g->WriteString(s, lx, ly, w, justification, drawString, offset, length);
}

int Widget::DrawWordWrapped(Graphics* g, const Rect& r, const std::wstring& s, int lineSpacing,
                            int justification)
{
    ScopedColorTags tags(g);
    return g->WriteWordWrapped(r, s, lineSpacing, justification);
}

int Widget::GetWordWrappedHeight(Graphics* g, int32_t w, const std::wstring& s, int lineSpacing)
{
    return g->GetWordWrappedHeight(w, s, lineSpacing);
}

int Widget::CountDigits(int n)
{
    int digits = 1;
    for (; n >= 10; n /= 10)
        ++digits;
    return digits;
}

void Widget::DrawNumberFromStrip(Graphics* g, int n, int32_t lx, int32_t ly, Image* strip, int spacing)
{
    if (strip == nullptr)
        return;
    const int32_t cellWidth = strip->GetWidth() / 10;
    // A negative number draws its magnitude: the strip has no minus sign.
    const std::wstring digits = std::to_wstring(n < 0 ? -static_cast<long long>(n) : n);
    int32_t dx = 0;
    for (const wchar_t ch : digits) {
        const int32_t digit = ch - L'0';
        std::unique_ptr<Graphics> cell(g->Create());
        cell->ClipRect(lx + dx, ly, cellWidth, strip->GetHeight());
        cell->DrawImage(strip, lx + dx - digit * cellWidth, ly);
        dx += cellWidth + spacing;
    }
}

} // namespace Fw
