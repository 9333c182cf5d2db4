#include "app/devaids/ModVal.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/MessageBox.h"
#include "resources/base/StringUtils.h"

// The linker provides these for every section named like a C identifier. They are weak so
// that a program without any marker still links (both are then null).
extern "C" {
extern Velm::ModValMarker __start_velm_modval[] __attribute__((weak));
extern Velm::ModValMarker __stop_velm_modval[] __attribute__((weak));
}

namespace Velm {

namespace {

const char kMarkerPrefix[] = "VELM_VELMMODVAL";
const size_t kMarkerPrefixLength = sizeof(kMarkerPrefix) - 1;  // 15
// What the reparse reads at most of one line, as a line buffer of 8,192 bytes holds it.
const size_t kMaxLineLength = 8191;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a run of decimal digits as a non-negative int; false when empty or too large.
bool ReadDecimal(const std::string& text, size_t* pos, int* value) {
    const size_t start = *pos;
    long long result = 0;
    while (*pos < text.size() && IsDigit(text[*pos])) {
        result = result * 10 + (text[*pos] - '0');
        if (result > INT_MAX) return false;
        ++*pos;
    }
    if (*pos == start) return false;
    *value = static_cast<int>(result);
    return true;
}

int32_t TruncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// The program file's modification time: what the first reparse compares the sources with.
int64_t ProgramFileTime() {
    const std::string program = plat::ExecutablePath();
    return program.empty() ? 0 : plat::FileModifiedTime(program);
}

bool gScanned = false;
int64_t gNewestTime = 0;

}  // namespace

ModValFileMap& GetModValFileMap() {
    static ModValFileMap* map = new ModValFileMap();  // markers may be read during static shutdown
    return *map;
}

std::map<std::string, int>& GetModValNameTable() {
    static std::map<std::string, int> table;
    return table;
}

int ModValInt(ModValMarker* marker, int defaultValue) {
    if (marker->mRecord == nullptr) ModValResolve(marker);
    const ModValRecord* record = marker->mRecord;
    return record != nullptr && record->mSet ? record->mInt : defaultValue;
}

float ModValFloat(ModValMarker* marker, float defaultValue) {
    if (marker->mRecord == nullptr) ModValResolve(marker);
    const ModValRecord* record = marker->mRecord;
    return record != nullptr && record->mSet ? static_cast<float>(record->mDouble) : defaultValue;
}

ModValRecord* ModValResolve(ModValMarker* marker) {
    if (marker->mText == nullptr || std::strncmp(marker->mText, kMarkerPrefix, kMarkerPrefixLength) != 0)
        return nullptr;
    std::string path = marker->mText + kMarkerPrefixLength;
    int index = 0;
    int line = 0;
    if (!ModValParseSuffix(path, &index, &line)) return nullptr;
    GetModValFileMap()[path].mUsed = true;
    return ModValCreateRecord(marker);
}

ModValRecord* ModValCreateRecord(ModValMarker* marker) {
    // Kept for the rest of the process (markers point at them), also through static
    // shutdown: the list itself is never destroyed.
    static std::vector<std::unique_ptr<ModValRecord>>* records = new std::vector<std::unique_ptr<ModValRecord>>();
    records->push_back(std::make_unique<ModValRecord>());
    marker->mRecord = records->back().get();
    return marker->mRecord;
}

bool ModValParseSuffix(std::string& text, int* index, int* line) {
    size_t start = text.size();
    int commas = 0;
    while (start > 0) {
        const char c = text[start - 1];
        if (c == ',' && commas == 0)
            ++commas;
        else if (!IsDigit(c))
            break;
        --start;
    }
    if (start == text.size() || start == 0) return false;
    size_t pos = start;
    int first = 0;
    int second = 0;
    if (!ReadDecimal(text, &pos, &first) || pos >= text.size() || text[pos] != ',') return false;
    ++pos;
    if (!ReadDecimal(text, &pos, &second) || pos != text.size()) return false;
    text.resize(start);
    *index = first;
    *line = second;
    return true;
}

bool ModValScanBlock(ModValMarker* begin, ModValMarker* end) {
    bool found = false;
    for (ModValMarker* marker = begin; marker < end; ++marker) {
        if (marker->mText == nullptr || std::strncmp(marker->mText, kMarkerPrefix, kMarkerPrefixLength) != 0) continue;
        std::string path = marker->mText + kMarkerPrefixLength;
        int index = 0;
        int line = 0;
        if (!ModValParseSuffix(path, &index, &line)) continue;
        ModValFileEntry& entry = GetModValFileMap()[path].mEntries[index];
        entry.mMarker = marker;
        entry.mLine = line;
        found = true;
    }
    return found;
}

bool ModValScanMemory() {
    if (__start_velm_modval == nullptr || __stop_velm_modval == nullptr) return false;
    return ModValScanBlock(__start_velm_modval, __stop_velm_modval);
}

bool ModValParseText(const char* text, std::string* out) {
    out->clear();
    if (*text != '"') return false;
    std::string result;
    for (const char* p = text + 1;; ++p) {
        if (*p == '\0') return false;
        if (*p == '"') break;
        if (*p == '\\') {
            ++p;
            switch (*p) {
                case '"': result += '"'; break;
                case '\\': result += '\\'; break;
                case 'n': result += '\n'; break;
                case 't': result += '\t'; break;
                default: return false;
            }
        } else {
            result += *p;
        }
    }
    *out = result;
    return true;
}

bool ModValParseInt(const char* text, int* out) {
    *out = 0;
    const char* p = text;
    if (IsLetter(*p) || *p == '_') {
        std::string name;
        while (IsLetter(*p) || IsDigit(*p) || *p == '_') name += *p++;
        const auto& table = GetModValNameTable();
        const auto found = table.find(name);
        if (found == table.end() || *p != ')') return false;
        *out = found->second;
        return true;
    }

    int64_t value = 0;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        p += 2;
        int digits = 0;
        while (HexDigitValue(*p) >= 0) {
            if (++digits > 8) return false;
            value = value * 16 + HexDigitValue(*p++);
        }
        if (digits == 0 || *p != ')') return false;
        // Eight hexadecimal digits are a bit pattern: 0xFFFFFFFF is -1.
        *out = static_cast<int32_t>(static_cast<uint32_t>(value));
        return true;
    }

    const bool negative = *p == '-';
    if (negative) ++p;
    const char* digitsStart = p;
    while (IsDigit(*p)) {
        value = value * 10 + (*p++ - '0');
        if (value > static_cast<int64_t>(INT_MAX) + 1) return false;
    }
    if (p == digitsStart || *p != ')') return false;
    if (negative) value = -value;
    if (value > INT_MAX) return false;
    *out = static_cast<int>(value);
    return true;
}

bool ModValParseDouble(const char* text, double* out) {
    *out = 0.0;
    const char* p = text;
    const bool negative = *p == '-';
    if (negative) ++p;
    double value = 0.0;
    int digits = 0;
    while (IsDigit(*p)) {
        value = value * 10.0 + (*p++ - '0');
        ++digits;
    }
    if (*p == '.') {
        ++p;
        double factor = 0.1;
        while (IsDigit(*p)) {
            value += (*p++ - '0') * factor;
            factor /= 10.0;
            ++digits;
        }
    }
    if (digits == 0) return false;
    if (!(p[0] == ')' || (p[0] == 'f' && p[1] == ')'))) return false;
    *out = negative ? -value : value;
    return true;
}

bool ModValScanSource(const std::string& text, const std::string& origin, ModValCallHandler onCall, void* context,
                      std::string* error) {
    error->clear();
    bool inString = false;
    bool inBlockComment = false;
    bool lineCommentGoesOn = false;
    int lineNumber = 0;
    size_t pos = 0;
    std::string line;
    while (pos < text.size()) {
        // One line as a line-buffered read gives it: up to and including its '\n', at most
        // kMaxLineLength characters; CR bytes are dropped as a text-mode read drops them.
        line.clear();
        while (pos < text.size() && line.size() < kMaxLineLength) {
            const char c = text[pos++];
            if (c == '\r') continue;
            line += c;
            if (c == '\n') break;
        }
        if (line.empty()) break;
        ++lineNumber;
        size_t length = line.size();
        if (line[length - 1] == '\n') --length;
        const bool endsInBackslash = length > 0 && line[length - 1] == '\\';

        if (lineCommentGoesOn) {
            lineCommentGoesOn = endsInBackslash;
            continue;
        }

        const char* chars = line.c_str();
        char previous = 0;
        for (size_t i = 0; i < length; ++i) {
            const char c = chars[i];
            if (inBlockComment) {
                if (c == '*' && chars[i + 1] == '/') {
                    inBlockComment = false;
                    ++i;
                    previous = 0;
                }
                continue;
            }
            if (inString) {
                if (c == '\\' && previous == '\\') {
                    // A doubled backslash is one character and escapes nothing.
                    previous = 0;
                    continue;
                }
                if (c == '"' && previous != '\\') inString = false;
                previous = c;
                continue;
            }
            if (c == '"') {
                inString = true;
                previous = c;
                continue;
            }
            if (c == '/' && chars[i + 1] == '/') {
                lineCommentGoesOn = endsInBackslash;
                break;
            }
            if (c == '/' && chars[i + 1] == '*') {
                inBlockComment = true;
                ++i;
                continue;
            }
            if (c == '(') {
                const bool plain = i >= 2 && chars[i - 1] == 'M' && !IsLetter(chars[i - 2]);
                const bool numbered = i >= 3 && chars[i - 1] >= '1' && chars[i - 1] <= '9' && chars[i - 2] == 'M' &&
                                      !IsLetter(chars[i - 3]);
                if ((plain || numbered) && !onCall(context, lineNumber, chars + i + 1)) return false;
            }
            previous = c;
        }
        if (inString && !endsInBackslash) {
            *error = FormatString("ERROR in %s on line %d: Error parsing quotes", origin.c_str(), lineNumber);
            return false;
        }
    }
    if (inBlockComment) {
        *error = FormatString("ERROR in %s on line %d: Error parsing c comment", origin.c_str(), lineNumber);
        return false;
    }
    if (lineCommentGoesOn) {
        *error = FormatString("ERROR in %s on line %d: Error parsing c++ comment", origin.c_str(), lineNumber);
        return false;
    }
    if (inString) {
        *error = FormatString("ERROR in %s on line %d: Error parsing quotes", origin.c_str(), lineNumber);
        return false;
    }
    return true;
}

namespace {

// One file's walk: the calls found in source order are matched to the file's markers in
// index order.
struct FileReparse {
    const std::string* path;
    std::map<int, ModValFileEntry>::iterator next;
    std::map<int, ModValFileEntry>::iterator end;
};

bool ApplyCall(void* context, int line, const char* args) {
    FileReparse& walk = *static_cast<FileReparse*>(context);
    while (walk.next != walk.end && walk.next->second.mLine < line) ++walk.next;
    if (walk.next == walk.end || walk.next->second.mLine != line)
        return true;  // a call added after the program was built
    ModValMarker* marker = walk.next->second.mMarker;
    ++walk.next;

    std::string textValue;
    int intValue = 0;
    double doubleValue = 0.0;
    if (ModValParseText(args, &textValue)) {
    } else if (ModValParseInt(args, &intValue)) {
        doubleValue = intValue;
    } else if (ModValParseDouble(args, &doubleValue)) {
        intValue = TruncateToInt(doubleValue);
    } else {
        plat::ShowMessageBox(FormatString("ERROR in %s on line %d.  Parsing Error.", walk.path->c_str(), line),
                             "MODVAL ERROR", plat::kMbIconError);
        return false;
    }

    ModValRecord* record = marker->mRecord != nullptr ? marker->mRecord : ModValResolve(marker);
    if (record == nullptr) return true;
    record->mText = textValue;
    record->mInt = intValue;
    record->mDouble = doubleValue;
    record->mSet = true;
    return true;
}

}  // namespace

// A marker's path is the compiler's name of its source file. Builds through ccache name
// files relative to the build folder (so that clones in other folders share the cache);
// those are read from there.
static std::string SourceFilePath(const std::string& path) {
#ifdef VELM_BUILD_ROOT
    if (!path.empty() && path[0] != '/') return std::string(VELM_BUILD_ROOT) + "/" + path;
#endif
    return path;
}

bool ReparseModValues() {
    if (!gScanned) {
        gScanned = true;
        gNewestTime = ProgramFileTime();
        ModValScanMemory();
    }

    bool changed = false;
    std::string parsedFiles;
    for (auto& [path, file] : GetModValFileMap()) {
        if (!file.mUsed) continue;
        const std::string sourcePath = SourceFilePath(path);
        const int64_t modified = plat::FileModifiedTime(sourcePath);
        if (modified > gNewestTime) {
            gNewestTime = modified;
            changed = true;
        }
        if (!parsedFiles.empty()) parsedFiles += "\r\n  ";
        parsedFiles += path;

        std::vector<uint8_t> bytes;
        if (!plat::ReadFile(sourcePath, bytes)) {
            plat::ShowMessageBox("ERROR: Unable to open " + path + " for reparsing.", "MODVAL ERROR!",
                                 plat::kMbIconError);
            return false;
        }
        FileReparse walk{&path, file.mEntries.begin(), file.mEntries.end()};
        std::string error;
        if (!ModValScanSource(std::string(bytes.begin(), bytes.end()), path, &ApplyCall, &walk, &error)) {
            if (!error.empty()) plat::ShowMessageBox(error, "MODVAL ERROR", plat::kMbIconError);
            return false;
        }
    }

    if (changed) return true;
    plat::ShowMessageBox("WARNING: No file changes detected.  Files parsed: \r\n  " +
                                 (parsedFiles.empty() ? std::string("none") : parsedFiles),
                         "MODVAL WARNING!", plat::kMbIconWarning);
    return false;
}

}  // namespace Velm
