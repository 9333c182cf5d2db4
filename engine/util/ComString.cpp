#include "engine/util/ComString.h"

#include <cstdlib>
#include <cstring>

namespace com_string {

char* Duplicate(const char* text) {
    if (text == nullptr) return nullptr;
    const size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(size));
    if (copy != nullptr) std::memcpy(copy, text, size);
    return copy;
}

char* TrimBlanks(char* text) {
    if (text == nullptr) return nullptr;
    while (*text == ' ') ++text;
    char* end = text + std::strlen(text);
    while (end > text && end[-1] == ' ') *--end = '\0';
    return text;
}

char* CutAtDelimiter(char* text, char** token, char delimiter) {
    if (token != nullptr) *token = text;
    if (text == nullptr || *text == '\0') return nullptr;
    char* p = text;
    while (*p != '\0' && *p != delimiter) ++p;
    if (*p == '\0') return p;
    *p = '\0';
    return p + 1;
}

int Split(const char* text, char delimiter, std::vector<std::string>& out) {
    out.clear();
    if (text == nullptr || *text == '\0') return 0;
    char* copy = Duplicate(text);
    if (copy == nullptr) return 0;
    char* rest = copy;
    while (rest != nullptr && *rest != '\0') {
        char* token = nullptr;
        rest = CutAtDelimiter(rest, &token, delimiter);
        char* piece = TrimBlanks(token);
        if (piece != nullptr && *piece != '\0') out.emplace_back(piece);
    }
    std::free(copy);
    return static_cast<int>(out.size());
}

}  // namespace com_string
