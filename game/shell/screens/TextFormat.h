#pragma once

#include <initializer_list>
#include <string>
#include <utility>

namespace Velm {

// One value to fill into a text of the text table: a number or a text.
struct TextArg {
    TextArg(int number) : isNumber(true), value(number) {}                    // NOLINT: implicit on purpose
    TextArg(std::string s) : isNumber(false), text(std::move(s)) {}           // NOLINT
    TextArg(const char* s) : isNumber(false), text(s != nullptr ? s : "") {}  // NOLINT

    bool isNumber;
    int value = 0;
    std::string text;
};

// Fills the values into a text of the text table that is written like a printf
// format ("Best score: %s", "Level %d-%d", "%d:%02d"), without handing the
// text to a format call, so a translated text can never read past its values.
//
// "%%" writes one '%'. A conversion is '%', any of the flags "-0+ ", an
// optional width and precision, length letters (h, l, L, q, j, z, t) and one of
// the letters d, i, u or s; each takes the next value in order: a number is
// written in decimal (width, zero padding and '-' apply), a text as it is
// (width and '-' apply; the precision cuts it). A number met by %s is written
// in decimal, a text met by %d as it is. Any other conversion ("%n", "%x",
// "%f", a lone '%' at the end) and a conversion beyond the last value are
// written unchanged, as they stand in the text. Widths are capped at 64.
std::string FormatText(const std::string& format, std::initializer_list<TextArg> args);

// The same, with the text of `key` from the text table as the format.
std::string FormatTextOf(const std::string& key, std::initializer_list<TextArg> args);

}  // namespace Velm
