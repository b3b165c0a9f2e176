// The script slider: an engine slider that a script makes with the engine object's CreateSlider and
// drives through its twin "VTPySlider3". Its value runs from half the thumb's width to the width
// less that, and reads and writes as a fraction 0..1 of that track; MakeBar builds the bar (a
// VTBar3) from the fill and empty image records. Before MakeBar the value reads 0 and writes
// change nothing. Dragging moves the value too. Main thread.
#pragma once
#include "engine/core/Texture.h"
#include "engine/scripting/WidgetBrother.h"
#include "engine/widgets/Slider.h"

class VTSlider3 : public VTSlider, public VTPyWidgetBrotherInterface {
public:
    VTSlider3(PyObject* scriptObject, VTCandyWidget* parent);

    bool GetClassAttr(VTPythonObject& out, const char* name) override;
    bool SetClassAttr(const VTPythonObject& value, const char* name) override;
    void DestroyTwin() override;
    VTCandyWidget* TwinWidget() override { return this; }

    // A new bar from the image records, as the child "bar", sized like the slider; the mouse zone
    // becomes the whole slider and the maximum its width.
    void MakeBar();
    // Half the bar's empty (thumb) texture width; 0 without a bar.
    float HalfThumb() const;

    void UpdateAll(Fw::ModalFlags* mf) override;
    void Update() override;
    void MouseDrag(int32_t mx, int32_t my) override;
    // Inside the mouse zone: the value at x, kept half a thumb from either end.
    void SetValueAtPoint(int32_t x, int32_t y) override;

    VTFrameDesc fillImage, emptyImage;
};

PyTypeObject& PySlider3Type(); // "VTPySlider3"
