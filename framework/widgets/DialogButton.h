// Button inside a framework dialog: draws itself as a 3 x 3 box from its box image (the whole
// image, or the state's source rectangle within it), shifting the face when pressed; without a
// box image it looks like a plain ButtonWidget.
#pragma once
#include "framework/widgets/ButtonWidget.h"

namespace Fw {

class DialogButton : public ButtonWidget {
public:
    DialogButton(Image* boxImage, int32_t id, ButtonListener* listener);

    void Draw(Graphics* g) override;

    Image* boxImage;
    int32_t pressShiftX = 1, pressShiftY = 1;
    int32_t labelShiftX = 0, labelShiftY = 0;
};

} // namespace Fw
