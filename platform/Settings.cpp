#include "platform/Settings.h"

#include <cstddef>
#include <cstdio>
#include <memory>

#include "platform/Files.h"
#include "platform/Folders.h"

namespace plat {
namespace {

unsigned char Lower(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

// `path` lies below `parent` (or is it).
bool IsWithin(const std::string& path, const std::string& parent) {
    if (parent.empty()) return true;
    if (path.size() < parent.size()) return false;
    if (!SameName(path.substr(0, parent.size()), parent)) return false;
    return path.size() == parent.size() || path[parent.size()] == '\\';
}

std::string NormaliseKey(const std::string& key) {
    std::string out;
    size_t start = 0;
    while (start <= key.size()) {
        size_t end = key.find('\\', start);
        if (end == std::string::npos) end = key.size();
        if (end > start) {
            if (!out.empty()) out += '\\';
            out.append(key, start, end - start);
        }
        start = end + 1;
    }
    return out;
}

const char kHex[] = "0123456789abcdef";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (IsControl(u)) {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// Reads a quoted text starting at line[pos] == '"'; moves pos past the closing quote.
bool Unquote(const std::string& line, size_t& pos, std::string& out) {
    if (pos >= line.size() || line[pos] != '"') return false;
    out.clear();
    for (size_t i = pos + 1; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= line.size()) return false;
        char e = line[i];
        if (e == '\\' || e == '"') {
            out += e;
        } else if (e == 'x' && i + 2 < line.size() && HexDigit(line[i + 1]) >= 0 && HexDigit(line[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(line[i + 1]) * 16 + HexDigit(line[i + 2]));
            i += 2;
        } else {
            return false;
        }
    }
    return false;
}

// Section names: '%HH' stands for control bytes and '%' itself; the name runs from the
// first '[' to the last ']', so ']' inside a name needs no escape.
std::string EscapeSection(const std::string& path) {
    std::string out;
    for (char c : path) {
        unsigned char u = static_cast<unsigned char>(c);
        if (IsControl(u) || c == '%') {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

bool UnescapeSection(const std::string& text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        int hi = HexDigit(text[i + 1]);
        int lo = HexDigit(text[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& out) {
    out.clear();
    if (text.empty()) return true;
    size_t i = 0;
    for (;;) {
        if (i + 2 > text.size()) return false;
        int hi = HexDigit(text[i]);
        int lo = HexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
        i += 2;
        if (i == text.size()) return true;
        if (text[i] != ',') return false;
        ++i;
    }
}

bool ParseUnsigned(const std::string& text, int base, size_t maxDigits, uint32_t& out) {
    if (text.empty() || text.size() > maxDigits) return false;
    uint64_t value = 0;
    for (char c : text) {
        int d = HexDigit(c);
        if (d < 0 || d >= base) return false;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    }
    if (value > 0xFFFFFFFFu) return false;
    out = static_cast<uint32_t>(value);
    return true;
}

std::string TrimRight(const std::string& line) {
    size_t end = line.size();
    while (end > 0 && (line[end - 1] == '\r' || line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
    return line.substr(0, end);
}

}  // namespace

Settings::Settings(std::string filePath) : mPath(std::move(filePath)) { Load(); }

std::string Settings::DefaultPath() {
    std::string base = ConfigHomeFolder();
    return base.empty() ? std::string() : base + "velm/registry.txt";
}

Settings& Settings::User() {
    static Settings store(DefaultPath());
    return store;
}

void Settings::Load() {
    std::vector<uint8_t> bytes;
    if (mPath.empty() || !ReadFile(mPath, bytes)) return;
    const std::string text(bytes.begin(), bytes.end());
    Key* current = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = TrimRight(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            size_t close = line.rfind(']');
            std::string path;
            current = nullptr;  // values under a broken section header are skipped too
            if (close == std::string::npos || close + 1 != line.size()) continue;
            if (!UnescapeSection(line.substr(1, close - 1), path)) continue;
            current = &EnsureKey(NormaliseKey(path));
            continue;
        }
        if (!current) continue;
        size_t pos = 0;
        Value value;
        if (!Unquote(line, pos, value.name) || pos >= line.size() || line[pos] != '=') continue;
        const std::string rest = line.substr(pos + 1);
        if (!rest.empty() && rest[0] == '"') {
            size_t p = 0;
            std::string textValue;
            if (!Unquote(rest, p, textValue) || p != rest.size()) continue;
            value.type = kRegSz;
            value.data.assign(textValue.begin(), textValue.end());
        } else if (rest.compare(0, 6, "dword:") == 0) {
            uint32_t v;
            if (!ParseUnsigned(rest.substr(6), 16, 8, v)) continue;
            value.type = kRegDword;
            value.data = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                          static_cast<uint8_t>(v >> 24)};
        } else if (rest.compare(0, 4, "hex:") == 0) {
            if (!ParseHexBytes(rest.substr(4), value.data)) continue;
            value.type = kRegBinary;
        } else if (rest.compare(0, 4, "hex(") == 0) {
            size_t close = rest.find("):");
            if (close == std::string::npos || !ParseUnsigned(rest.substr(4, close - 4), 10, 10, value.type)) continue;
            if (!ParseHexBytes(rest.substr(close + 2), value.data)) continue;
        } else {
            continue;
        }
        // A later line for the same name wins, as a later write would.
        bool replaced = false;
        for (Value& v : current->values) {
            if (SameName(v.name, value.name)) {
                v = value;
                replaced = true;
            }
        }
        if (!replaced) current->values.push_back(std::move(value));
    }
}

std::string Settings::Serialize() const {
    std::string out = "; User settings. Written by the program; lines it cannot read are dropped.\n";
    for (const Key& key : mKeys) {
        out += "\n[" + EscapeSection(key.path) + "]\n";
        for (const Value& v : key.values) {
            out += Quote(v.name) + "=";
            if (v.type == kRegDword && v.data.size() == 4) {
                uint32_t n = static_cast<uint32_t>(v.data[0]) | static_cast<uint32_t>(v.data[1]) << 8 |
                             static_cast<uint32_t>(v.data[2]) << 16 | static_cast<uint32_t>(v.data[3]) << 24;
                char buf[16];
                std::snprintf(buf, sizeof buf, "dword:%08x", n);
                out += buf;
            } else if (v.type == kRegSz) {
                out += Quote(std::string(v.data.begin(), v.data.end()));
            } else {
                out += v.type == kRegBinary ? std::string("hex:") : "hex(" + std::to_string(v.type) + "):";
                for (size_t i = 0; i < v.data.size(); ++i) {
                    if (i) out += ',';
                    out += kHex[v.data[i] >> 4];
                    out += kHex[v.data[i] & 0xF];
                }
            }
            out += '\n';
        }
    }
    return out;
}

bool Settings::Commit(std::vector<Key> previous) {
    std::string error;
    bool ok = !mPath.empty();
    if (!ok) error = "no settings file (no home or config folder)";
    if (ok) {
        // Create the folders above the file, one level at a time.
        for (size_t slash = mPath.find('/', 1); slash != std::string::npos; slash = mPath.find('/', slash + 1)) {
            MakeDirectory(mPath.substr(0, slash));
        }
        const std::string text = Serialize();
        ok = WriteFileAtomic(mPath, text.data(), text.size(), &error);
    }
    if (ok) {
        mLastError.clear();
    } else {
        mKeys = std::move(previous);
        mLastError = error;
    }
    return ok;
}

Settings::Key* Settings::FindKey(const std::string& normalisedPath) {
    for (Key& k : mKeys) {
        if (SameName(k.path, normalisedPath)) return &k;
    }
    return nullptr;
}

const Settings::Key* Settings::FindKey(const std::string& normalisedPath) const {
    for (const Key& k : mKeys) {
        if (SameName(k.path, normalisedPath)) return &k;
    }
    return nullptr;
}

Settings::Key& Settings::EnsureKey(const std::string& normalisedPath) {
    // Keys above it first, as creating a registry key creates its parents.
    size_t slash = normalisedPath.rfind('\\');
    if (slash != std::string::npos) EnsureKey(normalisedPath.substr(0, slash));
    if (Key* existing = FindKey(normalisedPath)) return *existing;
    mKeys.push_back(Key{normalisedPath, {}});
    return mKeys.back();
}

bool Settings::SetValue(const std::string& key, const std::string& name, uint32_t type, const void* data, size_t size) {
    std::lock_guard<std::mutex> lock(mMutex);
    std::vector<Key> previous = mKeys;
    Key& k = EnsureKey(NormaliseKey(key));
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    Value value{name, type, std::vector<uint8_t>(bytes, bytes + size)};
    bool replaced = false;
    for (Value& v : k.values) {
        if (SameName(v.name, name)) {
            // Rewriting a value with what it already holds leaves the file alone.
            if (v.type == type && v.data == value.data && previous.size() == mKeys.size()) return true;
            v.type = type;
            v.data = value.data;
            replaced = true;
        }
    }
    if (!replaced) k.values.push_back(std::move(value));
    return Commit(std::move(previous));
}

bool Settings::SetDword(const std::string& key, const std::string& name, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return SetValue(key, name, kRegDword, bytes, 4);
}

bool Settings::SetString(const std::string& key, const std::string& name, const std::string& text) {
    return SetValue(key, name, kRegSz, text.data(), text.size());
}

bool Settings::SetBinary(const std::string& key, const std::string& name, const std::vector<uint8_t>& data) {
    return SetValue(key, name, kRegBinary, data.data(), data.size());
}

bool Settings::GetValue(const std::string& key, const std::string& name, uint32_t* type,
                        std::vector<uint8_t>* data) const {
    std::lock_guard<std::mutex> lock(mMutex);
    const Key* k = FindKey(NormaliseKey(key));
    if (!k) return false;
    for (const Value& v : k->values) {
        if (SameName(v.name, name)) {
            if (type) *type = v.type;
            if (data) *data = v.data;
            return true;
        }
    }
    return false;
}

bool Settings::GetDword(const std::string& key, const std::string& name, uint32_t* value) const {
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (!GetValue(key, name, &type, &data) || type != kRegDword || data.size() != 4) return false;
    if (value) {
        *value = static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                 static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
    }
    return true;
}

bool Settings::GetString(const std::string& key, const std::string& name, std::string* text) const {
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (!GetValue(key, name, &type, &data) || type != kRegSz) return false;
    if (text) {
        std::string all(data.begin(), data.end());
        *text = all.substr(0, all.find('\0'));
    }
    return true;
}

bool Settings::GetBinary(const std::string& key, const std::string& name, std::vector<uint8_t>* data) const {
    uint32_t type = 0;
    std::vector<uint8_t> bytes;
    if (!GetValue(key, name, &type, &bytes) || type != kRegBinary) return false;
    if (data) *data = std::move(bytes);
    return true;
}

bool Settings::KeyExists(const std::string& key) const {
    std::lock_guard<std::mutex> lock(mMutex);
    return FindKey(NormaliseKey(key)) != nullptr;
}

bool Settings::CreateKey(const std::string& key) {
    std::lock_guard<std::mutex> lock(mMutex);
    const std::string path = NormaliseKey(key);
    if (FindKey(path)) return true;
    std::vector<Key> previous = mKeys;
    EnsureKey(path);
    return Commit(std::move(previous));
}

bool Settings::DeleteKey(const std::string& key) {
    std::lock_guard<std::mutex> lock(mMutex);
    const std::string path = NormaliseKey(key);
    if (path.empty() || !FindKey(path)) return false;
    std::vector<Key> previous = mKeys;
    std::vector<Key> kept;
    for (Key& k : mKeys) {
        if (!IsWithin(k.path, path)) kept.push_back(std::move(k));
    }
    mKeys = std::move(kept);
    return Commit(std::move(previous));
}

bool Settings::DeleteValue(const std::string& key, const std::string& name) {
    std::lock_guard<std::mutex> lock(mMutex);
    Key* k = FindKey(NormaliseKey(key));
    if (!k) return false;
    for (size_t i = 0; i < k->values.size(); ++i) {
        if (SameName(k->values[i].name, name)) {
            std::vector<Key> previous = mKeys;
            k->values.erase(k->values.begin() + static_cast<std::ptrdiff_t>(i));
            return Commit(std::move(previous));
        }
    }
    return false;
}

std::string Settings::LastError() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mLastError;
}

}  // namespace plat
