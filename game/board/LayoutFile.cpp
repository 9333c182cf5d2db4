#include "game/board/LayoutFile.h"

#include "engine/util/IniFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace Velm {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A whole field as one decimal integer: optional blanks, optional sign, digits,
// optional blanks, nothing else, and within the range of int.
bool ParseStrictInt(const char* begin, const char* end, int& value) {
    while (begin < end && IsBlank(*begin)) ++begin;
    while (end > begin && IsBlank(end[-1])) --end;
    if (begin == end) return false;
    const char* p = begin;
    if (*p == '+' || *p == '-') ++p;
    if (p == end) return false;
    for (const char* q = p; q < end; ++q) {
        if (*q < '0' || *q > '9') return false;
    }
    std::string digits(begin, end);
    errno = 0;
    char* stop = nullptr;
    const long long parsed = std::strtoll(digits.c_str(), &stop, 10);
    if (errno != 0 || parsed < INT_MIN || parsed > INT_MAX) return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ParseStrictInt(const std::string& text, int& value) {
    return ParseStrictInt(text.data(), text.data() + text.size(), value);
}

// "a;b;c;d;e" with exactly five integer fields.
bool ParseTileLine(const std::string& text, int (&fields)[5]) {
    const char* p = text.data();
    const char* end = p + text.size();
    for (int i = 0; i < 5; ++i) {
        const char* fieldEnd = p;
        while (fieldEnd < end && *fieldEnd != ';') ++fieldEnd;
        if (i < 4 && fieldEnd == end) return false;   // too few fields
        if (i == 4 && fieldEnd != end) return false;  // a sixth field
        if (!ParseStrictInt(p, fieldEnd, fields[i])) return false;
        p = fieldEnd + 1;
    }
    return true;
}

bool IsAllDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

struct CountKey {
    const char* key;
    int maximum;
    int LayoutFileData::*field;
};

}  // namespace

bool ReadLayoutFile(const IniFile_t& ini, LayoutFileData& out, std::string& error) {
    const std::string& origin = ini.GetOriginName();
    auto fail = [&](const std::string& why) {
        error = (origin.empty() ? std::string("layout") : origin) + ": " + why;
        return false;
    };
    if (ini.GetSectionCount() == 0) return fail("cannot be read or is empty");
    const IniSection_t* info = ini.FindSection("info");
    if (info == nullptr) return fail("has no [info] section");

    LayoutFileData data;
    info->GetString("LAYOUTNAME", "", data.name);

    const CountKey counts[] = {
            {"ITEMSCOUNT", kLayoutMaxTiles, &LayoutFileData::itemCount},
            {"LAYERCOUNT", kLayoutLayers, &LayoutFileData::layerCount},
            {"ROWCOUNT", kLayoutRows, &LayoutFileData::rowCount},
            {"COLCOUNT", kLayoutColumns, &LayoutFileData::colCount},
    };
    for (const CountKey& count : counts) {
        IniSection_t::const_iterator it = info->Find(count.key);
        if (it == info->end()) {
            // A file with bare LF line ends reads as its header line alone.
            const char* hint = info->GetCount() == 0 ? " ([info] holds no keys; lines must end in CR LF)" : "";
            return fail(std::string("missing ") + count.key + hint);
        }
        int value = 0;
        if (!ParseStrictInt(it->second.value, value)) {
            return fail(std::string(count.key) + " '" + it->second.value + "' is not an integer");
        }
        if (value < 0 || value > count.maximum) {
            return fail(std::string(count.key) + " " + std::to_string(value) + " is outside 0.." +
                        std::to_string(count.maximum));
        }
        data.*count.field = value;
    }

    // Tile lines beyond the declared count mean the count is wrong.
    for (IniSection_t::const_iterator it = info->KeysBegin(); it != info->KeysEnd(); ++it) {
        if (!IsAllDigits(it->first)) continue;
        int number = 0;
        if (!ParseStrictInt(it->first, number) || number >= data.itemCount) {
            return fail("tile line " + it->first + " lies beyond ITEMSCOUNT " + std::to_string(data.itemCount));
        }
    }

    // owner[layer][row][column]: index + 1 of the tile covering the cell, 0 none.
    static thread_local short owner[kLayoutLayers][kLayoutRows][kLayoutColumns];
    std::memset(owner, 0, sizeof(owner));

    data.tiles.reserve(static_cast<size_t>(data.itemCount));
    for (int i = 0; i < data.itemCount; ++i) {
        const std::string key = std::to_string(i);
        const std::string where = "tile " + key;
        IniSection_t::const_iterator it = info->Find(key.c_str());
        if (it == info->end()) return fail(where + " is missing");
        int f[5] = {};
        if (!ParseTileLine(it->second.value, f)) {
            return fail(where + " '" + it->second.value + "' is not five integers 'layer;row;column;kind;group'");
        }
        LayoutFileTile tile;
        tile.layer = f[0];
        tile.row = f[1];
        tile.column = f[2];
        tile.kind = f[3] - 1;
        tile.groupValue = f[4];
        if (tile.layer < 0 || tile.layer >= data.layerCount) {
            return fail(where + ": layer " + std::to_string(tile.layer) + " is outside 0.." +
                        std::to_string(data.layerCount - 1));
        }
        if (tile.row < 0 || tile.row > data.rowCount - 2) {
            return fail(where + ": row " + std::to_string(tile.row) + " leaves no room for the tile in ROWCOUNT " +
                        std::to_string(data.rowCount));
        }
        if (tile.column < 0 || tile.column > data.colCount - 2) {
            return fail(where + ": column " + std::to_string(tile.column) +
                        " leaves no room for the tile in COLCOUNT " + std::to_string(data.colCount));
        }
        if (f[3] < 1 || f[3] > kLayoutMaxKindNumber) {
            return fail(where + ": kind " + std::to_string(f[3]) + " is outside 1.." +
                        std::to_string(kLayoutMaxKindNumber));
        }
        if (tile.groupValue < 0)
            return fail(where + ": group value " + std::to_string(tile.groupValue) + " is negative");
        for (int dr = 0; dr < 2; ++dr) {
            for (int dc = 0; dc < 2; ++dc) {
                short& cell = owner[tile.layer][tile.row + dr][tile.column + dc];
                if (cell != 0) {
                    return fail(where + " overlaps tile " + std::to_string(cell - 1) + " on layer " +
                                std::to_string(tile.layer));
                }
                cell = static_cast<short>(i + 1);
            }
        }
        data.tiles.push_back(tile);
    }

    out = std::move(data);
    return true;
}

bool ParseLayoutText(const char* text, size_t length, const std::string& origin, LayoutFileData& out,
                     std::string& error) {
    IniFile_t ini;
    ini.Parse(text, length, true, origin);
    if (ini.GetSectionCount() == 0) {
        error = (origin.empty() ? std::string("layout") : origin) + ": is empty or holds no section";
        return false;
    }
    return ReadLayoutFile(ini, out, error);
}

bool LoadLayoutFile(const std::string& path, LayoutFileData& out, std::string& error) {
    IniFile_t ini;
    if (!ini.Load(path, true)) {
        error = path + ": cannot be read";
        return false;
    }
    if (ini.GetSectionCount() == 0) {
        error = path + ": is empty or holds no section";
        return false;
    }
    return ReadLayoutFile(ini, out, error);
}

}  // namespace Velm
