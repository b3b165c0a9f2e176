// The element factory of dialogs: the table from an "element" type name to the function that makes
// and loads the widget of that class. A widget class joins with one line in the table
// (ElementFactory.cpp) naming its static CreateFromElement.
#pragma once
#include "platform/XmlDocument.h"

#include <cstddef>
#include <memory>
#include <string_view>

class VTCandyWidget;
class VTDialog;
namespace Fw {
class AppBase;
}

// Makes the widget of element with dialog as its engine parent (a button also takes the dialog as
// its listener), loads it from element and returns it, not yet added to the dialog.
using VTElementCreator = std::unique_ptr<VTCandyWidget> (*)(VTDialog& dialog, Fw::AppBase* app,
                                                            const Platform::XmlNode& element);

struct VTElementType {
    std::string_view type;     // the "type" attribute, matched exactly (letter case included)
    VTElementCreator create;
    size_t nameBufferSize;     // "name" is read up to nameBufferSize - 1 bytes
};

// The entry of exactly that type name, or null.
const VTElementType* FindElementType(std::string_view type);
