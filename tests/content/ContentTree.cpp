#include "tests/content/ContentTree.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace contenttest {

bool IsLeftByARun(const std::string& path) {
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower.rfind("_screenshots/", 0) == 0 || lower.rfind("_dump/", 0) == 0) return true;
    if (lower.find('/') != std::string::npos) return false;
    const std::string extension = std::filesystem::path(lower).extension().string();
    return lower == "crash.txt" || lower == "screrror.txt" || lower == "mem_leaks.txt" || extension == ".dmo" ||
           (extension == ".dat" && lower != "vhwb.dat");
}

std::vector<std::string> ListFiles() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(".")) {
        if (!entry.is_regular_file()) continue;
        std::string file = std::filesystem::relative(entry.path(), ".").generic_string();
        if (!IsLeftByARun(file)) files.push_back(std::move(file));
    }
    return files;
}

bool ReadBytes(const std::string& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream s;
    s << in.rdbuf();
    *bytes = s.str();
    return true;
}

bool LoadIni(const std::string& path, IniFile_t* ini) {
    std::string bytes;
    if (!ReadBytes(path, &bytes)) return false;
    ini->Parse(bytes.data(), bytes.size(), true, path);
    return true;
}

bool PictureExists(const std::string& name) {
    for (const char* extension : {".png", ".jpg", ".tga", ".gif"})
        if (std::filesystem::is_regular_file(name + extension)) return true;
    return false;
}

namespace {

const std::map<std::string, std::string>& Texts() {
    static const std::map<std::string, std::string> texts = [] {
        std::map<std::string, std::string> out;
        IniFile_t ini;
        if (!LoadIni("termins.txt", &ini)) return out;
        for (auto s = ini.SectionsBegin(); s != ini.SectionsEnd(); ++s)
            for (auto k = s->second.KeysBegin(); k != s->second.KeysEnd(); ++k) out[k->first] = k->second.value;
        return out;
    }();
    return texts;
}

}  // namespace

const std::set<std::string>& TextKeys() {
    static const std::set<std::string> keys = [] {
        std::set<std::string> out;
        for (const auto& entry : Texts()) out.insert(entry.first);
        return out;
    }();
    return keys;
}

std::string TextOf(const std::string& key) {
    const auto it = Texts().find(key);
    return it == Texts().end() ? std::string() : it->second;
}

}  // namespace contenttest
