#pragma once

// Helpers shared by the font tests: a font host that serves images from memory and records
// the error boxes it is asked to show, and a descriptor writer.

#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graphics/FontHost.h"
#include "graphics/MemoryImage.h"
#include "graphics/SharedImage.h"
#include "tests/platform/TempDir.h"

namespace Velm {
namespace test {

class RecordingFontHost : public FontHost {
public:
    std::vector<std::string> popups;
    std::vector<std::string> requestedPaths;
    int loads = 0;

    ~RecordingFontHost() override {
        for (auto& entry : records) delete entry.second->image;
    }

    // Makes the image available under a path; the host owns it.
    void AddImage(const std::string& path, MemoryImage* image) {
        auto record = std::make_unique<SharedImage>();
        record->image = image;
        records[path] = std::move(record);
    }

    SharedImageHandle GetSharedImage(const std::string& path, const std::string&, bool* isNew) override {
        requestedPaths.push_back(path);
        auto it = records.find(path);
        if (it == records.end()) {
            *isNew = false;
            return SharedImageHandle();
        }
        *isNew = it->second->refCount == 0;
        ++loads;
        return SharedImageHandle(it->second.get());
    }

    void Popup(const std::string& text) override { popups.push_back(text); }

private:
    std::map<std::string, std::unique_ptr<SharedImage>> records;
};

inline std::string WriteText(const velmtest::TempDir& dir, const std::string& name, const std::string& text) {
    const std::string path = dir / name;
    std::ofstream out(path, std::ios::binary);
    out << text;
    return path;
}

}  // namespace test
}  // namespace Velm
