// Argument values of the descriptor language: one token (SingleDataElement) or a parenthesised
// list of values (ListDataElement). A list owns its children; Duplicate makes a deep copy.
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace Fw {

class DataElement {
public:
    explicit DataElement(bool list) : isList(list) {}
    virtual ~DataElement() = default;
    // A new, independent copy.
    virtual std::unique_ptr<DataElement> Duplicate() const = 0;

    const bool isList;
};

class SingleDataElement : public DataElement {
public:
    SingleDataElement() : DataElement(false) {}
    explicit SingleDataElement(std::wstring text) : DataElement(false), value(std::move(text)) {}
    SingleDataElement(const SingleDataElement& other) : DataElement(false), value(other.value) {}
    std::unique_ptr<DataElement> Duplicate() const override;

    std::wstring value; // the token exactly as written, quote characters included
};

class ListDataElement : public DataElement {
public:
    ListDataElement() : DataElement(true) {}
    ListDataElement(const ListDataElement& other);
    // Drops the own children, then appends a copy of each of the other's.
    ListDataElement& operator=(const ListDataElement& other);
    std::unique_ptr<DataElement> Duplicate() const override;

    std::vector<std::unique_ptr<DataElement>> children; // in source order
};

} // namespace Fw
