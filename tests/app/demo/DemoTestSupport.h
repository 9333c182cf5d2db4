#pragma once

// Helpers of the demo tests: an application without a window that records into and plays
// from its demo buffer, and a builder for demo files byte by byte.

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/VelmAppBase.h"
#include "resources/base/Buffer.h"
#include "tests/app/WindowTestSupport.h"

namespace demotest {

// A recording or playing application without a window: the producers and consumers of
// the demo stream are called directly.
class StreamApp : public windowtest::WindowApp {
public:
    using windowtest::WindowApp::WindowApp;

    // Makes the calling thread the main thread, as Init does.
    void BecomeMainThread() {
        mMainThreadId = std::this_thread::get_id();
        mMainThreadKnown = true;
    }

    // Moves this application's recorded stream into `player`, ready to play from its start.
    void HandOver(StreamApp& player) {
        player.mDemoBuffer.Clear();
        player.mDemoBuffer.SetData(mDemoBuffer.GetDataPtr(), mDemoBuffer.GetDataLen());
        player.mPlayingDemo = true;
        player.mDemoNextUpdate = 0;
        player.mDemoNeedsCommand = true;
    }
};

// A demo file written field by field (little-endian).
class FileBuilder {
public:
    FileBuilder& U32(uint32_t value) {
        mBuffer.WriteLong(static_cast<int>(value));
        return *this;
    }
    FileBuilder& U16(uint32_t value) {
        mBuffer.WriteByte(static_cast<int>(value & 0xFF));
        mBuffer.WriteByte(static_cast<int>((value >> 8) & 0xFF));
        return *this;
    }
    FileBuilder& Bytes(const std::string& bytes) {
        mBuffer.WriteBytes(bytes.data(), static_cast<int>(bytes.size()));
        return *this;
    }
    FileBuilder& Text(const std::string& text) { return U16(static_cast<uint32_t>(text.size())).Bytes(text); }
    // Magic, version, seed and version text.
    FileBuilder& Header(uint32_t version, const std::string& productVersion, uint32_t seed = 1234) {
        return U32(0x42BEEF78).U32(version).U32(seed).Text(productVersion);
    }
    std::string Data() const {
        return std::string(reinterpret_cast<const char*>(mBuffer.GetDataPtr()), mBuffer.GetDataLen());
    }

private:
    Velm::Buffer mBuffer;
};

}  // namespace demotest
