// The script edit box: an engine edit box that a script makes with the engine object's CreateEdit
// and drives through its twin "VTPyEditWidget3" (text, highlight colour, styles, background image,
// focus). Every key pressed in it is passed to the script object's "on_key_enter" with the key's
// name. Main thread.
#pragma once
#include "engine/scripting/WidgetBrother.h"
#include "engine/widgets/EditWidget.h"

class VTEditWidget3 : public VTEditWidget, public VTPyWidgetBrotherInterface {
public:
    VTEditWidget3(PyObject* scriptObject, VTCandyWidget* parent);

    bool GetClassAttr(VTPythonObject& out, const char* name) override;
    bool SetClassAttr(const VTPythonObject& value, const char* name) override;
    void DestroyTwin() override;
    VTCandyWidget* TwinWidget() override { return this; }

    void UpdateAll(Fw::ModalFlags* mf) override;
    void Update() override;
    // The edit box's own handling, then "on_key_enter"(key name) for every key (when the script
    // object has one); changes the script makes to the tree meanwhile wait until it returns.
    void KeyDown(int keyCode) override;
};

PyTypeObject& PyEditWidget3Type(); // "VTPyEditWidget3"
