#include "graphics/DataElement.h"

namespace Velm {

DataElement::~DataElement() = default;

SingleDataElement::SingleDataElement() { isList = false; }

SingleDataElement::SingleDataElement(const std::string& text) : value(text) { isList = false; }

SingleDataElement::SingleDataElement(const SingleDataElement& other) : DataElement(other), value(other.value) {}

DataElement* SingleDataElement::Duplicate() { return new SingleDataElement(*this); }

ListDataElement::ListDataElement() { isList = true; }

ListDataElement::ListDataElement(const ListDataElement& other) : DataElement(other) {
    items.reserve(other.items.size());
    for (DataElement* item : other.items) items.push_back(item->Duplicate());
}

ListDataElement& ListDataElement::operator=(const ListDataElement& other) {
    if (this == &other) return *this;
    // Copy first: the other list may be held inside this one.
    std::vector<DataElement*> copies;
    copies.reserve(other.items.size());
    for (DataElement* item : other.items) copies.push_back(item->Duplicate());
    Clear();
    items = std::move(copies);
    return *this;
}

ListDataElement::~ListDataElement() { Clear(); }

DataElement* ListDataElement::Duplicate() { return new ListDataElement(*this); }

void ListDataElement::Clear() {
    for (DataElement* item : items) delete item;
    items.clear();
}

}  // namespace Velm
