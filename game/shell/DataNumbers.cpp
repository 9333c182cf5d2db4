#include "game/shell/DataNumbers.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace DataNumbers {

int Clamp(long long value, int low, int high) {
    if (value < low) return low;
    if (value > high) return high;
    return static_cast<int>(value);
}

int AddClamped(int a, int b) { return Clamp(static_cast<long long>(a) + b, INT_MIN, INT_MAX); }

int LeadingInt(const std::string& text) {
    // strtoll saturates at its own range, which is wider than an int's.
    return Clamp(std::strtoll(text.c_str(), nullptr, 10), INT_MIN, INT_MAX);
}

bool ParseWhole(const std::string& text, int* value) {
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) i = 1;
    int base = 10;
    if (text.size() >= i + 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return false;
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return false;
        }
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFull) return false;
    }
    const uint64_t most = base == 16 ? 0xFFFFFFFFull : static_cast<uint64_t>(INT_MAX);
    if (negative) {
        if (magnitude > static_cast<uint64_t>(INT_MAX) + 1) return false;
        *value = static_cast<int>(-static_cast<long long>(magnitude));
        return true;
    }
    if (magnitude > most) return false;
    *value = static_cast<int>(static_cast<uint32_t>(magnitude));
    return true;
}

}  // namespace DataNumbers
