#pragma once

// A fresh folder under the system temporary folder for one test, removed with everything
// in it when the test ends.

#include <filesystem>
#include <random>
#include <string>

namespace velmtest {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        for (;;) {
            mPath = std::filesystem::temp_directory_path() / ("velm-test-" + std::to_string(rd()));
            std::error_code ec;
            if (std::filesystem::create_directory(mPath, ec)) break;
        }
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(mPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(mPath, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, without a trailing separator.
    std::string Path() const { return mPath.string(); }
    // A path inside the folder; `relative` may use either separator.
    std::string Path(const std::string& relative) const { return Path() + "/" + relative; }
    std::string operator/(const std::string& relative) const { return Path(relative); }

private:
    std::filesystem::path mPath;
};

}  // namespace velmtest
