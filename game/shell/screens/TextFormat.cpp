#include "game/shell/screens/TextFormat.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "game/shell/TextTable.h"

namespace Velm {

namespace {

constexpr int kMaxWidth = 64;

struct Conversion {
    bool leftAlign = false;
    bool zeroPad = false;
    bool plusSign = false;
    bool spaceSign = false;
    int width = 0;
    int precision = -1;
    char letter = 0;
    size_t end = 0;  // index just past the conversion
};

// Reads a number of digits at pos; caps it at kMaxWidth.
int ReadCount(const std::string& s, size_t& pos) {
    int n = 0;
    while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos])) != 0) {
        n = std::min(kMaxWidth, n * 10 + (s[pos] - '0'));
        ++pos;
    }
    return n;
}

// Parses the conversion starting at the '%' at start. False when it is not one
// this formatter fills (it is then copied as it stands).
bool ParseConversion(const std::string& s, size_t start, Conversion& c) {
    size_t pos = start + 1;
    for (; pos < s.size(); ++pos) {
        const char f = s[pos];
        if (f == '-') {
            c.leftAlign = true;
        } else if (f == '0') {
            c.zeroPad = true;
        } else if (f == '+') {
            c.plusSign = true;
        } else if (f == ' ') {
            c.spaceSign = true;
        } else {
            break;
        }
    }
    c.width = ReadCount(s, pos);
    if (pos < s.size() && s[pos] == '.') {
        ++pos;
        c.precision = ReadCount(s, pos);
    }
    while (pos < s.size() && std::strchr("hlLqjzt", s[pos]) != nullptr) ++pos;
    if (pos >= s.size()) return false;
    c.letter = s[pos];
    c.end = pos + 1;
    return std::strchr("dius", c.letter) != nullptr;
}

std::string Pad(std::string body, const Conversion& c, bool number) {
    const size_t width = static_cast<size_t>(c.width);
    if (body.size() >= width) return body;
    const size_t fill = width - body.size();
    if (c.leftAlign) return body + std::string(fill, ' ');
    if (number && c.zeroPad) {
        // Zeros go after the sign.
        const size_t signLength = (!body.empty() && (body[0] == '-' || body[0] == '+' || body[0] == ' ')) ? 1 : 0;
        return body.substr(0, signLength) + std::string(fill, '0') + body.substr(signLength);
    }
    return std::string(fill, ' ') + body;
}

std::string Render(const TextArg& arg, const Conversion& c) {
    if (!arg.isNumber) {
        std::string text = arg.text;
        if (c.precision >= 0 && text.size() > static_cast<size_t>(c.precision)) text.resize(c.precision);
        return Pad(text, c, false);
    }
    // Through long long, so INT_MIN has a positive magnitude.
    const long long v = arg.value;
    std::string digits = std::to_string(v < 0 ? -v : v);
    if (c.precision >= 0 && digits.size() < static_cast<size_t>(c.precision)) {
        digits.insert(0, static_cast<size_t>(c.precision) - digits.size(), '0');
    }
    std::string sign;
    if (v < 0) {
        sign = "-";
    } else if (c.plusSign) {
        sign = "+";
    } else if (c.spaceSign) {
        sign = " ";
    }
    return Pad(sign + digits, c, true);
}

}  // namespace

std::string FormatText(const std::string& format, std::initializer_list<TextArg> args) {
    std::string out;
    out.reserve(format.size() + 16);
    const TextArg* next = args.begin();
    size_t pos = 0;
    while (pos < format.size()) {
        const size_t percent = format.find('%', pos);
        if (percent == std::string::npos) {
            out.append(format, pos, std::string::npos);
            break;
        }
        out.append(format, pos, percent - pos);
        if (percent + 1 < format.size() && format[percent + 1] == '%') {
            out += '%';
            pos = percent + 2;
            continue;
        }
        Conversion c;
        if (!ParseConversion(format, percent, c) || next == args.end()) {
            // Not ours to fill: copied as it stands, one character at a time,
            // so whatever follows the '%' is read again as plain text.
            out += '%';
            pos = percent + 1;
            continue;
        }
        out += Render(*next++, c);
        pos = c.end;
    }
    return out;
}

std::string FormatTextOf(const std::string& key, std::initializer_list<TextArg> args) {
    return FormatText(TextTable_t::Instance()->Lookup(key), args);
}

}  // namespace Velm
