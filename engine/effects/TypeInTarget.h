// What DlgTypeIn needs of a widget that shows text: the length of the text it displays and how
// much of it to show. A text widget implements it beside VTCandyWidget; DlgTypeIn finds it on the
// effect's widget and does nothing for widgets without it.
#pragma once
#include <cstdint>

class VTTypeInTarget {
public:
    virtual ~VTTypeInTarget() = default;
    // Length in characters of the text the widget displays.
    virtual int32_t DisplayedTextLength() const = 0;
    // Shows only the first length characters.
    virtual void SetShownLength(int32_t length) = 0;
};
