#include "platform/DdDevice.h"

#include <mutex>

#include "platform/DdPresenter.h"

namespace plat {
namespace dd {

namespace {

struct Fault {
    bool armed = false;
    Result result = kOk;
    int skip = 0;
};

std::mutex gMutex;
DisplayConfig gConfig;
Fault gFaults[static_cast<int>(Op::Count)];

PixelFormat FormatFor(int bits, const DisplayConfig& config) {
    if (bits == 16) {
        if (config.use555) return config.bgrOrder ? PixelFormat::X1B5G5R5() : PixelFormat::X1R5G5B5();
        return config.bgrOrder ? PixelFormat::B5G6R5() : PixelFormat::R5G6B5();
    }
    if (bits == 32) return config.bgrOrder ? PixelFormat::X8B8G8R8() : PixelFormat::X8R8G8B8();
    // A depth the program cannot draw in; only its bit count matters.
    PixelFormat other;
    other.bitCount = bits;
    return other;
}

}  // namespace

void SetDisplayConfig(const DisplayConfig& config) {
    std::lock_guard<std::mutex> lock(gMutex);
    gConfig = config;
}

DisplayConfig GetDisplayConfig() {
    std::lock_guard<std::mutex> lock(gMutex);
    return gConfig;
}

void InjectFault(Op op, Result result, int skip) {
    std::lock_guard<std::mutex> lock(gMutex);
    Fault& fault = gFaults[static_cast<int>(op)];
    fault.armed = true;
    fault.result = result;
    fault.skip = skip < 0 ? 0 : skip;
}

void ClearFaults() {
    std::lock_guard<std::mutex> lock(gMutex);
    for (Fault& fault : gFaults) fault = Fault();
}

Result TakeFault(Op op) {
    std::lock_guard<std::mutex> lock(gMutex);
    Fault& fault = gFaults[static_cast<int>(op)];
    if (!fault.armed) return kOk;
    if (fault.skip > 0) {
        --fault.skip;
        return kOk;
    }
    fault.armed = false;
    return fault.result;
}

Device::Device() : mPresenter(std::make_shared<NullPresenter>()) {}
Device::~Device() = default;

Result Device::Create(bool ex, std::unique_ptr<Device>* out) {
    if (out == nullptr) return kErrInvalidParams;
    out->reset();
    const Result fault = TakeFault(ex ? Op::DirectDrawCreateEx : Op::DirectDrawCreate);
    if (Failed(fault)) return fault;
    out->reset(new Device());
    return kOk;
}

Result Device::QueryInterface() { return TakeFault(Op::QueryInterface); }

Result Device::SetCooperativeLevel(bool exclusive) {
    const Result fault = TakeFault(Op::SetCooperativeLevel);
    if (Failed(fault)) return fault;
    mExclusive = exclusive;
    if (!exclusive) mModeWidth = mModeHeight = mModeBits = 0;
    return kOk;
}

Result Device::SetDisplayMode(int width, int height, int bitsPerPixel) {
    const Result fault = TakeFault(Op::SetDisplayMode);
    if (Failed(fault)) return fault;
    if (!mExclusive) return kErrNoExclusiveMode;
    if (width <= 0 || height <= 0 || (bitsPerPixel != 16 && bitsPerPixel != 32)) return kErrInvalidMode;
    mModeWidth = width;
    mModeHeight = height;
    mModeBits = bitsPerPixel;
    return kOk;
}

void Device::SetWindowSize(int width, int height) {
    mWindowWidth = width;
    mWindowHeight = height;
}

PixelFormat Device::PrimaryFormat() const {
    const DisplayConfig config = GetDisplayConfig();
    return FormatFor(mModeBits != 0 ? mModeBits : config.desktopBitsPerPixel, config);
}

Result Device::CreateSurface(const SurfaceRequest& request, std::shared_ptr<Surface>* out) {
    if (out == nullptr) return kErrInvalidParams;
    out->reset();
    const Result fault = TakeFault(Op::CreateSurface);
    if (Failed(fault)) return fault;
    const DisplayConfig config = GetDisplayConfig();
    const PixelFormat format = PrimaryFormat();
    if (request.caps & kCapsPrimarySurface) {
        const bool flipping = (request.caps & kCapsFlip) != 0;
        if (flipping && (!mExclusive || mModeBits == 0)) return kErrNoExclusiveMode;
        const int width = mModeBits != 0 ? mModeWidth : mWindowWidth;
        const int height = mModeBits != 0 ? mModeHeight : mWindowHeight;
        auto primary = std::make_shared<Surface>(width, height, format, request.caps, config.pitchPaddingBytes,
                                                 config.canaryBytes);
        primary->SetOwner(this);
        mBackBuffer.reset();
        if (flipping && (request.flags & kDescBackBufferCount) && request.backBufferCount > 0)
            mBackBuffer = std::make_shared<Surface>(width, height, format, kCapsBackBuffer | kCapsFlip,
                                                    config.pitchPaddingBytes, config.canaryBytes);
        mPrimary = primary;
        *out = primary;
        return kOk;
    }
    if (!(request.flags & kDescWidth) || !(request.flags & kDescHeight) || request.width <= 0 || request.height <= 0)
        return kErrInvalidParams;
    if (format.bitCount != 16 && format.bitCount != 32) return kErrInvalidPixelFormat;
    *out = std::make_shared<Surface>(request.width, request.height, format, request.caps, config.pitchPaddingBytes,
                                     config.canaryBytes);
    return kOk;
}

Result Device::GetAttachedSurface(std::shared_ptr<Surface>* out) {
    if (out == nullptr) return kErrInvalidParams;
    out->reset();
    const Result fault = TakeFault(Op::GetAttachedSurface);
    if (Failed(fault)) return fault;
    if (!mBackBuffer) return kErrNotFound;
    *out = mBackBuffer;
    return kOk;
}

Result Device::CreateClipper() { return TakeFault(Op::CreateClipper); }

Result Device::GetMonitorFrequency(unsigned* hz) {
    if (hz == nullptr) return kErrInvalidParams;
    const Result fault = TakeFault(Op::GetMonitorFrequency);
    if (Failed(fault)) return fault;
    const int shown = mPresenter ? mPresenter->RefreshRate() : 0;
    const int configured = shown > 0 ? shown : GetDisplayConfig().monitorHz;
    if (configured <= 0) return kErrUnsupported;
    *hz = static_cast<unsigned>(configured);
    return kOk;
}

Result Device::WaitForVerticalBlank() {
    SetVSync(true);
    return kOk;
}

void Device::SetVSync(bool on) {
    if (mPresenter) mPresenter->SetVSync(on);
}

bool Device::CanWaitForVerticalBlank() const {
    return GetDisplayConfig().verticalBlank && (!mPresenter || mPresenter->CanWaitForVerticalBlank());
}

Result Device::GetScanLine(unsigned* line) {
    if (line != nullptr) *line = 0;
    return kErrUnsupported;
}

Result Device::FlipToGDISurface() { return kOk; }

Result Device::Flip() {
    const Result fault = TakeFault(Op::Flip);
    if (Failed(fault)) return fault;
    std::shared_ptr<Surface> primary = mPrimary.lock();
    if (!primary || !mBackBuffer) return kErrNotFlippable;
    if (primary->IsLocked() || mBackBuffer->IsLocked()) return kErrSurfaceBusy;
    primary->SwapPixels(*mBackBuffer);
    PrimaryChanged();
    return kOk;
}

void Device::SetPresenter(std::shared_ptr<Presenter> presenter) {
    mPresenter = presenter ? std::move(presenter) : std::make_shared<NullPresenter>();
}

void Device::PrimaryChanged() {
    std::shared_ptr<Surface> primary = mPrimary.lock();
    if (primary && mPresenter) mPresenter->Present(*primary);
}

}  // namespace dd
}  // namespace plat
