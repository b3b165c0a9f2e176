// Framework message dialog: construction of its buttons, layout, measuring, drawing, dragging and
// the modal wait through the application's loop.
#include "framework/widgets/Dialog.h"
#include "framework/assets/SysFont.h"
#include "framework/widgets/DialogCaptions.h"
#include "framework/widgets/WidgetHost.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>
#include <array>

namespace Fw {

namespace {

// header, lines, footer, button label, button label while over, plain-frame body, plain-frame outline
constexpr std::array<Color, 7> kDialogColors = {Color(255, 255, 255), Color(255, 255, 0),   Color(255, 255, 255),
                                                Color(255, 255, 255), Color(255, 255, 255), Color(80, 80, 80),
                                                Color(255, 255, 255)};

} // namespace

Dialog::Dialog(DialogListener* dialogListener, Image* box, Image* buttonImage, int32_t dialogId, bool isModal,
               const std::wstring& header, const std::wstring& lines, const std::wstring& footer, int32_t set)
    : listener(dialogListener), boxImage(box), headerText(header), footerText(footer), linesText(lines),
      buttonSet(set), buttonRowHeight(buttonImage ? buttonImage->height : 24), id(dialogId), modal(isModal)
{
    hasTransparencies = true;
    hasAlpha = true;
    auto make = [&](int32_t buttonId, const std::wstring& text) {
        DialogButton* b = new DialogButton(buttonImage, buttonId, this);
        b->label = text;
        return b;
    };
    switch (buttonSet) {
    case kYesNo:
        firstButton = make(kFirstButton, gDialogYes);
        secondButton = make(kSecondButton, gDialogNo);
        break;
    case kOkCancel:
        firstButton = make(kFirstButton, gDialogOk);
        secondButton = make(kSecondButton, gDialogCancel);
        break;
    case kFooterButton:
        firstButton = make(kFirstButton, footerText);
        break;
    default:
        break;
    }
    // Each dialog starts from the defaults: a dialog without a button image draws plain buttons,
    // whose light face needs black labels; that choice stays with this dialog.
    std::array<Color, 7> table = kDialogColors;
    if (!buttonImage)
        table[3] = table[4] = Color(0, 0, 0);
    for (size_t i = 0; i < table.size(); ++i)
        SetColor(static_cast<int>(i), table[i]);
}

Dialog::~Dialog()
{
    delete firstButton;
    delete secondButton;
    delete titleFont;
    delete bodyFont;
}

Font* Dialog::TitleFont()
{
    if (!titleFont)
        titleFont = new SysFont("Arial Unicode MS", 14, 0, false, false, false);
    return titleFont;
}

Font* Dialog::BodyFont()
{
    if (!bodyFont)
        bodyFont = new SysFont("Arial Unicode MS", 12, 0, false, false, false);
    return bodyFont;
}

void Dialog::SetButtonFont(Font* f)
{
    for (DialogButton* b : {firstButton, secondButton})
        if (b)
            b->SetFont(f);
}

void Dialog::SetHeaderFont(Font* f)
{
    delete titleFont;
    titleFont = f ? f->Duplicate() : nullptr;
}

void Dialog::SetLinesFont(Font* f)
{
    delete bodyFont;
    bodyFont = f ? f->Duplicate() : nullptr;
}

void Dialog::SetColor(int index, const Color& color)
{
    Widget::SetColor(index, color);
    if (index == 3 || index == 4)
        for (DialogButton* b : {firstButton, secondButton})
            if (b)
                b->SetColor(index - 3, color);
}

int32_t Dialog::GetPreferredHeight(int32_t forWidth)
{
    int32_t h = textInsets.top + textInsets.bottom + frameInsets.top + frameInsets.bottom;
    bool any = false;
    if (!headerText.empty()) {
        h += TitleFont()->GetHeight() - TitleFont()->GetAscentPadding();
        any = true;
    }
    if (!linesText.empty()) {
        if (any)
            h += headerGap;
        Graphics g;
        g.SetFont(BodyFont());
        const int32_t w =
            forWidth - textInsets.right - textInsets.left - frameInsets.right - frameInsets.left - 4;
        h += GetWordWrappedHeight(&g, w, linesText, BodyFont()->GetLineSpacing() + bodyExtraSpacing);
        any = true;
    }
    if (!footerText.empty() && buttonSet != kFooterButton) {
        if (any)
            h += 8;
        h += TitleFont()->GetLineSpacing();
        any = true;
    }
    if (firstButton) {
        if (any)
            h += 8;
        h += 8 + buttonRowHeight;
    }
    return h;
}

void Dialog::AddedToManager(WidgetManager* m)
{
    Widget::AddedToManager(m);
    for (DialogButton* b : {firstButton, secondButton})
        if (b)
            m->AddWidget(b);
}

void Dialog::RemovedFromManager(WidgetManager* m)
{
    Widget::RemovedFromManager(m);
    for (DialogButton* b : {firstButton, secondButton})
        if (b)
            m->RemoveWidget(b);
}

void Dialog::OrderChanged()
{
    if (WidgetManager* m = GetManager())
        for (DialogButton* b : {firstButton, secondButton})
            if (b)
                m->PutInFront(b, this);
}

void Dialog::Resize(int32_t newX, int32_t newY, int32_t newWidth, int32_t newHeight)
{
    Widget::Resize(newX, newY, newWidth, newHeight);
    // The buttons are siblings: their positions are in the dialog's parent's coordinates.
    const int32_t by = y + height - textInsets.bottom - frameInsets.bottom - buttonRowHeight;
    if (firstButton && secondButton) {
        const int32_t bw = (width - frameInsets.left - frameInsets.right - textInsets.left - textInsets.right -
                            2 * buttonInset - buttonGap) / 2;
        const int32_t bx = x + frameInsets.left + textInsets.left + buttonInset;
        firstButton->Resize(bx, by, bw, buttonRowHeight);
        secondButton->Resize(bx + bw + buttonGap, by, bw, buttonRowHeight);
    } else if (firstButton) {
        firstButton->Resize(x + frameInsets.left + textInsets.left, by,
                            width - textInsets.right - frameInsets.right - frameInsets.left - textInsets.left,
                            buttonRowHeight);
    }
}

void Dialog::Draw(Graphics* g)
{
    const Rect box(frameInsets.left, frameInsets.top, width - frameInsets.right - frameInsets.left,
                   height - frameInsets.bottom - frameInsets.top);
    if (!boxImage) {
        g->SetColor(colors.size() > 6 ? GetColor(6) : kDialogColors[6]);
        g->DrawRect(12, 12, width - 25, height - 25);
        g->SetColor(GetColor(5));
        g->FillRect(13, 13, width - 26, height - 26);
        g->SetColor(Color(0, 0, 0, 128));
        g->FillRect(width - 12, 24, 12, height - 36);
        g->FillRect(24, height - 12, width - 24, 12);
    } else {
        g->DrawImageBox(box, boxImage);
    }

    int32_t ty = textInsets.top + frameInsets.top;
    if (!headerText.empty()) {
        Font* f = TitleFont();
        const int32_t baseline = ty - f->GetAscentPadding() + f->GetAscent();
        g->SetFont(f);
        g->SetColor(GetColor(0));
        DrawCenteredLine(g, baseline, headerText);
        ty = baseline - f->GetAscent() + f->GetHeight() + headerGap;
    }
    g->SetFont(BodyFont());
    g->SetColor(GetColor(1));
    const Rect linesRect(frameInsets.left + 2 + textInsets.left, ty,
                         width - textInsets.right - frameInsets.left - textInsets.left - frameInsets.right - 4, 0);
    const int32_t used =
        DrawWordWrapped(g, linesRect, linesText, BodyFont()->GetLineSpacing() + bodyExtraSpacing, bodyAlign);
    if (!footerText.empty() && buttonSet != kFooterButton) {
        g->SetFont(TitleFont());
        g->SetColor(GetColor(2));
        DrawCenteredLine(g, ty + used + 8 + TitleFont()->GetLineSpacing(), footerText);
    }
}

void Dialog::MouseDown(int32_t mx, int32_t my, int, int clickCount)
{
    if (clickCount != 1)
        return;
    if (WidgetManager* m = GetManager(); m && m->GetApp())
        m->GetApp()->SetCursor(2);
    beingDragged = true;
    dragAnchorX = mx;
    dragAnchorY = my;
}

void Dialog::MouseUp(int32_t, int32_t, int, int)
{
    if (!beingDragged)
        return;
    if (WidgetManager* m = GetManager(); m && m->GetApp())
        m->GetApp()->SetCursor(0);
    beingDragged = false;
}

void Dialog::MouseDrag(int32_t mx, int32_t my)
{
    WidgetManager* m = GetManager();
    if (!beingDragged || !m)
        return;
    int32_t nx = x - dragAnchorX + mx, ny = y - dragAnchorY + my;
    // Up to 8 pixels may leave the manager's area on each side.
    if (nx < -8)
        nx = -8;
    else if (nx + width > m->width + 8)
        nx = m->width - width + 8;
    if (ny < -8)
        ny = -8;
    else if (ny + height > m->height + 8)
        ny = m->height - height + 8;
    dragAnchorX = std::clamp(x - nx + mx, 8, std::max(8, width - 9));
    dragAnchorY = std::clamp(y - ny + my, 8, std::max(8, height - 9));
    Move(nx, ny);
}

void Dialog::ButtonDownById(int32_t buttonId)
{
    if ((buttonId == kFirstButton || buttonId == kSecondButton) && listener)
        listener->DialogButtonDown(id, buttonId);
}

void Dialog::ButtonClicked(int32_t buttonId)
{
    if (buttonId != kFirstButton && buttonId != kSecondButton)
        return;
    result = buttonId;
    if (listener)
        listener->DialogButtonClicked(id, buttonId);
}

int32_t Dialog::WaitForResult(bool kill)
{
    WidgetHost* app = GetManager() ? GetManager()->GetApp() : nullptr;
    while (app && result == kNoResult && GetManager() && app->UpdateAppStep(nullptr)) {
    }
    if (kill && app)
        app->KillDialog(id);
    return result;
}

} // namespace Fw
