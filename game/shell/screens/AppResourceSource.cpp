#include "game/shell/screens/AppResourceSource.h"

#include "app/VelmAppBase.h"
#include "graphics/MemoryImage.h"
#include "graphics/SharedImage.h"
#include "resources/ResourceManager.h"

namespace Velm {

bool AppResourceSource::FetchFont(const std::string& id, Font*& font) {
    try {
        font = mManager.GetFontThrow(id);
        return font != nullptr;
    } catch (const ResourceManagerException&) {
        return false;
    }
}

bool AppResourceSource::FetchImage(const std::string& id, Image*& image) {
    try {
        SharedImageHandle handle = mManager.GetImageThrow(id);
        image = handle.GetImage();
        handle.Release();
        return image != nullptr;
    } catch (const ResourceManagerException&) {
        return false;
    }
}

bool AppResourceSource::FetchSound(const std::string& id, int& sound) {
    try {
        sound = mManager.GetSoundThrow(id);
        return true;
    } catch (const ResourceManagerException&) {
        return false;
    }
}

std::string AppStringTable::GetString(const std::string& id) { return mApp.GetString(id); }

bool AppStringTable::LoadProperties(const std::string& file) { return mApp.LoadProperties(file, true, false); }

}  // namespace Velm
