#include "resources/pack/PakWriter.h"

#include <algorithm>
#include <climits>

#include "platform/Files.h"
#include "resources/pack/PakInterface.h"

namespace {

void PutU32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void SetError(std::string* error, const std::string& text) {
    if (error != nullptr) *error = text;
}

bool CollectFiles(const std::string& folder, const std::string& relative, std::vector<std::string>& out,
                  std::string* error) {
    std::vector<plat::DirEntry> listing;
    const std::string path = relative.empty() ? folder : folder + "/" + relative;
    if (!plat::ListDirectory(path, listing)) {
        SetError(error, "Cannot list folder '" + path + "'");
        return false;
    }
    for (const plat::DirEntry& entry : listing) {
        const std::string child = relative.empty() ? entry.name : relative + "/" + entry.name;
        if (entry.isDirectory) {
            if (!CollectFiles(folder, child, out, error)) return false;
        } else {
            out.push_back(child);
        }
    }
    return true;
}

}  // namespace

std::string PakEntryName(const std::string& relativePath) {
    std::string out;
    size_t i = 0;
    while (i < relativePath.size()) {
        size_t end = i;
        while (end < relativePath.size() && relativePath[end] != '/' && relativePath[end] != '\\') ++end;
        const std::string element = relativePath.substr(i, end - i);
        if (!element.empty() && element != ".") {
            if (!out.empty()) out += '\\';
            out += element;
        }
        i = end + 1;
    }
    return out;
}

bool BuildPak(const std::vector<PakWriterEntry>& entries, std::string& out, std::string* error) {
    std::string plain;
    PutU32(plain, kPakMagic);
    PutU32(plain, kPakVersion);
    uint64_t total = 0;
    for (const PakWriterEntry& entry : entries) {
        const std::string& name = entry.name;
        if (name.empty() || name.size() > static_cast<size_t>(kPakMaxName)) {
            SetError(error, "Bad entry name '" + entry.name + "'");
            return false;
        }
        total += entry.data.size() + name.size() + 14;
        if (total > static_cast<uint64_t>(INT32_MAX) - 64) {
            SetError(error, "Pack too large");
            return false;
        }
        plain += '\0';
        plain += static_cast<char>(name.size());
        plain += name;
        PutU32(plain, static_cast<uint32_t>(entry.data.size()));
        PutU32(plain, static_cast<uint32_t>(entry.time & 0xFFFFFFFFu));
        PutU32(plain, static_cast<uint32_t>(entry.time >> 32));
    }
    plain += static_cast<char>(0x80);
    for (const PakWriterEntry& entry : entries) plain += entry.data;
    for (char& c : plain) c = static_cast<char>(static_cast<uint8_t>(c) ^ kPakKey);
    out.swap(plain);
    return true;
}

bool WritePakFromFolder(const std::string& folder, const std::string& pakPath, std::string* error) {
    std::vector<std::string> files;
    if (!CollectFiles(folder, std::string(), files, error)) return false;
    std::sort(files.begin(), files.end());
    std::vector<PakWriterEntry> entries;
    for (const std::string& relative : files) {
        std::vector<uint8_t> bytes;
        const std::string path = folder + "/" + relative;
        if (!plat::ReadFile(path, bytes)) {
            SetError(error, "Cannot read '" + path + "'");
            return false;
        }
        PakWriterEntry entry;
        entry.name = PakEntryName(relative);
        entry.data.assign(bytes.begin(), bytes.end());
        const int64_t seconds = plat::FileModifiedTime(path);
        entry.time = seconds > 0 ? static_cast<uint64_t>(seconds + 11644473600LL) * 10000000ULL : 0;
        entries.push_back(std::move(entry));
    }
    std::string pak;
    if (!BuildPak(entries, pak, error)) return false;
    return plat::WriteFileAtomic(pakPath, pak.data(), pak.size(), error);
}
