#pragma once

#include <string>

namespace Velm {

// Told when Enter is pressed in an EditWidget and when a typed character did not
// go into the text, and asked whether keys, characters and whole texts are
// allowed (yes by default).
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
    // A printable character was typed and the text stayed as it was: refused by
    // AllowChar, not drawable by the field's font, above 127 where the application
    // takes none, or beyond the character, pixel or text limits.
    virtual void EditWidgetCharRefused(int id, char c) {
        (void)id;
        (void)c;
    }
    // False undoes the edit that would have produced this text.
    virtual bool AllowText(int id, const std::string& text) {
        (void)id;
        (void)text;
        return true;
    }
};

}  // namespace Velm
