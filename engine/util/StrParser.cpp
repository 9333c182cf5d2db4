#include "engine/util/StrParser.h"

#include <cstdlib>
#include <cstring>

namespace com_string {

StrParser_t::StrParser_t(const char* buffer, int length) { SetText(buffer, length); }

StrParser_t::~StrParser_t() { std::free(mText); }

void StrParser_t::SetText(const char* buffer, int length) {
    std::free(mText);
    if (buffer == nullptr || length < 0) length = 0;
    mText = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
    mLength = mText != nullptr ? length : 0;
    if (mText != nullptr) {
        if (mLength > 0) std::memcpy(mText, buffer, static_cast<size_t>(mLength));
        mText[mLength] = '\0';
        for (int i = 0; i < mLength; ++i) {
            if (mText[i] == '\t')
                mText[i] = ' ';
            else if (mText[i] == '\r' || mText[i] == '\n')
                mText[i] = '\0';
        }
    }
    mCursor = mText;
}

char* StrParser_t::NextLine() {
    if (mText == nullptr) return nullptr;
    char* const end = mText + mLength;
    for (;;) {
        while (mCursor < end && *mCursor == '\0') ++mCursor;
        if (mCursor >= end) return nullptr;
        char* line = mCursor;
        while (mCursor < end && *mCursor != '\0') ++mCursor;
        if (line[0] == ';') continue;
        if (line[std::strspn(line, " ")] == '\0') continue;
        return line;
    }
}

}  // namespace com_string
