// Kept apart from the null presenter so that programs without a window do not link the window.
#include "platform/DdPresenter.h"
#include "platform/Window.h"

namespace plat {
namespace dd {

void WindowPresenter::SetVSync(bool on) {
    if (mWindow != nullptr) mWindow->SetVSync(on);
}

bool WindowPresenter::CanWaitForVerticalBlank() const {
    return mWindow == nullptr || mWindow->CanWaitForVerticalBlank();
}

int WindowPresenter::RefreshRate() const { return mWindow != nullptr ? mWindow->RefreshRate() : 0; }

bool WindowPresenter::Present(const Surface& primary) {
    if (mWindow == nullptr) return false;
    const int width = primary.Width(), height = primary.Height();
    const PixelFormat& format = primary.Format();
    if (format == PixelFormat::X8R8G8B8())
        return mWindow->Present(reinterpret_cast<const uint32_t*>(primary.Row(0)), width, height, primary.Pitch());
    mFrame.resize(static_cast<size_t>(width) * height);
    if (format.bitCount == 16) {
        if (mTable.empty() || !(mTableFormat == format)) {
            mTable.resize(65536);
            for (uint32_t v = 0; v < 65536; ++v) mTable[v] = ToXrgb(v, format);
            mTableFormat = format;
        }
        for (int y = 0; y < height; ++y) {
            const uint16_t* row = reinterpret_cast<const uint16_t*>(primary.Row(y));
            uint32_t* out = mFrame.data() + static_cast<size_t>(y) * width;
            for (int x = 0; x < width; ++x) out[x] = mTable[row[x]];
        }
    } else {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                mFrame[static_cast<size_t>(y) * width + x] = ToXrgb(primary.PixelAt(x, y), format);
    }
    return mWindow->Present(mFrame.data(), width, height, width * 4);
}

}  // namespace dd
}  // namespace plat
