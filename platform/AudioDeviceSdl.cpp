#include <SDL.h>

#include <atomic>
#include <string>

#include "platform/Audio.h"
#include "platform/DebugOutput.h"

namespace plat {
namespace audio {
namespace {

// The output pulls the mixer from SDL's audio thread; the mixer's own lock is all the
// callback takes.
class SdlOutput : public Output {
public:
    SdlOutput(std::shared_ptr<Mixer> mixer) : mMixer(std::move(mixer)) {}

    ~SdlOutput() override {
        if (mDevice != 0) SDL_CloseAudioDevice(mDevice);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool Open() {
        SDL_AudioSpec want;
        SDL_zero(want);
        want.freq = int(mMixer->OutputRate());
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = &SdlOutput::Callback;
        want.userdata = this;
        SDL_AudioSpec have;
        // No changes allowed: SDL converts our format to the device's when they differ.
        mDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (mDevice == 0) return false;
        const char* driver = SDL_GetCurrentAudioDriver();
        mDriver = driver ? driver : "";
        SDL_PauseAudioDevice(mDevice, 0);
        return true;
    }

    const char* DriverName() const override { return mDriver.c_str(); }

private:
    static void Callback(void* user, Uint8* stream, int length) {
        auto* self = static_cast<SdlOutput*>(user);
        self->mMixer->Mix(reinterpret_cast<int16_t*>(stream), size_t(length) / 4);
    }

    std::shared_ptr<Mixer> mMixer;
    SDL_AudioDeviceID mDevice = 0;
    std::string mDriver;
};

std::atomic<bool> gToldNoSound{false};

void TellNoSoundOnce(const std::string& why) {
    if (!gToldNoSound.exchange(true)) DebugOutput("audio: no sound device (" + why + "); running silently\n");
}

}  // namespace

std::unique_ptr<Output> OpenOutput(std::shared_ptr<Mixer> mixer) {
    if (!mixer) return nullptr;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        TellNoSoundOnce(SDL_GetError());
        return nullptr;
    }
    auto output = std::make_unique<SdlOutput>(std::move(mixer));
    if (!output->Open()) {
        TellNoSoundOnce(SDL_GetError());
        return nullptr;  // the destructor ends our use of the audio subsystem
    }
    return output;
}

}  // namespace audio
}  // namespace plat
