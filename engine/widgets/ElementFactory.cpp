// The table of widget classes that dialogs make from "element" children.
#include "engine/widgets/ElementFactory.h"

#include "engine/widgets/Anim.h"
#include "engine/widgets/Bar.h"
#include "engine/widgets/Button.h"
#include "engine/widgets/CheckBox.h"
#include "engine/widgets/Dialog.h"
#include "engine/widgets/EditWidget.h"
#include "engine/widgets/List.h"
#include "engine/widgets/ScrollBar.h"
#include "engine/widgets/Slider.h"
#include "engine/widgets/Text.h"
#include "engine/widgets/TutorialDialog.h"

namespace {

// Searched in this order.
const VTElementType kElementTypes[] = {
    {"vtbutton", &VTButton::CreateFromElement, 128},
    {"vttext", &VTText::CreateFromElement, 128},
    {"vtdialog", &VTDialog::CreateFromElement, 128},
    {"vtbar", &VTBar::CreateFromElement, 128},
    {"vtlist", &VTList::CreateFromElement, 128},
    {"vtscroll", &VTScrollBar::CreateFromElement, 128},
    {"vtcheckbox", &VTCheckBox::CreateFromElement, 128},
    {"vtslider", &VTSlider::CreateFromElement, 128},
    {"vtedit", &VTEditWidget::CreateFromElement, 128},
    {"vtanim", &VTAnim::CreateFromElement, 128},
    {"vttutorial", &VTTutorialDialog::CreateFromElement, 260},
};

} // namespace

const VTElementType* FindElementType(std::string_view type)
{
    for (const VTElementType& entry : kElementTypes)
        if (entry.type == type)
            return &entry;
    return nullptr;
}
