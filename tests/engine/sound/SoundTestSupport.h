#pragma once

// Helpers of the sound tests: WAV files built in memory, a device on a mixer that the
// test pulls by hand (no thread, no sound card), and a recorder for end callbacks.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/sound/SoundDevice.h"
#include "engine/sound/SoundError.h"
#include "engine/sound/StreamingSound.h"
#include "engine/storage/Stg.h"
#include "platform/Audio.h"

namespace soundtest {

constexpr uint32_t kRate = 22050;

// Writes `bytes` as the whole file `name` of `stg`.
inline void PutFile(Stg_t* stg, const std::string& name, const std::string& bytes) {
    FileDescr_t* f = stg->OpenFile(name, true);
    unsigned written = 0;
    stg->WriteFile(f, bytes.data(), int(bytes.size()), &written);
    stg->CloseFile(f);
}

inline void Put16(std::string& s, uint16_t v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char(v >> 8));
}
inline void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

inline std::string FmtChunk(uint16_t channels, uint32_t rate, uint16_t bits, uint32_t size = 16) {
    std::string c = "fmt ";
    Put32(c, size);
    std::string body;
    Put16(body, 1);
    Put16(body, channels);
    Put32(body, rate);
    Put32(body, rate * channels * bits / 8);
    Put16(body, uint16_t(channels * bits / 8));
    Put16(body, bits);
    body.resize(size, '\0');
    return c + body;
}

inline std::string DataChunk(const std::vector<int16_t>& samples) {
    std::string c = "data";
    Put32(c, uint32_t(samples.size() * 2));
    c.append(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
    return c;
}

inline std::string Chunk(const char* id, const std::string& body) {
    std::string c(id, 4);
    Put32(c, uint32_t(body.size()));
    c += body;
    if (body.size() & 1) c.push_back('\0');
    return c;
}

inline std::string Riff(const std::string& chunks) {
    std::string f = "RIFF";
    Put32(f, uint32_t(4 + chunks.size()));
    return f + "WAVE" + chunks;
}

// A 16-bit WAV at kRate with these interleaved samples.
inline std::string Wav16(uint16_t channels, const std::vector<int16_t>& samples) {
    return Riff(FmtChunk(channels, kRate, 16) + DataChunk(samples));
}

// Recognisable samples: frame i holds 1000 + 7 i (+ 3 on the right channel).
inline std::vector<int16_t> Ramp(uint16_t channels, uint32_t frames) {
    std::vector<int16_t> s;
    for (uint32_t i = 0; i < frames; ++i) {
        for (uint16_t c = 0; c < channels; ++c) s.push_back(int16_t(1000 + 7 * int(i % 4000) + 3 * c));
    }
    return s;
}

// End callbacks are plain functions: they report here.
struct CallbackLog {
    static std::vector<std::pair<int, int>>& Calls() {
        static std::vector<std::pair<int, int>> calls;
        return calls;
    }
    static void Record(int handle, int argument) { Calls().emplace_back(handle, argument); }
    static void Clear() { Calls().clear(); }
};

// A device started without thread on a mixer at kRate, so output samples equal source
// samples. The test mixes with Pull and does the thread's work with Service.
class ManualDevice : public ::testing::Test {
protected:
    void SetUp() override {
        CallbackLog::Clear();
        mixer = std::make_shared<plat::audio::Mixer>(kRate);
        device.StartOnMixer(mixer, 2, 2, 22050, 16, false);
    }

    std::vector<int16_t> Pull(size_t frames) {
        std::vector<int16_t> out(frames * 2);
        mixer->Mix(out.data(), frames);
        return out;
    }

    int Service() { return device.ServicePending(); }

    // A static sound made from a WAV image, appended to the device; its handle.
    int AddStatic(const std::string& wav, uint32_t flags, bool loop, bool deleteAfterPlay, int group = 1) {
        Sound::Sound_t* sound = nullptr;
        wavKeep.push_back(std::make_unique<std::string>(wav));
        device.CreateStaticSound(group, &sound, wavKeep.back()->data(), unsigned(wav.size()), Sound::kWaveWav, flags,
                                 loop, deleteAfterPlay, false);
        EXPECT_NE(sound, nullptr);
        if (!sound) return 0;
        device.AddSound(sound);
        return sound->GetHandle();
    }

    // A streamed sound over a WAV image held by a memory handle.
    int AddStream(const std::string& wav, uint32_t chunkBytes, bool loop, bool deleteAfterPlay, int group = 3) {
        Sound::Sound_t* sound = nullptr;
        FileDescr_t* file = NewMemFileDescr(wav.data(), unsigned(wav.size()), true);
        device.CreateStreamingSound(group, &sound, file, Sound::kWaveWav, Sound::StreamBufferFlags(0), 8, chunkBytes,
                                    loop, deleteAfterPlay);
        EXPECT_NE(sound, nullptr);
        if (!sound) return 0;
        device.AddSound(sound);
        return sound->GetHandle();
    }

    std::vector<std::unique_ptr<std::string>> wavKeep;  // outlives the device
    std::shared_ptr<plat::audio::Mixer> mixer;
    Sound::SoundDevice_t device;
};

// The errSnd_e code a statement throws, or -1.
template <typename F>
int ThrownCode(F&& f) {
    try {
        f();
    } catch (const Sound::errSnd_e& e) {
        return int(e.GetCode());
    }
    return -1;
}

}  // namespace soundtest
