// Tutorial dialogs.
#include "engine/widgets/TutorialDialog.h"

#include "engine/core/XmlAttributes.h"

std::unique_ptr<VTCandyWidget> VTTutorialDialog::CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                                   const Platform::XmlNode& element)
{
    auto tutorial = std::make_unique<VTTutorialDialog>(&dialog, app);
    tutorial->LoadFromXml(element);
    return tutorial;
}

void VTTutorialDialog::LoadFromXml(const Platform::XmlNode& element)
{
    VTDialog::LoadFromXml(element);
    XmlGetAttributeBool(element, "clickhide", clickHide);
}

void VTTutorialDialog::MouseUpAny(int32_t mx, int32_t my)
{
    VTDialog::MouseUpAny(mx, my);
    if (clickHide)
        Hide();
}
