// The script text: an engine text that a script makes with the engine object's CreateText and
// drives through its twin "VTPyText3" (label as a localisation key, layout values, styles, and the
// height of the wrapped label). Made without mouse input. Main thread.
#pragma once
#include "engine/scripting/WidgetBrother.h"
#include "engine/widgets/Text.h"

class VTText3 : public VTText, public VTPyWidgetBrotherInterface {
public:
    VTText3(PyObject* scriptObject, VTCandyWidget* parent);

    bool GetClassAttr(VTPythonObject& out, const char* name) override;
    bool SetClassAttr(const VTPythonObject& value, const char* name) override;
    void DestroyTwin() override;
    VTCandyWidget* TwinWidget() override { return this; }

    void UpdateAll(Fw::ModalFlags* mf) override;
    void Update() override;
    void Draw(Fw::Graphics* g) override;

    // The height of the display text wrapped at the widget's width in the normal font; 0 without a
    // font or text.
    int32_t TextHeight();

    VTTexture* maskTexture = nullptr; // given to every texture as its mask when drawn (not owned)
};

PyTypeObject& PyText3Type(); // "VTPyText3"
