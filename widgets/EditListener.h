#pragma once

#include <string>

namespace Velm {

// Told when Enter is pressed in an EditWidget, and asked whether keys,
// characters and whole texts are allowed (yes by default).
class EditListener {
public:
    virtual ~EditListener() = default;
    virtual void EditWidgetText(int id, const std::string& text) {
        (void)id;
        (void)text;
    }
    virtual bool AllowKey(int id, int key) {
        (void)id;
        (void)key;
        return true;
    }
    virtual bool AllowChar(int id, char c) {
        (void)id;
        (void)c;
        return true;
    }
    // False undoes the edit that would have produced this text.
    virtual bool AllowText(int id, const std::string& text) {
        (void)id;
        (void)text;
        return true;
    }
};

}  // namespace Velm
