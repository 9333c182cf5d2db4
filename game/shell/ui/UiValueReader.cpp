#include "game/shell/ui/UiValueReader.h"

#include <climits>
#include <vector>

#include "engine/util/ComString.h"
#include "engine/util/IniFile.h"
#include "game/shell/DataNumbers.h"
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

int UiValueReader::Int(const char* key, int defaultValue) { return Int(key, defaultValue, INT_MIN, INT_MAX); }

int UiValueReader::Int(const char* key, int defaultValue, int low, int high) {
    const std::string text = String(key);
    if (text.empty()) return defaultValue;
    int value = 0;
    if (!DataNumbers::ParseWhole(text, &value)) {
        Report(key, text, "not a number");
    } else if (value < low || value > high) {
        Report(key, text, "out of range " + std::to_string(low) + ".." + std::to_string(high));
    } else {
        return value;
    }
    mFailed = true;
    return defaultValue;
}

int UiValueReader::Coordinate(const char* key, int defaultValue) {
    return Int(key, defaultValue, -DataNumbers::kMaxCoordinate, DataNumbers::kMaxCoordinate);
}

int UiValueReader::Size(const char* key, int defaultValue, int most) {
    return DataNumbers::Clamp(Int(key, defaultValue), 0, most);
}

Rect UiValueReader::RectValue(const char* key) {
    const std::string text = String(key);
    if (text.empty()) return Rect();
    std::vector<std::string> fields;
    com_string::Split(text.c_str(), ',', fields);
    int values[4] = {0, 0, 0, 0};
    bool parsed = fields.size() == 4;
    for (size_t i = 0; parsed && i < 4; ++i) parsed = DataNumbers::ParseWhole(TrimString(fields[i]), &values[i]);
    if (!parsed) {
        Report(key, text, "not four numbers x,y,width,height");
        mFailed = true;
        return Rect();
    }
    for (int i = 0; i < 2; ++i) {
        if (values[i] < -DataNumbers::kMaxCoordinate || values[i] > DataNumbers::kMaxCoordinate) {
            Report(key, text, "corner out of range");
            mFailed = true;
            return Rect();
        }
    }
    return Rect(values[0], values[1], DataNumbers::Clamp(values[2], 0, DataNumbers::kScreenWidth),
                DataNumbers::Clamp(values[3], 0, DataNumbers::kScreenHeight));
}

void UiValueReader::Report(const char* key, const std::string& value, const std::string& problem) const {
    UiLog(Context() + " key \"" + key + "\" = \"" + value + "\": " + problem);
}

std::string UiValueReader::Context() const { return mOrigin + " [" + mSectionName + "]"; }

}  // namespace Velm
