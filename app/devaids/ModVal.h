#pragma once

// Live tuning values: constants in the source that a developer can change while the
// program runs. A constant is written as M(value) (or M1(value) .. M9(value)); the macro
// leaves a marker record in the linker section "velm_modval" and reads the value through
// ModValInt or ModValFloat, which return the compiled default until ReparseModValues has
// read the source files again and found a value for the marker.
//
// Marker text: "VELM_VELMMODVAL" + the source path as the compiler saw it (absolute with
// our build) + the marker's index within its file (decimal) + "," + its line (decimal),
// e.g. "VELM_VELMMODVAL/src/game/board/EffectRemover.cpp0,105". The index counts the
// markers of one translation unit in source order; only its order matters, so gaps are
// harmless.
//
// The reparse finds the markers by walking the section between its start and stop symbols,
// re-reads every source file whose markers the program has used (by the path in the
// marker), matches each M( call to the file's markers by line, in index order, and parses
// the call's literal: a string, an integer (decimal, "0x" hexadecimal or a name of the
// name table) or a decimal floating value, written without blanks. An integer literal
// also gives the floating value and a floating literal the integer one (truncated), so
// either accessor reads what the source says.
//
// This header defines the macros M and M1 .. M9: include it only in the source files that
// use tuning values, after every other header (M is a common template parameter name).
// Main thread only.

#include <cstdint>
#include <map>
#include <string>
#include <type_traits>

namespace Velm {

// The value a reparse gave one marker; allocated when the marker is first resolved and
// kept for the life of the process.
struct ModValRecord {
    bool mSet = false;  // a reparse gave a value
    int32_t mInt = 0;
    double mDouble = 0.0;
    std::string mText;
};

// The record each M() call leaves in the section "velm_modval". mRecord is null until
// the marker is resolved. The alignment equals the size, so that the records of every
// object file lie in the section without gaps.
struct alignas(16) ModValMarker {
    const char* mText;
    ModValRecord* mRecord;
};

// The markers of one source file by index: the marker and its line.
struct ModValFileEntry {
    ModValMarker* mMarker = nullptr;
    int mLine = 0;
};
struct ModValFileRecord {
    bool mUsed = false;  // some marker of this file was resolved
    std::map<int, ModValFileEntry> mEntries;
};
// Source path (exactly as in the markers) to file record.
using ModValFileMap = std::map<std::string, ModValFileRecord>;

// The process-wide file map and name table (names the integer parse accepts; empty unless
// someone adds to it).
ModValFileMap& GetModValFileMap();
std::map<std::string, int>& GetModValNameTable();

int ModValInt(ModValMarker* marker, int defaultValue);
float ModValFloat(ModValMarker* marker, float defaultValue);

// Resolves the marker: marks its file as used and gives it a new record. The marker's
// text must carry a valid suffix; null otherwise.
ModValRecord* ModValResolve(ModValMarker* marker);
ModValRecord* ModValCreateRecord(ModValMarker* marker);
// Splits "<path><index>,<line>": cuts the suffix off text and returns both numbers. False
// (text untouched) when there is no suffix or the whole text is the suffix.
bool ModValParseSuffix(std::string& text, int* index, int* line);

// Records every marker of [begin, end) with a valid suffix in the file map, under its path
// and index. True when at least one was recorded.
bool ModValScanBlock(ModValMarker* begin, ModValMarker* end);
// ModValScanBlock over the program's "velm_modval" section.
bool ModValScanMemory();

// The literal parsers. Each reads the text after the "(" of a call; no blanks are allowed.
// Text: a double-quoted string with the escapes \" \\ \n \t. Int: a name of the name
// table, or [-]decimal digits, or 0x/0X hexadecimal digits (at most 8), then ")". Double:
// [-]digits[.digits] then ")" or "f)". On failure the output is 0 or empty.
bool ModValParseText(const char* text, std::string* out);
bool ModValParseInt(const char* text, int* out);
bool ModValParseDouble(const char* text, double* out);

// Finds the M( calls in one source file's text. For each call outside strings and
// comments, onCall gets the line (from 1) and the text after the "("; a false answer stops
// the scan (the caller has reported an error). A call must have a character before its
// "M". Returns false with *error set ("ERROR in <origin> on line <n>: Error parsing ...")
// when a string or comment does not end; false with *error empty when onCall stopped.
// The text is read in lines of at most 8,191 characters, as the reparse reads files.
using ModValCallHandler = bool (*)(void* context, int line, const char* args);
bool ModValScanSource(const std::string& text, const std::string& origin, ModValCallHandler onCall, void* context,
                      std::string* error);

// Re-reads the used source files and applies their values. True when some used file was
// modified after the previous reparse (the first time: after the program file). Errors and
// the "No file changes detected." warning are shown in message boxes.
bool ReparseModValues();

// The accessor a macro picks for its literal: integers read as int, floating literals as
// float.
template <typename T>
auto ModValGet(ModValMarker* marker, T defaultValue) {
    static_assert(std::is_arithmetic<T>::value, "a tuning value is an integer or floating literal");
    if constexpr (std::is_floating_point<T>::value)
        return ModValFloat(marker, static_cast<float>(defaultValue));
    else
        return ModValInt(marker, static_cast<int>(defaultValue));
}

}  // namespace Velm

#define VELM_MODVAL_STR2_(x) #x
#define VELM_MODVAL_STR_(x) VELM_MODVAL_STR2_(x)
// The marker lives in the writable section "velm_modval"; its name is a C identifier so
// that the linker provides __start_velm_modval and __stop_velm_modval, and sanitizers leave
// such sections unpadded.
#define VELM_MODVAL_(value, counter)                                                                                   \
    ::Velm::ModValGet(                                                                                                 \
            []() -> ::Velm::ModValMarker* {                                                                            \
                __attribute__((section("velm_modval"), used)) static ::Velm::ModValMarker velmModValMarker = {         \
                        "VELM_VELMMODVAL" __FILE__ VELM_MODVAL_STR_(counter) "," VELM_MODVAL_STR_(__LINE__), nullptr}; \
                return &velmModValMarker;                                                                              \
            }(),                                                                                                       \
            (value))

#define M(value) VELM_MODVAL_(value, __COUNTER__)
#define M1(value) VELM_MODVAL_(value, __COUNTER__)
#define M2(value) VELM_MODVAL_(value, __COUNTER__)
#define M3(value) VELM_MODVAL_(value, __COUNTER__)
#define M4(value) VELM_MODVAL_(value, __COUNTER__)
#define M5(value) VELM_MODVAL_(value, __COUNTER__)
#define M6(value) VELM_MODVAL_(value, __COUNTER__)
#define M7(value) VELM_MODVAL_(value, __COUNTER__)
#define M8(value) VELM_MODVAL_(value, __COUNTER__)
#define M9(value) VELM_MODVAL_(value, __COUNTER__)
