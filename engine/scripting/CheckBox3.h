// The script check box: an engine check box that a script makes with the engine object's
// CreateCheckbox and drives through its twin "VTPyCheckBox3". Its six faces are made empty at once
// and take their images from the frame records the script writes when it calls PrepareTextures.
// Main thread.
#pragma once
#include "engine/core/Texture.h"
#include "engine/scripting/WidgetBrother.h"
#include "engine/widgets/CheckBox.h"

#include <array>

class VTCheckBox3 : public VTCheckBox, public VTPyWidgetBrotherInterface {
public:
    VTCheckBox3(PyObject* scriptObject, VTCandyWidget* parent);

    bool GetClassAttr(VTPythonObject& out, const char* name) override;
    bool SetClassAttr(const VTPythonObject& value, const char* name) override;
    void DestroyTwin() override;
    VTCandyWidget* TwinWidget() override { return this; }

    // Every face from its record (normal, over, disabled; checked and unchecked).
    void PrepareTextures();

    void UpdateAll(Fw::ModalFlags* mf) override;
    void Update() override;

    std::array<VTFrameDesc, 3> checkedFrames;   // by Face
    std::array<VTFrameDesc, 3> uncheckedFrames; // by Face
};

PyTypeObject& PyCheckBox3Type(); // "VTPyCheckBox3"
