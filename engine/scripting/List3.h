// The script list: an engine list box that a script makes with the engine object's CreateListbox and
// drives through its twin "VTPyList3" (lines, colours, fonts, scroll bar images, positions). After
// every redraw of its lines it calls the script object's "update_pos". Main thread.
#pragma once
#include "engine/scripting/WidgetBrother.h"
#include "engine/widgets/List.h"

class VTList3 : public VTList, public VTPyWidgetBrotherInterface {
public:
    VTList3(PyObject* scriptObject, VTCandyWidget* parent);

    bool GetClassAttr(VTPythonObject& out, const char* name) override;
    bool SetClassAttr(const VTPythonObject& value, const char* name) override;
    void DestroyTwin() override;
    VTCandyWidget* TwinWidget() override { return this; }

    void UpdateAll(Fw::ModalFlags* mf) override;
    void Update() override;
    // Tree changes the script makes from "update_pos" wait until the draw is over.
    void Draw(Fw::Graphics* g) override;
    // "update_pos"() when the script object has it.
    void OnPagePosChanged() override;
};

PyTypeObject& PyList3Type(); // "VTPyList3"
