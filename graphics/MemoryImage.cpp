#include "graphics/MemoryImage.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/ImageHost.h"
#include "graphics/PixelRows.h"

namespace Velm {

namespace {

// Fills per-pixel run bytes: each pixel holds how many pixels from it to the end of its run of
// equal classes (itself included), capped at 255. Runs stop at row ends.
template <typename ClassOf>
void BuildRunLengths(uint8_t* out, int width, int height, ClassOf classOf) {
    for (int y = 0; y < height; ++y) {
        uint8_t* row = out + static_cast<size_t>(y) * width;
        const size_t base = static_cast<size_t>(y) * width;
        int runEnd = width;  // one past the last pixel of the current run
        int x = width - 1;
        while (x >= 0) {
            const int cls = classOf(base + x);
            int start = x;
            while (start > 0 && classOf(base + start - 1) == cls) --start;
            for (int i = start; i < runEnd; ++i) {
                const int left = runEnd - i;
                row[i] = static_cast<uint8_t>(left > 255 ? 255 : left);
            }
            runEnd = start;
            x = start - 1;
        }
    }
}

int AlphaClass(uint32_t argb) {
    const uint32_t a = argb >> 24;
    return a == 0 ? 0 : (a == 255 ? 1 : 2);
}

}  // namespace

MemoryImage::MemoryImage() : MemoryImage(GetImageHost()) {}

MemoryImage::MemoryImage(ImageHost* host) : app(host) {
    if (app) app->AddMemoryImage(this);
}

MemoryImage::MemoryImage(const MemoryImage& other)
        : Image(other),
          changeCount(other.changeCount),
          flags(other.flags),
          alphaFlagsForced(other.alphaFlagsForced),
          hasTrans(other.hasTrans),
          hasAlpha(other.hasAlpha),
          isVolatile(other.isVolatile),
          purgeBits(other.purgeBits),
          wantPalette(other.wantPalette),
          bitsChanged(other.bitsChanged),
          app(other.app),
          nativeFormat(other.nativeFormat) {
    MemoryImage& source = const_cast<MemoryImage&>(other);
    const size_t pixelCount = static_cast<size_t>(width) * height;
    const bool palettised = source.palette != nullptr && source.colorIndices != nullptr;
    if (source.bits != nullptr) {
        bits = AllocateBits(static_cast<int>(pixelCount));
        std::memcpy(bits, source.bits, pixelCount * 4);
    } else if (!palettised && pixelCount > 0) {
        // The pixels exist only as native data or a texture: read them back, copy them and
        // leave the source as it was.
        const uint32_t* rebuilt = source.GetBits();
        bits = AllocateBits(static_cast<int>(pixelCount));
        std::memcpy(bits, rebuilt, pixelCount * 4);
        delete[] source.bits;
        source.bits = nullptr;
    }
    if (palettised) {
        palette = new uint32_t[256];
        std::memcpy(palette, source.palette, 256 * 4);
        colorIndices = new uint8_t[pixelCount];
        std::memcpy(colorIndices, source.colorIndices, pixelCount);
    }
    if (source.nativeAlphaData != nullptr) {
        const size_t count = palettised ? 256 : pixelCount;
        nativeAlphaData = new uint32_t[count];
        std::memcpy(nativeAlphaData, source.nativeAlphaData, count * 4);
    }
    if (source.runLengthAlphaData != nullptr) {
        runLengthAlphaData = new uint8_t[pixelCount];
        std::memcpy(runLengthAlphaData, source.runLengthAlphaData, pixelCount);
    }
    if (source.runLengthAdditiveData != nullptr) {
        runLengthAdditiveData = new uint8_t[pixelCount];
        std::memcpy(runLengthAdditiveData, source.runLengthAdditiveData, pixelCount);
    }
    if (app) app->AddMemoryImage(this);
}

MemoryImage::~MemoryImage() {
    if (app) app->RemoveMemoryImage(this);
    delete[] bits;
    FreeDerived();
    FreePalette();
}

uint32_t* MemoryImage::AllocateBits(int pixelCount) {
    uint32_t* buffer = new uint32_t[static_cast<size_t>(pixelCount) + 1];
    buffer[pixelCount] = kGuardWord;
    return buffer;
}

void MemoryImage::FreePalette() {
    delete[] palette;
    palette = nullptr;
    delete[] colorIndices;
    colorIndices = nullptr;
    std::vector<uint32_t>().swap(expandedNativeData);
}

void MemoryImage::FreeDerived() {
    delete[] nativeAlphaData;
    nativeAlphaData = nullptr;
    delete[] runLengthAlphaData;
    runLengthAlphaData = nullptr;
    delete[] runLengthAdditiveData;
    runLengthAdditiveData = nullptr;
    std::vector<uint32_t>().swap(weightedAddData);
    std::vector<uint32_t>().swap(expandedNativeData);
}

void MemoryImage::MarkBitsChanged() {
    ++changeCount;
    bitsChanged = true;
    FreeDerived();
}

void MemoryImage::RefreshAlphaFlags() {
    if (!bitsChanged || alphaFlagsForced) return;
    hasAlpha = false;
    if (bits != nullptr) {
        hasTrans = false;
        const size_t count = static_cast<size_t>(width) * height;
        for (size_t i = 0; i < count; ++i) {
            const uint32_t a = bits[i] >> 24;
            if (a == 0)
                hasTrans = true;
            else if (a != 255)
                hasAlpha = true;
        }
    } else if (palette != nullptr) {
        hasTrans = false;
        for (int i = 0; i < 256; ++i) {
            const uint32_t a = palette[i] >> 24;
            if (a == 0)
                hasTrans = true;
            else if (a != 255)
                hasAlpha = true;
        }
    } else {
        hasTrans = true;
    }
    bitsChanged = false;
}

uint32_t* MemoryImage::GetBits() {
    if (bits != nullptr) return bits;
    const int count = width * height;
    if (width <= 0 || height <= 0) {
        // Nothing to hold, but keep a valid buffer so callers never see null from a live image.
        bits = AllocateBits(0);
        return bits;
    }
    bits = AllocateBits(count);
    if (palette != nullptr && colorIndices != nullptr) {
        for (int i = 0; i < count; ++i) bits[i] = palette[colorIndices[i]];
        FreePalette();
        delete[] nativeAlphaData;
        nativeAlphaData = nullptr;
    } else if (nativeAlphaData != nullptr) {
        for (int i = 0; i < count; ++i) bits[i] = nativeFormat.ToArgb(nativeAlphaData[i]);
    } else if (!(textureData != nullptr && app != nullptr && app->ReadBackTexture(this, bits))) {
        std::memset(bits, 0, static_cast<size_t>(count) * 4);
    }
    return bits;
}

uint32_t* MemoryImage::GetNativeAlphaData(const NativePixelFormat& format) {
    if (nativeAlphaData != nullptr) {
        if (nativeFormat == format) return nativeAlphaData;
        // Built for another format (the display changed under the image): the pixels come back
        // from the old copy when they were discarded, then the copy and the additive runs, made
        // from its colour bits, are built anew.
        if (bits == nullptr && colorIndices == nullptr) GetBits();
        delete[] nativeAlphaData;
        nativeAlphaData = nullptr;
        delete[] runLengthAdditiveData;
        runLengthAdditiveData = nullptr;
        std::vector<uint32_t>().swap(expandedNativeData);
    }
    RefreshAlphaFlags();
    nativeFormat = format;
    if (palette != nullptr && colorIndices != nullptr) {
        nativeAlphaData = new uint32_t[256];
        for (int i = 0; i < 256; ++i) nativeAlphaData[i] = format.FromArgb(palette[i]);
    } else {
        const uint32_t* pixels = GetBits();
        const size_t count = static_cast<size_t>(width) * height;
        nativeAlphaData = new uint32_t[count > 0 ? count : 1];
        for (size_t i = 0; i < count; ++i) nativeAlphaData[i] = format.FromArgb(pixels[i]);
    }
    return nativeAlphaData;
}

uint8_t* MemoryImage::GetRLAlphaData() {
    RefreshAlphaFlags();
    if (runLengthAlphaData != nullptr) return runLengthAlphaData;
    const size_t count = static_cast<size_t>(width) * height;
    runLengthAlphaData = new uint8_t[count > 0 ? count : 1];
    if (palette != nullptr && colorIndices != nullptr) {
        const uint32_t* pal = palette;
        const uint8_t* idx = colorIndices;
        BuildRunLengths(runLengthAlphaData, width, height, [&](size_t i) { return AlphaClass(pal[idx[i]]); });
    } else if (nativeAlphaData != nullptr) {
        const uint32_t* native = nativeAlphaData;
        BuildRunLengths(runLengthAlphaData, width, height, [&](size_t i) { return AlphaClass(native[i]); });
    } else {
        const uint32_t* pixels = GetBits();
        BuildRunLengths(runLengthAlphaData, width, height, [&](size_t i) { return AlphaClass(pixels[i]); });
    }
    return runLengthAlphaData;
}

const uint32_t* MemoryImage::GetWeightedAddData() {
    if (!weightedAddData.empty()) return weightedAddData.data();
    const size_t count = static_cast<size_t>(width) * height;
    weightedAddData.assign(count > 0 ? count : 1, 0);
    if (palette != nullptr && colorIndices != nullptr) {
        uint32_t weighted[256];
        for (int i = 0; i < 256; ++i) weighted[i] = PixelRows::AddWeight(palette[i]);
        for (size_t i = 0; i < count; ++i) weightedAddData[i] = weighted[colorIndices[i]];
    } else if (count > 0) {
        const uint32_t* pixels = GetBits();
        if (pixels != nullptr)
            for (size_t i = 0; i < count; ++i) weightedAddData[i] = PixelRows::AddWeight(pixels[i]);
    }
    return weightedAddData.data();
}

uint8_t* MemoryImage::GetRLAdditiveData(const NativePixelFormat& format) {
    if (runLengthAdditiveData != nullptr) return runLengthAdditiveData;
    const uint32_t* native = GetNativeAlphaData(format);
    const size_t count = static_cast<size_t>(width) * height;
    runLengthAdditiveData = new uint8_t[count > 0 ? count : 1];
    if (palette != nullptr && colorIndices != nullptr) {
        const uint8_t* idx = colorIndices;
        BuildRunLengths(runLengthAdditiveData, width, height,
                        [&](size_t i) { return (native[idx[i]] & 0xFFFFFF) != 0 ? 1 : 0; });
    } else {
        BuildRunLengths(runLengthAdditiveData, width, height,
                        [&](size_t i) { return (native[i] & 0xFFFFFF) != 0 ? 1 : 0; });
    }
    return runLengthAdditiveData;
}

const uint32_t* MemoryImage::GetExpandedNativeData(const NativePixelFormat& format) {
    const uint32_t* words = GetNativeAlphaData(format);
    if (palette == nullptr || colorIndices == nullptr) return words;
    if (expandedNativeData.empty()) {
        const size_t count = static_cast<size_t>(width) * height;
        expandedNativeData.assign(count > 0 ? count : 1, 0);
        for (size_t i = 0; i < count; ++i) expandedNativeData[i] = words[colorIndices[i]];
    }
    return expandedNativeData.data();
}

void MemoryImage::DiscardBits() {
    purgeBits = true;
    if (app != nullptr && app->Is3DAccelerated()) {
        if (textureData == nullptr) return;
        delete[] bits;
        bits = nullptr;
        FreePalette();
        return;
    }
    if (bits == nullptr && colorIndices == nullptr) return;
    // The native copy replaces the pixels; without a display there is no format to build it
    // in, and the pixels stay.
    const NativePixelFormat* format = app != nullptr ? app->GetDisplayPixelFormat() : nullptr;
    if (format == nullptr) return;
    GetNativeAlphaData(*format);
    delete[] bits;
    bits = nullptr;
}

void MemoryImage::FreeSoftwareCaches() {
    if (bits == nullptr && colorIndices == nullptr) GetBits();
    FreeDerived();
}

void MemoryImage::FreeTextureData() {
    if (app != nullptr) app->Remove3DData(this);
}

void MemoryImage::FreeAllCaches() {
    FreeSoftwareCaches();
    FreeTextureData();
}

void MemoryImage::RestoreAfterReset() {
    if (wantPalette) Palletize();
    if (purgeBits) DiscardBits();
}

void MemoryImage::FreeNativeData() {
    if (bits == nullptr && colorIndices == nullptr) GetBits();
    delete[] nativeAlphaData;
    nativeAlphaData = nullptr;
    delete[] runLengthAdditiveData;
    runLengthAdditiveData = nullptr;
    std::vector<uint32_t>().swap(expandedNativeData);
}

void MemoryImage::Clear() {
    uint32_t* pixels = GetBits();
    std::fill(pixels, pixels + static_cast<size_t>(width) * height, 0u);
    MarkBitsChanged();
}

void MemoryImage::SetBits(const uint32_t* pixels, int newWidth, int newHeight, bool refresh) {
    if (pixels != nullptr && pixels == bits) return;
    if (newWidth < 0 || newHeight < 0) return;
    FreePalette();
    if (newWidth != width || newHeight != height || bits == nullptr) {
        delete[] bits;
        bits = AllocateBits(newWidth * newHeight);
        width = newWidth;
        height = newHeight;
    }
    const size_t count = static_cast<size_t>(width) * height;
    if (pixels != nullptr)
        std::memcpy(bits, pixels, count * 4);
    else
        std::memset(bits, 0, count * 4);
    bits[count] = kGuardWord;
    MarkBitsChanged();
    if (refresh) RefreshAlphaFlags();
}

void MemoryImage::Create(int newWidth, int newHeight) {
    delete[] bits;
    bits = nullptr;
    // A palettised form of the old size would be read at the new size by GetBits.
    FreePalette();
    width = newWidth < 0 ? 0 : newWidth;
    height = newHeight < 0 ? 0 : newHeight;
    hasTrans = true;
    hasAlpha = true;
    MarkBitsChanged();
}

void MemoryImage::ForceAlphaFlags(bool trans, bool alpha) {
    hasTrans = trans;
    hasAlpha = alpha;
    alphaFlagsForced = true;
}

void MemoryImage::SetVolatile(bool isVol) { isVolatile = isVol; }

bool MemoryImage::Palletize() {
    RefreshAlphaFlags();
    if (palette != nullptr && colorIndices != nullptr) return true;
    if (width <= 0 || height <= 0) return false;
    const uint32_t* pixels = GetBits();
    const size_t count = static_cast<size_t>(width) * height;
    uint32_t* newPalette = new uint32_t[256]();
    uint8_t* indices = new uint8_t[count];
    // Colours seen so far, sorted, each with its palette entry; entries are numbered in order of
    // first appearance.
    std::vector<std::pair<uint32_t, uint8_t>> sorted;
    sorted.reserve(256);
    bool ok = true;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t colour = pixels[i];
        auto it = std::lower_bound(sorted.begin(), sorted.end(), colour,
                                   [](const std::pair<uint32_t, uint8_t>& e, uint32_t c) { return e.first < c; });
        if (it != sorted.end() && it->first == colour) {
            indices[i] = it->second;
            continue;
        }
        if (sorted.size() == 256) {
            ok = false;
            break;
        }
        const uint8_t entry = static_cast<uint8_t>(sorted.size());
        newPalette[entry] = colour;
        sorted.insert(it, std::make_pair(colour, entry));
        indices[i] = entry;
    }
    if (!ok) {
        delete[] newPalette;
        delete[] indices;
        wantPalette = false;
        return false;
    }
    palette = newPalette;
    colorIndices = indices;
    delete[] bits;
    bits = nullptr;
    delete[] nativeAlphaData;
    nativeAlphaData = nullptr;
    wantPalette = true;
    return true;
}

}  // namespace Velm
