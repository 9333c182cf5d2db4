#include "tools/mkcontent/TextFiles.h"

#include <filesystem>
#include <fstream>

namespace mkcontent {

bool WriteText(const std::string& root, const std::string& relativePath, const std::string& text, bool crlf) {
    const std::filesystem::path path = std::filesystem::path(root) / relativePath;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (crlf && text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
        out.push_back(text[i]);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

bool NeedsCrLf(const std::string& relativePath) {
    if (relativePath.rfind("fonts/", 0) == 0) return false;  // font descriptors: their own parser
    const std::string extension = std::filesystem::path(relativePath).extension().string();
    for (const char* e : {".txt", ".set", ".anim", ".spr", ".ini", ".lay"})
        if (extension == e) return true;
    return false;
}

}  // namespace mkcontent
