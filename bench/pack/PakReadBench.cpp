// Reading a 20 MB pack entry (unscrambled byte by byte from the mapping)
// against a plain memcpy of the same number of bytes. Prints the ratio of the
// two times at the end.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "resources/pack/PakInterface.h"
#include "resources/pack/PakWriter.h"

namespace {

const size_t kEntrySize = 20u << 20;

struct Fixture {
    Fixture() {
        path = (std::filesystem::temp_directory_path() / "velm_bench_main.pak").string();
        std::string content(kEntrySize, '\0');
        for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 131 + (i >> 9));
        std::string bytes;
        BuildPak({{"big.bin", content, 0}}, bytes);
        std::ofstream(path, std::ios::binary) << bytes;
        pack.AddPakFile(path);
        source.assign(content.begin(), content.end());
        target.resize(kEntrySize);
    }
    ~Fixture() { std::filesystem::remove(path); }
    std::string path;
    PakInterface pack;
    std::vector<char> source;
    std::vector<char> target;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_PakReadEntry(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        PakFileHandle* file = f.pack.FOpen("big.bin", "rb");
        const int got = f.pack.FRead(f.target.data(), 1, static_cast<int>(kEntrySize), file);
        f.pack.FClose(file);
        benchmark::DoNotOptimize(got);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kEntrySize));
}
BENCHMARK(BM_PakReadEntry)->Unit(benchmark::kMillisecond);

void BM_Memcpy(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        std::memcpy(f.target.data(), f.source.data(), kEntrySize);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kEntrySize));
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's real time per iteration for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto pak = reporter.times.find("BM_PakReadEntry");
    const auto copy = reporter.times.find("BM_Memcpy");
    if (pak != reporter.times.end() && copy != reporter.times.end() && copy->second > 0) {
        std::printf("pack entry read / memcpy: %.2f\n", pak->second / copy->second);
    }
    benchmark::Shutdown();
    return 0;
}
