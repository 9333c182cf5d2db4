#include "engine/storage/StgPath.h"

#include <cctype>

void NormalizeStgPath(std::string& path) {
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        } else {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    if (!path.empty() && path.back() == '\\') path.pop_back();
}

std::vector<std::string> SplitStgPath(const std::string& path, std::string* last) {
    std::vector<std::string> parts;
    if (path.empty()) {
        if (last) last->clear();
        return parts;
    }
    size_t begin = 0;
    size_t separator = path.find('\\', 1);
    while (separator != std::string::npos) {
        parts.push_back(path.substr(begin, separator - begin));
        begin = separator + 1;
        separator = path.find('\\', begin);
    }
    parts.push_back(path.substr(begin));
    if (last) {
        *last = parts.back();
        parts.pop_back();
    }
    return parts;
}

bool StgNamesEqual(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}
