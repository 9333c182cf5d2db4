#pragma once

#include <string>

#include "graphics/Rect.h"

class IniSection_t;

namespace Velm {

// Reads the values of one section of a UI description or style file: every
// value trimmed, numbers decimal or "0x" hexadecimal (nothing else around
// them), rectangles "x,y,w,h". An absent or empty key gives the caller's
// default. A present value that is malformed or out of range is reported once
// through the debug log with the file, section and key, and the reader
// remembers the failure so that the caller can skip the element. Internal to
// the UI library.
class UiValueReader {
public:
    UiValueReader(const IniSection_t& section, const std::string& origin, const std::string& sectionName);

    // The trimmed value, "" when absent.
    std::string String(const char* key) const;
    bool Has(const char* key) const;
    int Int(const char* key, int defaultValue);
    // A number that must lie in low..high.
    int Int(const char* key, int defaultValue, int low, int high);
    // A coordinate: within DataNumbers::kMaxCoordinate of the origin.
    int Coordinate(const char* key, int defaultValue);
    // A size: clamped to 0..most without a report.
    int Size(const char* key, int defaultValue, int most);
    bool Flag(const char* key) { return Int(key, 0) != 0; }
    // x and y are coordinates; width and height are clamped to the screen's
    // size (and to 0 at least).
    Rect RectValue(const char* key);

    // Reports a problem with a key of this section (not a malformed number).
    void Report(const char* key, const std::string& value, const std::string& problem) const;
    bool Failed() const { return mFailed; }
    // "file [section]", for messages of callers.
    std::string Context() const;

private:
    const IniSection_t& mSection;
    const std::string& mOrigin;
    const std::string& mSectionName;
    bool mFailed = false;
};

// Writes one line to the debug log: "ui: " + text + line end.
void UiLog(const std::string& text);

}  // namespace Velm
