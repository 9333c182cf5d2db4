// A 5-minute song (a tracker module of 40 patterns, 307 s) from its file to the first block
// of mixed output, streamed through a half-second ring against decoded whole before it
// starts. Reports the time to the first block, the PCM bytes each way holds and how much
// the process's resident memory grew while the song was loaded (from /proc/self/status).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/Audio.h"
#include "resources/sound/MusicLibrary.h"
#include "resources/sound/MusicStream.h"
#include "tests/resources/sound/TrackerFixture.h"

namespace {

constexpr size_t kBlockFrames = 1024;

const std::string& SongPath() {
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() / "velm-bench-5min.mod").string();
        std::ofstream(file, std::ios::binary) << sndtest::ModFile(std::vector<int>(40, 428), 64);
        return file;
    }();
    return path;
}

double ResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            double kb = 0;
            status >> kb;
            return kb / 1024.0;
        }
    }
    return 0;
}

// Loads the song one way, starts it and mixes the first block; the channel stays loaded.
using Loader = Velm::MusicLibrary::Channel (*)(Velm::MusicLibrary&);

Velm::MusicLibrary::Channel Streamed(Velm::MusicLibrary& library) { return library.LoadStream(SongPath()); }

Velm::MusicLibrary::Channel DecodedWhole(Velm::MusicLibrary& library) {
    std::string error;
    auto stream = Velm::OpenMusicStream(SongPath(), &error);
    Velm::DecodedSound sound;
    if (!stream || !Velm::DecodeWholeStream(*stream, sound)) return 0;
    return library.LoadStream(sound);
}

void Start(benchmark::State& state, Loader load) {
    auto mixer = std::make_shared<plat::audio::Mixer>();
    Velm::MusicLibrary library(mixer);
    std::vector<int16_t> out(kBlockFrames * 2);
    double grew = 0;
    size_t held = 0;
    for (auto _ : state) {
        const double before = ResidentMegabytes();
        const auto channel = load(library);
        library.Play(channel, false, true);
        mixer->Mix(out.data(), kBlockFrames);
        benchmark::DoNotOptimize(out.data());
        state.PauseTiming();
        grew = std::max(grew, ResidentMegabytes() - before);
        held = library.HeldPcmBytes(channel);
        library.Free(channel);
        state.ResumeTiming();
    }
    if (held == 0) state.SkipWithError("the song did not load");
    state.counters["pcm_MB"] = double(held) / (1024.0 * 1024.0);
    state.counters["rss_growth_MB"] = grew;
}

void BM_StartStreamed(benchmark::State& state) { Start(state, &Streamed); }
void BM_StartDecodedWhole(benchmark::State& state) { Start(state, &DecodedWhole); }

}  // namespace

BENCHMARK(BM_StartStreamed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartDecodedWhole)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
