// Copies of descriptor values.
#include "framework/assets/DataElement.h"

namespace Fw {

std::unique_ptr<DataElement> SingleDataElement::Duplicate() const
{
    return std::make_unique<SingleDataElement>(*this);
}

ListDataElement::ListDataElement(const ListDataElement& other) : DataElement(true)
{
    *this = other;
}

ListDataElement& ListDataElement::operator=(const ListDataElement& other)
{
    if (this == &other)
        return *this;
    std::vector<std::unique_ptr<DataElement>> copies;
    copies.reserve(other.children.size());
    for (const auto& child : other.children)
        copies.push_back(child->Duplicate());
    children = std::move(copies);
    return *this;
}

std::unique_ptr<DataElement> ListDataElement::Duplicate() const
{
    return std::make_unique<ListDataElement>(*this);
}

} // namespace Fw
