#include "graphics/ImageHost.h"

#include <atomic>

namespace Velm {

namespace {

std::atomic<ImageHost*> gHost{nullptr};

struct SaturationTable {
    uint8_t entries[512];
    SaturationTable() {
        for (int i = 0; i < 512; ++i) entries[i] = static_cast<uint8_t>(i < 256 ? i : 255);
    }
};

}  // namespace

ImageHost::~ImageHost() = default;
void ImageHost::AddMemoryImage(MemoryImage*) {}
void ImageHost::RemoveMemoryImage(MemoryImage*) {}
void ImageHost::Remove3DData(MemoryImage*) {}
bool ImageHost::Is3DAccelerated() { return false; }
const NativePixelFormat* ImageHost::GetDisplayPixelFormat() { return nullptr; }
bool ImageHost::ReadBackTexture(MemoryImage*, uint32_t*) { return false; }
void ImageHost::SetPurgeNeeded() {}

ImageHost* GetImageHost() { return gHost.load(); }
void SetImageHost(ImageHost* host) { gHost.store(host); }

const uint8_t* GetAdditiveSaturationTable() {
    static const SaturationTable table;
    return table.entries;
}

}  // namespace Velm
