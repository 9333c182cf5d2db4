#include "resources/pack/PakInterface.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <vector>

#include "platform/Files.h"
#include "platform/MappedFile.h"
#include "resources/pack/PakFile.h"

namespace {

// The process's shared pack interface: the first PakInterface made stores
// itself here and every file function reads it on each call.
std::atomic<PakInterfaceBase*> gSharedPak{nullptr};

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

std::string UpperCased(const std::string& text) {
    std::string out(text);
    for (char& c : out) c = UpperAscii(c);
    return out;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool IsReadMode(const char* mode) {
    std::string lower(mode);
    for (char& c : lower) c = LowerAscii(c);
    return lower == "r" || lower == "rb" || lower == "rt";
}

// Copies count bytes out of a mapping, undoing the XOR with kPakKey; eight
// bytes at a time, which keeps a large read close to a plain copy.
void Unscramble(uint8_t* dest, const uint8_t* source, size_t count) {
    const uint64_t key8 = 0x0101010101010101ULL * kPakKey;
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        uint64_t word;
        std::memcpy(&word, source + i, 8);
        word ^= key8;
        std::memcpy(dest + i, &word, 8);
    }
    for (; i < count; ++i) dest[i] = source[i] ^ kPakKey;
}

// Reads the unscrambled bytes of a mapped pack file in order.
class PakReader {
public:
    PakReader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    bool Read(void* out, size_t count) {
        if (count > mSize - mPos) return false;
        Unscramble(static_cast<uint8_t*>(out), mData + mPos, count);
        mPos += count;
        return true;
    }
    bool ReadU8(uint8_t& value) { return Read(&value, 1); }
    bool ReadU32(uint32_t& value) {
        uint8_t b[4];
        if (!Read(b, 4)) return false;
        value = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
        return true;
    }
    size_t Position() const { return mPos; }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPos = 0;
};

// Windows wildcard match of one file name, letter case ignored: '*' is any
// run, '?' one character.
bool WildcardMatch(const char* pattern, const char* name) {
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name != '\0') {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || (*pattern != '\0' && UpperAscii(*pattern) == UpperAscii(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern != nullptr) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

uint64_t UnixToFileTime(int64_t seconds) {
    const int64_t kEpochDifference = 11644473600LL;  // 1601-01-01 to 1970-01-01
    if (seconds <= -kEpochDifference) return 0;
    return static_cast<uint64_t>(seconds + kEpochDifference) * 10000000ULL;
}

}  // namespace

PakInterfaceBase* GetSharedPakInterface() { return gSharedPak.load(std::memory_order_acquire); }

std::string NormalizePakPath(const std::string& name) {
    size_t i = 0;
    // An absolute name inside the current folder becomes relative.
    const bool drive = name.size() > 1 && name[1] == ':';
    const bool rooted = !name.empty() && name[0] == '/';
    if (drive || rooted) {
        std::string folder = plat::CurrentDirectory();
        if (!folder.empty() && !IsSeparator(folder.back())) folder += '/';
        if (!folder.empty() && name.size() >= folder.size()) {
            bool same = true;
            for (size_t k = 0; k < folder.size() && same; ++k) {
                const char a = name[k];
                const char b = folder[k];
                same = (IsSeparator(a) && IsSeparator(b)) || UpperAscii(a) == UpperAscii(b);
            }
            if (same) i = folder.size();
        }
    }

    std::string out;
    out.reserve(name.size() - i);
    bool afterSeparator = false;
    for (; i < name.size(); ++i) {
        const char c = name[i];
        if (c == '\0') break;
        if (IsSeparator(c)) {
            if (!afterSeparator) out += '\\';
            afterSeparator = true;
        } else if (c == '.' && afterSeparator && i + 1 < name.size() && name[i + 1] == '.') {
            // "x\.." steps back over x; the separator behind ".." is not
            // written again because the flag stays set.
            if (!out.empty()) out.pop_back();
            while (!out.empty() && out.back() != '\\') out.pop_back();
            ++i;
        } else {
            out += UpperAscii(c);
            afterSeparator = false;
        }
    }
    return out;
}

// --- PakInterface ---------------------------------------------------------

PakInterface::PakInterface() {
    PakInterfaceBase* expected = nullptr;
    gSharedPak.compare_exchange_strong(expected, this, std::memory_order_acq_rel);
}

PakInterface::~PakInterface() {
    PakInterfaceBase* expected = this;
    gSharedPak.compare_exchange_strong(expected, nullptr, std::memory_order_acq_rel);
}

bool PakInterface::AddPakFile(const std::string& path) {
    std::unique_ptr<plat::MappedFile> mapping(new plat::MappedFile);
    if (!mapping->Open(path)) return false;
    const size_t fileSize = mapping->Size();
    if (fileSize > static_cast<size_t>(INT32_MAX)) return false;

    // The directory is read into a list first and registered only when the
    // whole pack checks out, so a broken pack leaves nothing behind.
    struct Entry {
        std::string name;
        uint64_t time;
        int64_t offset;
        int32_t size;
    };
    std::vector<Entry> entries;
    PakReader reader(mapping->Data(), fileSize);
    uint32_t magic = 0;
    uint32_t version = 0;
    if (!reader.ReadU32(magic) || magic != kPakMagic) return false;
    if (!reader.ReadU32(version) || version != kPakVersion) return false;
    int64_t running = 0;
    for (;;) {
        uint8_t flags = 0;
        if (!reader.ReadU8(flags)) return false;  // the directory ends before its end flag
        if (flags & 0x80) break;
        uint8_t nameLength = 0;
        char name[256];
        uint32_t size = 0;
        uint32_t timeLow = 0;
        uint32_t timeHigh = 0;
        if (!reader.ReadU8(nameLength) || !reader.Read(name, nameLength) || !reader.ReadU32(size) ||
            !reader.ReadU32(timeLow) || !reader.ReadU32(timeHigh)) {
            return false;
        }
        if (size > static_cast<uint32_t>(INT32_MAX)) return false;  // a negative size
        entries.push_back({std::string(name, nameLength), uint64_t(timeHigh) << 32 | timeLow, running,
                           static_cast<int32_t>(size)});
        running += size;
    }
    const int64_t dataStart = static_cast<int64_t>(reader.Position());
    if (dataStart + running > static_cast<int64_t>(fileSize)) return false;  // contents cut short

    mCollections.emplace_back();
    PakCollection& collection = mCollections.back();
    collection.data = mapping->Data();
    collection.size = static_cast<int64_t>(fileSize);
    collection.mapping = std::move(mapping);

    PakRecord& self = mRecords[UpperCased(path)];
    self.owner = &collection;
    self.name = path;
    self.time = 0;
    self.start = 0;
    self.size = static_cast<int32_t>(fileSize);

    for (const Entry& entry : entries) {
        PakRecord& record = mRecords[UpperCased(entry.name)];
        record.owner = &collection;
        record.name = entry.name;
        record.time = entry.time;
        record.start = static_cast<int32_t>(dataStart + entry.offset);
        record.size = entry.size;
    }
    return true;
}

const PakRecord* PakInterface::FindRecord(const std::string& key) const {
    auto it = mRecords.find(key);
    return it != mRecords.end() ? &it->second : nullptr;
}

PakFileHandle* PakInterface::FOpen(const char* name, const char* mode) {
    if (name == nullptr || mode == nullptr) return nullptr;
    if (IsReadMode(mode) && std::strlen(name) <= static_cast<size_t>(kPakMaxName)) {
        auto it = mRecords.find(NormalizePakPath(name));
        if (it != mRecords.end()) {
            PakFileHandle* file = new PakFileHandle;
            file->record = &it->second;
            return file;
        }
    }
    FILE* stream = plat::OpenFile(name, mode);
    if (stream == nullptr) return nullptr;
    PakFileHandle* file = new PakFileHandle;
    file->stream = stream;
    return file;
}

int PakInterface::FClose(PakFileHandle* file) {
    if (file == nullptr) return EOF;
    if (file->record == nullptr && file->stream != nullptr) std::fclose(file->stream);
    delete file;
    return 0;
}

int PakInterface::FSeek(PakFileHandle* file, long offset, int origin) {
    if (file == nullptr) return -1;
    if (file->record == nullptr) return std::fseek(file->stream, offset, origin);
    const int64_t size = file->record->size;
    int64_t position = file->position;
    switch (origin) {
        case SEEK_SET: position = offset; break;
        case SEEK_CUR: position += offset; break;
        case SEEK_END: position = size + offset; break;
        default: break;
    }
    if (std::min(position, size) <= 0)
        position = 0;
    else if (position >= size)
        position = size;
    file->position = static_cast<int32_t>(position);
    return 0;
}

long PakInterface::FTell(PakFileHandle* file) {
    if (file == nullptr) return -1;
    if (file->record == nullptr) return std::ftell(file->stream);
    return file->position;
}

int PakInterface::FRead(void* buffer, int elementSize, int count, PakFileHandle* file) {
    if (file == nullptr || buffer == nullptr || elementSize <= 0 || count <= 0) return 0;
    if (file->record == nullptr) {
        return static_cast<int>(
                std::fread(buffer, static_cast<size_t>(elementSize), static_cast<size_t>(count), file->stream));
    }
    const PakRecord& record = *file->record;
    int64_t n = static_cast<int64_t>(elementSize) * count;
    const int64_t left = static_cast<int64_t>(record.size) - file->position;
    if (n > left) n = left;
    if (n <= 0) return 0;
    Unscramble(static_cast<uint8_t*>(buffer), record.owner->data + record.start + file->position,
               static_cast<size_t>(n));
    file->position += static_cast<int32_t>(n);
    return static_cast<int>(n / elementSize);
}

int PakInterface::FGetC(PakFileHandle* file) {
    if (file == nullptr) return EOF;
    if (file->record == nullptr) return std::fgetc(file->stream);
    const PakRecord& record = *file->record;
    const uint8_t* source = record.owner->data + record.start;
    while (file->position < record.size) {
        const int c = source[file->position++] ^ kPakKey;
        if (c != '\r') return c;
    }
    return EOF;
}

int PakInterface::UnGetC(int c, PakFileHandle* file) {
    if (file == nullptr) return EOF;
    if (file->record == nullptr) return std::ungetc(c, file->stream);
    if (c == EOF) return EOF;  // nothing was read: stepping back would repeat a byte
    if (file->position > 0) --file->position;
    return c;
}

char* PakInterface::FGetS(char* buffer, int length, PakFileHandle* file) {
    if (file == nullptr || buffer == nullptr || length <= 0) return nullptr;
    if (file->record == nullptr) return std::fgets(buffer, length, file->stream);
    const PakRecord& record = *file->record;
    const uint8_t* source = record.owner->data + record.start;
    int stored = 0;
    while (stored < length - 1 && file->position < record.size) {
        const char c = static_cast<char>(source[file->position++] ^ kPakKey);
        if (c == '\r') continue;
        buffer[stored++] = c;
        if (c == '\n') break;
    }
    if (stored == 0 && file->position >= record.size) return nullptr;
    buffer[stored] = '\0';
    return buffer;
}

int PakInterface::FEof(PakFileHandle* file) {
    if (file == nullptr) return 1;
    if (file->record == nullptr) return std::feof(file->stream);
    return file->position >= file->record->size ? 1 : 0;
}

// --- finding files --------------------------------------------------------

PakFindData* PakInterface::FindFirstFile(const char* pattern, PakFindResult* result) {
    if (pattern == nullptr || result == nullptr) return nullptr;
    PakFindData* find = new PakFindData;
    find->pattern = NormalizePakPath(pattern);
    if (FindInPak(find, result)) return find;
    find->onDisk = true;
    if (NextDiskMatch(find, result)) return find;
    delete find;
    return nullptr;
}

bool PakInterface::FindNextFile(PakFindData* find, PakFindResult* result) {
    if (find == nullptr || result == nullptr) return false;
    if (!find->onDisk) {
        if (FindInPak(find, result)) return true;
        find->onDisk = true;
    }
    return NextDiskMatch(find, result);
}

bool PakInterface::FindClose(PakFindData* find) {
    delete find;
    return true;
}

bool PakInterface::FindInPak(PakFindData* find, PakFindResult* result) {
    // The position is kept by a flag rather than by lastKey being empty: a
    // stored empty name would otherwise restart the search on every call.
    auto it = mRecords.begin();
    if (find->started) {
        it = mRecords.find(find->lastKey);
        if (it == mRecords.end()) return false;
        ++it;
    }
    const size_t star = find->pattern.find('*');
    if (star == std::string::npos) return false;
    const std::string& pattern = find->pattern;
    const std::string rest = pattern.substr(star + 1);
    for (; it != mRecords.end(); ++it) {
        const std::string& key = it->first;
        if (key.compare(0, star, pattern, 0, star) != 0 || key.size() < star) continue;
        const bool match = rest.empty() || rest == ".*" ||
                           (key.size() >= rest.size() && key.compare(key.size() - rest.size(), rest.size(), rest) == 0);
        if (!match) continue;
        const PakRecord& record = it->second;
        const size_t tail = std::min(rest.size(), key.size());
        result->attributes = key.find('\\', key.size() - tail) != std::string::npos ? PakFindResult::kDirectory : 0;
        const size_t slash = record.name.rfind('\\');
        result->fileName = slash == std::string::npos ? record.name : record.name.substr(slash + 1);
        result->time = record.time;
        result->size = static_cast<uint32_t>(record.size);
        find->lastKey = key;
        find->started = true;
        return true;
    }
    return false;
}

bool PakInterface::NextDiskMatch(PakFindData* find, PakFindResult* result) {
    // The disk search lists the pattern's folder once, on its first call.
    if (!find->diskListed) {
        find->diskListed = true;
        const size_t slash = find->pattern.rfind('\\');
        const std::string folder = slash == std::string::npos ? std::string() : find->pattern.substr(0, slash + 1);
        const std::string filePattern = slash == std::string::npos ? find->pattern : find->pattern.substr(slash + 1);
        std::vector<plat::DirEntry> listing;
        if (plat::ListDirectory(folder.empty() ? std::string(".") : folder, listing)) {
            std::sort(listing.begin(), listing.end(),
                      [](const plat::DirEntry& a, const plat::DirEntry& b) { return a.name < b.name; });
            for (const plat::DirEntry& entry : listing) {
                if (!WildcardMatch(filePattern.c_str(), entry.name.c_str())) continue;
                PakFindResult match;
                const std::string full = folder + entry.name;
                match.attributes = entry.isDirectory ? PakFindResult::kDirectory : 0;
                match.fileName = entry.name;
                match.time = UnixToFileTime(plat::FileModifiedTime(full));
                const int64_t size = entry.isDirectory ? 0 : plat::FileSize(full);
                match.size = size > 0 ? static_cast<uint32_t>(std::min<int64_t>(size, UINT32_MAX)) : 0;
                find->diskMatches.push_back(match);
            }
        }
    }
    if (find->diskMatches.empty()) return false;
    *result = find->diskMatches.front();
    find->diskMatches.pop_front();
    return true;
}
