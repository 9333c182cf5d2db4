// Our mixer against OpenAL Soft's loopback device, on the same scene in the same run:
// 32 looping static voices (mono 16-bit 22050 Hz, assorted lengths, volumes, pans, a third
// of them at another pitch) and 2 streams (stereo 16-bit 22050 Hz, rings of 8 chunks of
// 88200 bytes refilled chunk by chunk as the cursor passes each chunk's end), rendered
// into 10 s of S16 stereo at 44100 Hz in blocks of 1024 frames. Both sides do the same
// refill work (copying PCM already in memory, no decoding). OpenAL uses its linear
// resampler where it offers one, without HRTF and without its output limiter. Its streams
// play as direct channels (left to left, right to right, as our stereo voices do; otherwise
// it places each channel at +-30 degrees and pans it to both speakers), and its dither of
// 16-bit output is off (we round the mix to the nearest integer without noise).
// Every voice is resampled to the output rate (linear interpolation on both sides).
// Our mixer runs twice: with its SSE2 loops (the one compared) and with its plain loops.
// Prints the milliseconds per 10 s of output of both and their ratio at the end.

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Audio.h"

namespace {

constexpr uint32_t kOutputRate = 44100;
constexpr uint32_t kSourceRate = 22050;
constexpr uint32_t kOutputFrames = kOutputRate * 10;
constexpr uint32_t kBlockFrames = 1024;
constexpr int kStaticVoices = 32;
constexpr int kStreams = 2;
constexpr int kChunks = 8;
constexpr uint32_t kChunkBytes = 88200;
constexpr uint32_t kStreamSourceBytes = kSourceRate * 4 * 30;  // 30 s of stereo music

struct Lcg {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    double Unit() { return double(Next() % 100000) / 100000.0; }
};

struct StaticVoice {
    std::vector<int16_t> pcm;  // mono
    int32_t volumeMb;
    int32_t panMb;
    uint32_t frequency;
};

struct Scene {
    std::vector<StaticVoice> voices;
    std::vector<std::vector<int16_t>> streams;  // interleaved stereo
};

Scene MakeScene() {
    Scene s;
    Lcg rng{2024};
    for (int i = 0; i < kStaticVoices; ++i) {
        StaticVoice v;
        const uint32_t frames = uint32_t(kSourceRate * (0.3 + 1.7 * rng.Unit()));
        const double hz = 200.0 + 1800.0 * rng.Unit();
        for (uint32_t f = 0; f < frames; ++f) {
            v.pcm.push_back(
                    int16_t(6000.0 * std::sin(2 * M_PI * hz * f / kSourceRate) + double(rng.Next() % 512) - 256));
        }
        v.volumeMb = -int32_t(rng.Next() % 1500);
        v.panMb = int32_t(rng.Next() % 6001) - 3000;
        v.frequency = i % 3 == 0 ? uint32_t(kSourceRate * (0.75 + 0.75 * rng.Unit())) : kSourceRate;
        s.voices.push_back(std::move(v));
    }
    for (int i = 0; i < kStreams; ++i) {
        std::vector<int16_t> pcm(kStreamSourceBytes / 2);
        for (size_t f = 0; f < pcm.size() / 2; ++f) {
            pcm[2 * f] = int16_t(5000.0 * std::sin(2 * M_PI * 330.0 * (i + 1) * f / kSourceRate));
            pcm[2 * f + 1] = int16_t(5000.0 * std::sin(2 * M_PI * 495.0 * (i + 1) * f / kSourceRate));
        }
        s.streams.push_back(std::move(pcm));
    }
    return s;
}

std::map<std::string, double> gMsPer10s;

// ---- ours ----

struct OurStream {
    std::unique_ptr<plat::audio::Voice> voice;
    std::vector<plat::Event> events = std::vector<plat::Event>(kChunks);
    const std::vector<int16_t>* source = nullptr;
    uint32_t readOffset = 0;  // bytes of the source already written to the ring
};

void Refill(OurStream& s, uint32_t chunk) {
    plat::audio::LockedRegion r;
    if (!s.voice->Lock(chunk * kChunkBytes, kChunkBytes, r)) return;
    const auto* src = reinterpret_cast<const uint8_t*>(s.source->data());
    const uint32_t size = uint32_t(s.source->size() * 2);
    for (uint32_t done = 0; done < kChunkBytes;) {
        const uint32_t n = std::min(kChunkBytes - done, size - s.readOffset);
        std::memcpy(r.part1 + done, src + s.readOffset, n);
        done += n;
        s.readOffset = (s.readOffset + n) % size;
    }
    s.voice->Unlock();
}

void BenchOurs(benchmark::State& state, const Scene* scene, plat::audio::MixLoopKind loops) {
    for (auto _ : state) {
        state.PauseTiming();
        plat::audio::Mixer mixer(kOutputRate);
        mixer.SetMixLoop(loops);
        std::vector<std::unique_ptr<plat::audio::Voice>> voices;
        for (const StaticVoice& v : scene->voices) {
            plat::audio::BufferDesc d;
            d.flags = plat::audio::kCtrlVolume | plat::audio::kCtrlPan | plat::audio::kCtrlFrequency;
            d.format = {1, kSourceRate, 16};
            d.bytes = uint32_t(v.pcm.size() * 2);
            auto voice = mixer.CreateVoice(d);
            plat::audio::LockedRegion r;
            voice->Lock(0, 0, r, true);
            std::memcpy(r.part1, v.pcm.data(), r.bytes1);
            voice->Unlock();
            voice->SetVolume(v.volumeMb);
            voice->SetPan(v.panMb);
            voice->SetFrequency(v.frequency);
            voices.push_back(std::move(voice));
        }
        std::vector<OurStream> streams(kStreams);
        for (int i = 0; i < kStreams; ++i) {
            OurStream& s = streams[size_t(i)];
            plat::audio::BufferDesc d;
            d.flags = plat::audio::kCtrlVolume | plat::audio::kCtrlPositionNotify;
            d.format = {2, kSourceRate, 16};
            d.bytes = kChunks * kChunkBytes;
            s.voice = mixer.CreateVoice(d);
            s.source = &scene->streams[size_t(i)];
            std::vector<plat::audio::Notification> positions;
            for (int c = 0; c < kChunks; ++c)
                positions.push_back({uint32_t(c + 1) * kChunkBytes - 1, &s.events[size_t(c)]});
            s.voice->SetNotificationPositions(positions);
            for (int c = 0; c < kChunks; ++c) Refill(s, uint32_t(c));
            s.voice->SetVolume(-300);
        }
        std::vector<int16_t> out(kBlockFrames * 2);
        state.ResumeTiming();

        for (auto& v : voices) v->Play(true);
        for (auto& s : streams) s.voice->Play(true);
        for (uint32_t done = 0; done < kOutputFrames; done += kBlockFrames) {
            mixer.Mix(out.data(), kBlockFrames);
            for (auto& s : streams) {
                for (int c = 0; c < kChunks; ++c) {
                    if (s.events[size_t(c)].IsSet()) {
                        s.events[size_t(c)].Reset();
                        Refill(s, uint32_t(c));
                    }
                }
            }
            benchmark::DoNotOptimize(out.data());
        }
    }
}

// ---- OpenAL Soft ----

struct OpenAl {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    ALint linearResampler = -1;

    bool Open() {
        device = alcLoopbackOpenDeviceSOFT(nullptr);
        if (!device) return false;
        const ALCint attrs[] = {ALC_FORMAT_CHANNELS_SOFT,
                                ALC_STEREO_SOFT,
                                ALC_FORMAT_TYPE_SOFT,
                                ALC_SHORT_SOFT,
                                ALC_FREQUENCY,
                                ALCint(kOutputRate),
                                ALC_HRTF_SOFT,
                                ALC_FALSE,
                                ALC_OUTPUT_LIMITER_SOFT,
                                ALC_FALSE,
                                0};
        context = alcCreateContext(device, attrs);
        if (!context || !alcMakeContextCurrent(context)) return false;
        if (alIsExtensionPresent("AL_SOFT_source_resampler")) {
            const ALint count = alGetInteger(AL_NUM_RESAMPLERS_SOFT);
            for (ALint i = 0; i < count; ++i) {
                const char* name = alGetStringiSOFT(AL_RESAMPLER_NAME_SOFT, i);
                if (name && std::strstr(name, "Linear")) linearResampler = i;
            }
        }
        return true;
    }
    ~OpenAl() {
        alcMakeContextCurrent(nullptr);
        if (context) alcDestroyContext(context);
        if (device) alcCloseDevice(device);
    }
};

void BenchOpenAl(benchmark::State& state, const Scene* scene) {
    OpenAl al;
    if (!al.Open()) {
        state.SkipWithError("no OpenAL Soft loopback device");
        return;
    }
    alDistanceModel(AL_NONE);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<ALuint> buffers(scene->voices.size());
        std::vector<ALuint> sources(scene->voices.size());
        alGenBuffers(ALsizei(buffers.size()), buffers.data());
        alGenSources(ALsizei(sources.size()), sources.data());
        for (size_t i = 0; i < scene->voices.size(); ++i) {
            const StaticVoice& v = scene->voices[i];
            alBufferData(buffers[i], AL_FORMAT_MONO16, v.pcm.data(), ALsizei(v.pcm.size() * 2), ALsizei(kSourceRate));
            alSourcei(sources[i], AL_BUFFER, ALint(buffers[i]));
            alSourcei(sources[i], AL_LOOPING, AL_TRUE);
            alSourcef(sources[i], AL_GAIN, plat::audio::GainFromMillibels(v.volumeMb));
            alSourcef(sources[i], AL_PITCH, float(v.frequency) / float(kSourceRate));
            // Pan as a direction around the listener's head: x from -1 (left) to 1 (right).
            const float x = float(v.panMb) / 10000.0f;
            alSourcei(sources[i], AL_SOURCE_RELATIVE, AL_TRUE);
            alSource3f(sources[i], AL_POSITION, x, 0.0f, -std::sqrt(1.0f - x * x));
            if (al.linearResampler >= 0) alSourcei(sources[i], AL_SOURCE_RESAMPLER_SOFT, al.linearResampler);
        }
        struct Stream {
            ALuint source = 0;
            ALuint buffers[kChunks] = {};
            const std::vector<int16_t>* pcm = nullptr;
            uint32_t readOffset = 0;
            std::vector<uint8_t> chunk = std::vector<uint8_t>(kChunkBytes);
        };
        std::vector<Stream> streams(kStreams);
        auto fill = [](Stream& s, ALuint buffer) {
            const auto* src = reinterpret_cast<const uint8_t*>(s.pcm->data());
            const uint32_t size = uint32_t(s.pcm->size() * 2);
            for (uint32_t done = 0; done < kChunkBytes;) {
                const uint32_t n = std::min(kChunkBytes - done, size - s.readOffset);
                std::memcpy(s.chunk.data() + done, src + s.readOffset, n);
                done += n;
                s.readOffset = (s.readOffset + n) % size;
            }
            alBufferData(buffer, AL_FORMAT_STEREO16, s.chunk.data(), ALsizei(kChunkBytes), ALsizei(kSourceRate));
        };
        for (int i = 0; i < kStreams; ++i) {
            Stream& s = streams[size_t(i)];
            s.pcm = &scene->streams[size_t(i)];
            alGenSources(1, &s.source);
            alGenBuffers(kChunks, s.buffers);
            for (ALuint b : s.buffers) fill(s, b);
            alSourceQueueBuffers(s.source, kChunks, s.buffers);
            alSourcef(s.source, AL_GAIN, plat::audio::GainFromMillibels(-300));
            alSourcei(s.source, AL_SOURCE_RELATIVE, AL_TRUE);
            alSourcei(s.source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
            if (al.linearResampler >= 0) alSourcei(s.source, AL_SOURCE_RESAMPLER_SOFT, al.linearResampler);
        }
        std::vector<int16_t> out(kBlockFrames * 2);
        state.ResumeTiming();

        alSourcePlayv(ALsizei(sources.size()), sources.data());
        for (auto& s : streams) alSourcePlay(s.source);
        for (uint32_t done = 0; done < kOutputFrames; done += kBlockFrames) {
            alcRenderSamplesSOFT(al.device, out.data(), ALCsizei(kBlockFrames));
            for (auto& s : streams) {
                ALint processed = 0;
                alGetSourcei(s.source, AL_BUFFERS_PROCESSED, &processed);
                while (processed-- > 0) {
                    ALuint b = 0;
                    alSourceUnqueueBuffers(s.source, 1, &b);
                    fill(s, b);
                    alSourceQueueBuffers(s.source, 1, &b);
                }
            }
            benchmark::DoNotOptimize(out.data());
        }

        state.PauseTiming();
        alSourceStopv(ALsizei(sources.size()), sources.data());
        alDeleteSources(ALsizei(sources.size()), sources.data());
        alDeleteBuffers(ALsizei(buffers.size()), buffers.data());
        for (auto& s : streams) {
            alSourceStop(s.source);
            alDeleteSources(1, &s.source);
            alDeleteBuffers(kChunks, s.buffers);
        }
        state.ResumeTiming();
    }
}

// Keeps the time per iteration of each benchmark for the closing table: the median of the
// repetitions when they are repeated, else the one run's mean.
class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0) continue;
            const std::string name = run.run_name.str();
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && !mFromMedian[name])) {
                gMsPer10s[name] = run.GetAdjustedRealTime();  // milliseconds (the unit below)
                mFromMedian[name] = median;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

private:
    std::map<std::string, bool> mFromMedian;
};

// OpenAL Soft reads its settings once, at its first call: a settings file of our own that
// turns its dither off, named before that call. Removed when the run ends.
class OpenAlSettings {
public:
    OpenAlSettings() : mPath(std::filesystem::temp_directory_path() / "velm_bench_audio_alsoft.conf") {
        std::ofstream(mPath) << "[general]\ndither = false\n";
        setenv("ALSOFT_CONF", mPath.c_str(), 1);
    }
    ~OpenAlSettings() {
        std::error_code ignored;
        std::filesystem::remove(mPath, ignored);
    }
    OpenAlSettings(const OpenAlSettings&) = delete;
    OpenAlSettings& operator=(const OpenAlSettings&) = delete;

private:
    std::filesystem::path mPath;
};

}  // namespace

int main(int argc, char** argv) {
    const OpenAlSettings alSettings;
    const Scene scene = MakeScene();
    benchmark::RegisterBenchmark("mix_10s_32static_2streams/velm", BenchOurs, &scene, plat::audio::MixLoopKind::kSse2)
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("mix_10s_32static_2streams/velm_plain_loops", BenchOurs, &scene,
                                 plat::audio::MixLoopKind::kPlain)
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("mix_10s_32static_2streams/openal_soft", BenchOpenAl, &scene)
            ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    Collector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto ours = gMsPer10s.find("mix_10s_32static_2streams/velm");
    const auto theirs = gMsPer10s.find("mix_10s_32static_2streams/openal_soft");
    if (ours == gMsPer10s.end() || theirs == gMsPer10s.end() || ours->second <= 0) return 0;
    std::printf("\n%-28s %14s %16s %12s\n", "scene", "velm ms/10 s", "OpenAL ms/10 s", "OpenAL/velm");
    std::printf("%-28s %14.2f %16.2f %12.2f\n", "32 static + 2 streams", ours->second, theirs->second,
                theirs->second / ours->second);
    return 0;
}
