#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat {
class Settings;
}

namespace Velm {

// What the 3D layer and the video-card test need from the application object: the window's
// minimised state, demo playback and recording of the test's outcome, the desktop, and the
// registry values under the application's key (value names such as "Test3D\Version"). The
// application overrides what it has; the base keeps the registry in a plat::Settings store
// under `key` (for example "SOFTWARE\Company\Game") and has no demo and no minimised window.
// Main thread only.
class D3DHost {
public:
    D3DHost() = default;
    D3DHost(plat::Settings* settings, std::string key) : mSettings(settings), mKey(std::move(key)) {}
    virtual ~D3DHost();

    virtual bool IsMinimized();
    virtual bool IsPlayingDemo();
    // Recorded when recording a demo, replaced by the demo's value when playing one.
    virtual void DemoSyncString(std::string* text);
    virtual void DemoSyncBool(bool* value);
    // The desktop's size and depth, for the video-memory estimate.
    virtual void GetDesktop(int* width, int* height, int* bitsPerPixel);

    virtual bool RegistryKeyExists(const std::string& subKey);
    virtual bool RegistryCreateKey(const std::string& subKey);
    virtual bool RegistryWriteString(const std::string& name, const std::string& text);
    virtual bool RegistryWriteInteger(const std::string& name, uint32_t value);
    virtual bool RegistryWriteData(const std::string& name, const std::vector<uint8_t>& data);
    virtual bool RegistryReadString(const std::string& name, std::string* text);
    virtual bool RegistryReadInteger(const std::string& name, uint32_t* value);
    virtual bool RegistryReadData(const std::string& name, std::vector<uint8_t>* data);

private:
    bool Split(const std::string& name, std::string* key, std::string* value) const;

    plat::Settings* mSettings = nullptr;
    std::string mKey;
};

}  // namespace Velm
