#pragma once

#include <string>

#include "game/shell/ResourceIds.h"
#include "game/shell/TextTable.h"

namespace Velm {

class ResourceManager;
class VelmAppBase;

// The bind steps' view of the resource manager: a lookup the manager does not have is a
// false answer, not an exception. A picture is taken out of its shared handle; the manager's
// record keeps it alive until its group is released.
class AppResourceSource : public ResourceSource {
public:
    explicit AppResourceSource(ResourceManager& manager) : mManager(manager) {}

    bool FetchFont(const std::string& id, Font*& font) override;
    bool FetchImage(const std::string& id, Image*& image) override;
    bool FetchSound(const std::string& id, int& sound) override;

private:
    ResourceManager& mManager;
};

// The text table's fallback: the framework's string table and properties files.
class AppStringTable : public StringTableSource {
public:
    explicit AppStringTable(VelmAppBase& app) : mApp(app) {}

    std::string GetString(const std::string& id) override;
    bool LoadProperties(const std::string& file) override;

private:
    VelmAppBase& mApp;
};

}  // namespace Velm
