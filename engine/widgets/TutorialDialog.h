// A dialog that can hide itself on any click ("clickhide"), through its "onhide" effect when it has
// one. Built from "vttutorial" skin elements.
#pragma once
#include "engine/widgets/Dialog.h"

class VTTutorialDialog : public VTDialog {
public:
    using VTDialog::VTDialog;

    static std::unique_ptr<VTCandyWidget> CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                            const Platform::XmlNode& element);

    // The dialog's skin, then "clickhide".
    void LoadFromXml(const Platform::XmlNode& element) override;
    void MouseUpAny(int32_t mx, int32_t my) override;

    bool clickHide = false;
};
