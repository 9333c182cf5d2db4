// Tracker modules (MOD, S3M, XM, IT, ...) rendered by libopenmpt from a copy of the file
// in memory, at 44100 Hz stereo. The song ends where the module's own order list ends
// (a looping caller rewinds it). A file cut short inside its sample data plays what is
// there, as the library loads it; one that makes no sound at all (cut before its samples, or
// all zeros) is refused.

#include <libopenmpt/libopenmpt.hpp>

#include <sstream>

#include "resources/sound/MusicStream.h"

namespace Velm {
namespace {

// The song is played this far at most to hear whether it makes a sound.
constexpr double kLongestProbeSeconds = 600.0;
constexpr int32_t kProbeRate = 8000;

// Whether the module makes any sound: the library loads what it can of a damaged file and
// counts every sample slot of the format (a MOD always has 31), so the song is played, on
// its own copy, quietly and fast, until the first sound or its end.
bool MakesASound(const void* data, size_t size) {
    std::ostringstream log;
    openmpt::module probe(data, size, log);
    probe.set_repeat_count(0);
    int16_t chunk[1024];
    for (size_t played = 0; played < size_t(kLongestProbeSeconds * kProbeRate);) {
        const size_t got = probe.read(kProbeRate, sizeof chunk / sizeof chunk[0], chunk);
        if (got == 0) return false;
        for (size_t i = 0; i < got; ++i) {
            if (chunk[i] != 0) return true;
        }
        played += got;
    }
    return false;
}

class ModuleStream : public MusicStream {
public:
    bool Open(const void* data, size_t size, std::string* error) {
        std::ostringstream log;  // the library's load messages, kept for a failure's reason
        try {
            mModule = std::make_unique<openmpt::module>(data, size, log);
            if (mModule->get_num_orders() <= 0 || !MakesASound(data, size)) {
                *error = "tracker module: no sound to play";
                return false;
            }
        } catch (const std::exception& e) {
            *error = std::string("tracker module: ") + e.what();
            return false;
        }
        mModule->set_repeat_count(0);
        mChannels = 2;
        mRate = 44100;
        return true;
    }

    size_t Read(int16_t* out, size_t frames) override {
        try {
            return mModule->read_interleaved_stereo(int32_t(mRate), frames, out);
        } catch (const std::exception&) {
            return 0;  // a module that cannot go on ends there
        }
    }
    bool Rewind() override { return Seek(0); }
    bool Seek(uint64_t order) override {
        if (order >= uint64_t(mModule->get_num_orders())) return false;
        mModule->set_position_order_row(int32_t(order), 0);
        return true;
    }
    void SetGain(int32_t millibels) override {
        mModule->set_render_param(openmpt::module::RENDER_MASTERGAIN_MILLIBEL, millibels);
    }

private:
    std::unique_ptr<openmpt::module> mModule;
};

}  // namespace

std::unique_ptr<MusicStream> OpenModuleStream(const void* data, size_t size, std::string* error) {
    if (!data || size == 0) {
        *error = "tracker module: empty file";
        return nullptr;
    }
    return OpenDecoder<ModuleStream>(error, data, size);
}

}  // namespace Velm
