// Settings under the product's key of the user's settings store, with the
// demo branches: a recorded run stores every answer, a played run takes the
// answers from the demo instead of the store.

#include <algorithm>
#include <cstring>

#include "app/VelmAppBase.h"
#include "platform/Settings.h"
#include "resources/base/Paths.h"

namespace Velm {

namespace {

// Demo command numbers of the registry operations.
const int kDemoCmdRegistryRead = 11;
const int kDemoCmdRegistryWrite = 12;
const int kDemoCmdRegistryEraseKey = 13;

}  // namespace

plat::Settings& VelmAppBase::GetSettingsStore() { return mSettings != nullptr ? *mSettings : plat::Settings::User(); }

void VelmAppBase::SplitRegistryName(const std::string& name, std::string* key, std::string* valueName) {
    // A name with a path ("Dialogs\Jump") names a value in a sub-key of the
    // product's key.
    *key = "SOFTWARE\\" + StripTrailingSlash(mRegKey);
    const size_t slash = name.rfind('\\');
    if (slash == std::string::npos) {
        *valueName = name;
    } else {
        *key += "\\" + name.substr(0, slash);
        *valueName = name.substr(slash + 1);
    }
}

void VelmAppBase::RecordRegistryResult(int command, bool result) {
    if (!IsRecordingDemoHere()) return;
    WriteDemoCommand(command);
    mDemoBuffer.WriteNumBits(result ? 1 : 0, 1);
}

namespace {

// The recorded result bit of a played registry write or erase; a closed or ended demo
// answers success.
bool PlayedResult(VelmAppBase* app, int command) {
    if (app->mDemoIsClosed || !app->TakeDemoDataCommand(command)) return true;
    return app->mDemoBuffer.ReadNumBits(1, false) != 0;
}

}  // namespace

bool VelmAppBase::RegistryWrite(const std::string& name, uint32_t type, const uint8_t* data, uint32_t length) {
    if (mRegKey.empty()) return false;
    if (IsPlayingDemoHere()) return PlayedResult(this, kDemoCmdRegistryWrite);
    std::string key;
    std::string valueName;
    SplitRegistryName(name, &key, &valueName);
    const bool ok = GetSettingsStore().SetValue(key, valueName, type, data, length);
    RecordRegistryResult(kDemoCmdRegistryWrite, ok);
    return ok;
}

bool VelmAppBase::RegistryWriteString(const std::string& name, const std::string& text) {
    return RegistryWrite(name, REG_SZ, reinterpret_cast<const uint8_t*>(text.data()),
                         static_cast<uint32_t>(text.size()));
}

bool VelmAppBase::RegistryWriteInteger(const std::string& name, int value) {
    uint8_t bytes[4];
    const uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(v >> (8 * i));
    return RegistryWrite(name, REG_DWORD, bytes, 4);
}

bool VelmAppBase::RegistryWriteBoolean(const std::string& name, bool value) {
    return RegistryWriteInteger(name, value ? 1 : 0);
}

bool VelmAppBase::RegistryWriteData(const std::string& name, const uint8_t* data, uint32_t length) {
    return RegistryWrite(name, REG_BINARY, data, length);
}

bool VelmAppBase::RegistryRead(const std::string& name, uint32_t* type, uint8_t* data, uint32_t* length) {
    if (mRegKey.empty()) return false;
    const uint32_t capacity = *length;
    if (IsPlayingDemoHere()) {
        if (mDemoIsClosed || !TakeDemoDataCommand(kDemoCmdRegistryRead)) return false;
        if (mDemoBuffer.ReadNumBits(1, false) == 0) return false;
        const uint32_t recordedType = static_cast<uint32_t>(mDemoBuffer.ReadLong());
        std::vector<uint8_t> bytes;
        if (!ReadDemoBytes(&bytes)) return false;
        // The recorded value must fit the caller's buffer; a larger one fails the read.
        if (bytes.size() > capacity) return false;
        *type = recordedType;
        *length = static_cast<uint32_t>(bytes.size());
        if (data != nullptr && !bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
        return true;
    }

    std::string key;
    std::string valueName;
    SplitRegistryName(name, &key, &valueName);
    std::vector<uint8_t> stored;
    uint32_t storedType = 0;
    bool ok = GetSettingsStore().GetValue(key, valueName, &storedType, &stored) && stored.size() <= capacity;
    if (ok) {
        *type = storedType;
        *length = static_cast<uint32_t>(stored.size());
        if (data != nullptr && !stored.empty()) std::memcpy(data, stored.data(), stored.size());
    }
    if (IsRecordingDemoHere()) {
        WriteDemoCommand(kDemoCmdRegistryRead);
        mDemoBuffer.WriteNumBits(ok ? 1 : 0, 1);
        if (ok) {
            mDemoBuffer.WriteLong(static_cast<int>(*type));
            mDemoBuffer.WriteLong(static_cast<int>(*length));
            if (*length > 0) mDemoBuffer.WriteBytes(data, static_cast<int>(*length));
        }
    }
    return ok;
}

bool VelmAppBase::RegistryReadString(const std::string& name, std::string* text) {
    uint8_t buffer[1024];
    uint32_t length = sizeof(buffer);
    uint32_t type = 0;
    if (!RegistryRead(name, &type, buffer, &length) || type != REG_SZ) return false;
    *text = std::string(reinterpret_cast<const char*>(buffer), length);
    const size_t nul = text->find('\0');
    if (nul != std::string::npos) text->resize(nul);
    return true;
}

bool VelmAppBase::RegistryReadInteger(const std::string& name, int* value) {
    uint8_t bytes[4] = {0, 0, 0, 0};
    uint32_t length = 4;
    uint32_t type = 0;
    if (!RegistryRead(name, &type, bytes, &length) || type != REG_DWORD) return false;
    *value = static_cast<int>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24));
    return true;
}

bool VelmAppBase::RegistryReadBoolean(const std::string& name, bool* value) {
    int v = 0;
    if (!RegistryReadInteger(name, &v)) return false;
    *value = v != 0;
    return true;
}

bool VelmAppBase::RegistryReadData(const std::string& name, uint8_t* data, uint32_t* length) {
    uint32_t type = 0;
    return RegistryRead(name, &type, data, length) && type == REG_BINARY;
}

bool VelmAppBase::RegistryEraseKey(const std::string& subKeyName) {
    if (mRegKey.empty()) return false;
    if (IsPlayingDemoHere()) return PlayedResult(this, kDemoCmdRegistryEraseKey);
    const std::string key = "SOFTWARE\\" + StripTrailingSlash(mRegKey) + "\\" + subKeyName;
    const bool ok = GetSettingsStore().DeleteKey(key);
    RecordRegistryResult(kDemoCmdRegistryEraseKey, ok);
    return ok;
}

void VelmAppBase::RegistryEraseValue(const std::string& name) {
    if (mRegKey.empty()) return;
    std::string key;
    std::string valueName;
    SplitRegistryName(name, &key, &valueName);
    GetSettingsStore().DeleteValue(key, valueName);
}

void VelmAppBase::ReadFromRegistry() {
    mReadFromRegistry = true;
    mRegKey = GetStringWithDefault("RegistryKey", mRegKey);
    if (mRegKey.empty()) return;

    int value = 0;
    if (RegistryReadInteger("MusicVolume", &value)) mMusicVolume = value * 0.01;
    if (RegistryReadInteger("SfxVolume", &value)) mSfxVolume = value * 0.01;
    if (RegistryReadInteger("Muted", &value)) mMuteCount = value;
    if (RegistryReadInteger("ScreenMode", &value)) mIsWindowed = value == 0;
    RegistryReadInteger("PreferredX", &mPreferredX);
    RegistryReadInteger("PreferredY", &mPreferredY);
    if (RegistryReadInteger("CustomCursors", &value)) mCustomCursorsEnabled = value != 0;
    EnforceCursor();
    RegistryReadBoolean("WaitForVSync", &mWaitForVSync);
    if (RegistryReadInteger("InProgress", &value)) mLastShutdownWasGraceful = value == 0;

    if (!mIsScreenSaver) RegistryWriteInteger("InProgress", 1);
}

void VelmAppBase::WriteToRegistry() {
    RegistryWriteInteger("MusicVolume", static_cast<int>(mMusicVolume * 100));
    RegistryWriteInteger("SfxVolume", static_cast<int>(mSfxVolume * 100));
    RegistryWriteInteger("Muted", mMuteCount - mAutoMuteCount > 0 ? 1 : 0);
    RegistryWriteInteger("ScreenMode", mIsWindowed ? 0 : 1);
    RegistryWriteInteger("PreferredX", mPreferredX);
    RegistryWriteInteger("PreferredY", mPreferredY);
    RegistryWriteInteger("CustomCursors", mCustomCursorsEnabled ? 1 : 0);
    RegistryWriteInteger("InProgress", 0);
    RegistryWriteBoolean("WaitForVSync", mWaitForVSync);
}

}  // namespace Velm
