// Framework message dialog: a frame (plain or from a 3 x 3 box image) with a header, word-wrapped
// lines, a footer and zero to two buttons; it can be dragged by the mouse and waited on. Its
// buttons are siblings in the manager, kept in front of it. Each dialog has its own colour table.
#pragma once
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/DialogListener.h"
#include "framework/widgets/Widget.h"

#include <string>

namespace Fw {

class Font;

struct DialogInsets {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

class Dialog : public Widget, public ButtonListener {
public:
    enum ButtonSet { kNoButtons = 0, kYesNo = 1, kOkCancel = 2, kFooterButton = 3 };
    enum ButtonId { kFirstButton = 1000, kSecondButton = 1001 };
    static constexpr int32_t kNoResult = 2147483647;

    // listener: told of button presses and clicks (normally the application). Images not owned.
    Dialog(DialogListener* listener, Image* boxImage, Image* buttonImage, int32_t id, bool modal,
           const std::wstring& header, const std::wstring& lines, const std::wstring& footer, int32_t buttonSet);
    ~Dialog() override;

    // Not owned; given to each button.
    virtual void SetButtonFont(Font* f);
    // The dialog keeps its own duplicate of font.
    virtual void SetHeaderFont(Font* f);
    virtual void SetLinesFont(Font* f);
    void SetColor(int index, const Color& color) override;
    virtual int32_t GetPreferredHeight(int32_t forWidth);
    virtual bool IsModal() const { return modal; }
    // Runs the application's loop steps until a button answers, the dialog leaves the manager or
    // the loop ends; kills the dialog when asked. Returns the result (kNoResult when none).
    virtual int32_t WaitForResult(bool kill);

    void AddedToManager(WidgetManager* m) override;
    void RemovedFromManager(WidgetManager* m) override;
    void OrderChanged() override;
    void Resize(int32_t newX, int32_t newY, int32_t newWidth, int32_t newHeight) override;
    void Draw(Graphics* g) override;
    void MouseDown(int32_t x, int32_t y, int button, int clickCount) override;
    void MouseUp(int32_t x, int32_t y, int button, int clickCount) override;
    void MouseDrag(int32_t x, int32_t y) override;

    void ButtonDownById(int32_t buttonId) override;
    void ButtonClicked(int32_t buttonId) override;

    DialogListener* listener;
    Image* boxImage;
    DialogButton* firstButton = nullptr;
    DialogButton* secondButton = nullptr;
    std::wstring headerText, footerText, linesText;
    int32_t buttonSet;
    Font* titleFont = nullptr;
    Font* bodyFont = nullptr;
    int32_t bodyAlign = 0;
    int32_t bodyExtraSpacing = 0;
    int32_t buttonRowHeight;
    DialogInsets frameInsets;
    DialogInsets textInsets{24, 24, 24, 24};
    int32_t headerGap = 10;
    bool beingDragged = false;
    int32_t dragAnchorX = 0, dragAnchorY = 0;
    int32_t id;
    bool modal;
    int32_t result = kNoResult;
    int32_t buttonGap = 8;
    int32_t buttonInset = 0;

protected:
    Font* TitleFont();
    Font* BodyFont();
};

} // namespace Fw
