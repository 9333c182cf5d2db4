#include "app/devaids/Screenshot.h"

#include <climits>

namespace Velm {

namespace {

bool EndsWithPngNoCase(const std::string& name) {
    if (name.size() < 4) return false;
    const std::string end = name.substr(name.size() - 4);
    for (size_t i = 0; i < 4; ++i) {
        const char c = end[i] >= 'A' && end[i] <= 'Z' ? static_cast<char>(end[i] - 'A' + 'a') : end[i];
        if (c != ".png"[i]) return false;
    }
    return true;
}

// "image" + an optionally signed decimal number + ".png" (the extension exactly lower case,
// as the number's pattern gives it).
bool ReadImageNumber(const std::string& name, long long* number) {
    const std::string prefix = "image";
    if (name.compare(0, prefix.size(), prefix) != 0) return false;
    size_t pos = prefix.size();
    bool negative = false;
    if (pos < name.size() && (name[pos] == '-' || name[pos] == '+')) negative = name[pos++] == '-';
    const size_t digitsStart = pos;
    long long value = 0;
    while (pos < name.size() && name[pos] >= '0' && name[pos] <= '9') {
        value = value * 10 + (name[pos++] - '0');
        if (value > INT_MAX) return false;
    }
    if (pos == digitsStart || name.compare(pos, std::string::npos, ".png") != 0) return false;
    *number = negative ? -value : value;
    return true;
}

}  // namespace

int NextScreenshotNumber(const std::vector<std::string>& names) {
    long long largest = 0;
    for (const std::string& name : names) {
        long long number = 0;
        if (EndsWithPngNoCase(name) && ReadImageNumber(name, &number) && number > largest) largest = number;
    }
    return largest >= INT_MAX ? INT_MAX : static_cast<int>(largest + 1);
}

}  // namespace Velm
