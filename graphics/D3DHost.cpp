#include "graphics/D3DHost.h"

#include "platform/Settings.h"

namespace Velm {

D3DHost::~D3DHost() = default;

bool D3DHost::IsMinimized() { return false; }
bool D3DHost::IsPlayingDemo() { return false; }
void D3DHost::DemoSyncString(std::string*) {}
void D3DHost::DemoSyncBool(bool*) {}

void D3DHost::GetDesktop(int* width, int* height, int* bitsPerPixel) {
    *width = 1024;
    *height = 768;
    *bitsPerPixel = 32;
}

bool D3DHost::Split(const std::string& name, std::string* key, std::string* value) const {
    if (mSettings == nullptr) return false;
    const size_t slash = name.rfind('\\');
    *key = mKey;
    if (slash == std::string::npos) {
        *value = name;
    } else {
        *key += "\\" + name.substr(0, slash);
        *value = name.substr(slash + 1);
    }
    return true;
}

bool D3DHost::RegistryKeyExists(const std::string& subKey) {
    return mSettings != nullptr && mSettings->KeyExists(mKey + "\\" + subKey);
}

bool D3DHost::RegistryCreateKey(const std::string& subKey) {
    return mSettings != nullptr && mSettings->CreateKey(mKey + "\\" + subKey);
}

bool D3DHost::RegistryWriteString(const std::string& name, const std::string& text) {
    std::string key, value;
    return Split(name, &key, &value) && mSettings->SetString(key, value, text);
}

bool D3DHost::RegistryWriteInteger(const std::string& name, uint32_t number) {
    std::string key, value;
    return Split(name, &key, &value) && mSettings->SetDword(key, value, number);
}

bool D3DHost::RegistryWriteData(const std::string& name, const std::vector<uint8_t>& data) {
    std::string key, value;
    return Split(name, &key, &value) && mSettings->SetBinary(key, value, data);
}

bool D3DHost::RegistryReadString(const std::string& name, std::string* text) {
    std::string key, value;
    return Split(name, &key, &value) && mSettings->GetString(key, value, text);
}

bool D3DHost::RegistryReadInteger(const std::string& name, uint32_t* number) {
    std::string key, value;
    return Split(name, &key, &value) && mSettings->GetDword(key, value, number);
}

bool D3DHost::RegistryReadData(const std::string& name, std::vector<uint8_t>* data) {
    std::string key, value;
    return Split(name, &key, &value) && mSettings->GetBinary(key, value, data);
}

}  // namespace Velm
