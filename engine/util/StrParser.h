#pragma once

// Line reader over a private copy of a text buffer, used by the sound-description
// reader. Tabs become spaces and every CR and LF becomes a line end, so CR LF and
// bare LF files read alike. Empty lines, lines of spaces only and lines whose
// first character is ';' are never returned.
namespace com_string {

class StrParser_t {
public:
    StrParser_t(const char* buffer, int length);
    virtual ~StrParser_t();

    StrParser_t(const StrParser_t&) = delete;
    StrParser_t& operator=(const StrParser_t&) = delete;

    // Replaces the text with a copy of length bytes and rewinds the cursor.
    void SetText(const char* buffer, int length);

    // The next line as a NUL-terminated pointer into the copy (valid until the
    // next SetText or the destructor), or null at the end.
    char* NextLine();

private:
    char* mText = nullptr;
    int mLength = 0;
    char* mCursor = nullptr;
};

}  // namespace com_string
