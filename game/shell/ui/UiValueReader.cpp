#include "game/shell/ui/UiValueReader.h"

#include <cstdio>

#include "engine/util/IniFile.h"
#include "platform/DebugOutput.h"
#include "resources/base/StringUtils.h"

namespace Velm {

void UiLog(const std::string& text) { plat::DebugOutput("ui: " + text + "\n"); }

UiValueReader::UiValueReader(const IniSection_t& section, const std::string& origin, const std::string& sectionName)
        : mSection(section), mOrigin(origin), mSectionName(sectionName) {}

std::string UiValueReader::String(const char* key) const {
    std::string value;
    mSection.GetString(key, "", value);
    return TrimString(value);
}

bool UiValueReader::Has(const char* key) const { return mSection.HasKey(key); }

int UiValueReader::Int(const char* key, int defaultValue) {
    const std::string text = String(key);
    if (text.empty()) return defaultValue;
    int value = 0;
    if (StringToInt(text, &value)) return value;
    Report(key, text, "not a number");
    mFailed = true;
    return defaultValue;
}

Rect UiValueReader::RectValue(const char* key) {
    const std::string text = String(key);
    Rect rect;
    if (text.empty()) return rect;
    int values[4] = {0, 0, 0, 0};
    const int parsed = std::sscanf(text.c_str(), "%d,%d,%d,%d", &values[0], &values[1], &values[2], &values[3]);
    if (parsed != 4) {
        Report(key, text, "not four numbers x,y,width,height");
        mFailed = true;
    }
    return Rect(values[0], values[1], values[2], values[3]);
}

void UiValueReader::Report(const char* key, const std::string& value, const std::string& problem) const {
    UiLog(Context() + " key \"" + key + "\" = \"" + value + "\": " + problem);
}

std::string UiValueReader::Context() const { return mOrigin + " [" + mSectionName + "]"; }

}  // namespace Velm
