#pragma once

#include <string>
#include <vector>

namespace Velm {

// A value of the font descriptor language: a token or a parenthesised list of values.
// Values are created by DescParser and owned by whoever holds the pointer.
class DataElement {
public:
    bool isList = false;

    DataElement() = default;
    DataElement(const DataElement&) = default;
    DataElement& operator=(const DataElement&) = default;
    virtual ~DataElement();
    // A deep copy owned by the caller.
    virtual DataElement* Duplicate() = 0;
};

// One token as written in the command text (quotes kept until it is unquoted).
class SingleDataElement : public DataElement {
public:
    std::string value;

    SingleDataElement();
    explicit SingleDataElement(const std::string& text);
    SingleDataElement(const SingleDataElement& other);
    SingleDataElement& operator=(const SingleDataElement&) = default;
    DataElement* Duplicate() override;
};

// A list of values; owns its items.
class ListDataElement : public DataElement {
public:
    std::vector<DataElement*> items;

    ListDataElement();
    ListDataElement(const ListDataElement& other);
    ListDataElement& operator=(const ListDataElement& other);
    ~ListDataElement() override;
    DataElement* Duplicate() override;
    void Clear();
};

}  // namespace Velm
