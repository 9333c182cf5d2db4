#include "game/shell/ui/UiStyleRegistry.h"

#include "engine/util/IniFile.h"
#include "game/shell/ui/UiValueReader.h"

namespace Velm {

UiStyleRegistry_t& UiStyleRegistry_t::Instance() {
    static UiStyleRegistry_t registry;
    return registry;
}

bool UiStyleRegistry_t::Load(const std::string& fileName) {
    IniFile_t file;
    if (!file.Load(fileName, true)) {
        UiLog(fileName + ": style file could not be read; no styles registered");
        return false;
    }
    Load(file);
    return true;
}

void UiStyleRegistry_t::Parse(const char* text, size_t length, const std::string& origin) {
    IniFile_t file;
    file.Parse(text, length, true, origin);
    Load(file);
}

void UiStyleRegistry_t::Load(const IniFile_t& file) {
    for (auto it = file.SectionsBegin(); it != file.SectionsEnd(); ++it) {
        const std::string& name = it->first;
        UiValueReader in(it->second, file.GetOriginName(), name);
        const std::string type = in.String("Type");
        if (type.empty()) continue;
        UiStyleKind kind;
        if (!UiStyleKindFromType(type, &kind)) {
            in.Report("Type", type, "not a style kind; style skipped");
            continue;
        }
        std::unique_ptr<UiStyle_t> style = ReadUiStyle(it->second, kind, file.GetOriginName(), name);
        if (!style) {
            UiLog(in.Context() + ": style skipped");
            continue;
        }
        mStyles[name] = std::move(style);
    }
}

const UiStyle_t* UiStyleRegistry_t::FindStyle(const std::string& name) const {
    const auto it = mStyles.find(name);
    return it != mStyles.end() ? it->second.get() : nullptr;
}

}  // namespace Velm
