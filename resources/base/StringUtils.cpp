#include "resources/base/StringUtils.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

namespace Velm {

std::string StringToUpper(const std::string& text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string StringToLower(const std::string& text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::wstring StringToWideString(const std::string& text) {
    std::wstring out;
    out.reserve(text.size());
    for (char c : text) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return out;
}

std::string WideStringToString(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (static_cast<unsigned long>(c) > 0xFF) return std::string();
        out.push_back(static_cast<char>(c));
    }
    return out;
}

std::string StringToText(const std::string& text) { return text; }

std::wstring TextToWideString(const std::string& text) { return StringToWideString(text); }

std::string WideStringToText(const std::wstring& text) { return WideStringToString(text); }

std::string TrimString(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

int FindNoCase(const char* text, const char* pattern) {
    if (text == nullptr || pattern == nullptr) return -1;
    for (int i = 0; text[i] != '\0'; ++i) {
        int k = 0;
        while (text[i + k] != '\0' && pattern[k] != '\0' &&
               std::tolower(static_cast<unsigned char>(text[i + k])) ==
                       std::tolower(static_cast<unsigned char>(pattern[k])))
            ++k;
        if (pattern[k] == '\0') return i;
    }
    return -1;
}

bool StringToInt(const std::string& text, int* value) {
    *value = 0;
    if (text.empty()) return false;
    // Unsigned arithmetic: the value wraps on overflow instead of being undefined.
    unsigned int v = 0;
    unsigned int base = 10;
    size_t i = 0;
    bool negative = false;
    if (text[0] == '-') {
        negative = true;
        i = 1;
    }
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            v = v * base + static_cast<unsigned int>(c - '0');
        } else if ((c == 'x' || c == 'X') && i == 1 && v == 0) {
            base = 16;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            v = v * base + static_cast<unsigned int>(c - 'A' + 10);
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            v = v * base + static_cast<unsigned int>(c - 'a' + 10);
        } else {
            *value = 0;
            return false;
        }
    }
    if (negative) v = 0u - v;
    *value = static_cast<int>(v);
    return true;
}

bool StringToDouble(const std::string& text, double* value) {
    *value = 0;
    if (text.empty()) return false;
    double v = 0;
    size_t i = 0;
    bool negative = false;
    if (text[0] == '-') {
        negative = true;
        i = 1;
    }
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.') break;
        if (c < '0' || c > '9') {
            *value = 0;
            return false;
        }
        v = v * 10 + (c - '0');
    }
    if (i < text.size()) {
        double factor = 0.1;
        for (++i; i < text.size(); ++i) {
            const char c = text[i];
            if (c < '0' || c > '9') {
                *value = 0;
                return false;
            }
            v += (c - '0') * factor;
            factor *= 0.1;
        }
    }
    *value = negative ? -v : v;
    return true;
}

std::string FormatThousands(int value) {
    if (value == 0) return "0";
    const bool negative = value < 0;
    unsigned int v = negative ? 0u - static_cast<unsigned int>(value) : static_cast<unsigned int>(value);
    std::string out;
    int digits = 0;
    while (v > 0) {
        if (digits > 0 && digits % 3 == 0) out.insert(out.begin(), ',');
        out.insert(out.begin(), static_cast<char>('0' + v % 10));
        v /= 10;
        ++digits;
    }
    if (negative) out.insert(out.begin(), '-');
    return out;
}

std::string FormatString(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out = FormatStringV(format, args);
    va_end(args);
    return out;
}

std::string FormatStringV(const char* format, va_list args) {
    char small[160];
    va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(small, sizeof(small), format, copy);
    va_end(copy);
    if (needed < 0) return std::string();
    if (needed < static_cast<int>(sizeof(small))) return std::string(small, static_cast<size_t>(needed));

    // Grow by doubling as the classic routine does, but stop at the first size
    // that fits; a text that still does not fit at the last size is cut there.
    size_t size = sizeof(small);
    while (size <= static_cast<size_t>(needed) && size < 1000000) size *= 2;
    std::vector<char> big(size);
    va_copy(copy, args);
    std::vsnprintf(big.data(), size, format, copy);
    va_end(copy);
    const size_t length = std::min(static_cast<size_t>(needed), size - 1);
    return std::string(big.data(), length);
}

void Ratio::Set(int numerator, int denominator) {
    int a = numerator;
    int b = denominator;
    while (b != 0) {
        const int t = a % b;
        a = b;
        b = t;
    }
    if (a == 0) {
        // Both zero: keep the values as given rather than divide by zero.
        mNumerator = numerator;
        mDenominator = denominator;
        return;
    }
    mNumerator = numerator / a;
    mDenominator = denominator / a;
}

bool IsWindows9x() { return false; }

bool IsWindowsVistaOrLater() { return true; }

}  // namespace Velm
