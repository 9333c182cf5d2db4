// Fuzz target: arbitrary bytes through every music decoder (tracker module from memory;
// MP3, Ogg Vorbis and WAV from a file named for the format), reading a second of each
// stream that opens, rewinding it and seeking in it.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "resources/sound/MusicStream.h"

namespace {

void Exercise(std::unique_ptr<Velm::MusicStream> stream) {
    if (!stream) return;
    std::vector<int16_t> pcm(size_t(4096) * stream->Channels());
    for (int i = 0; i < 11 && stream->Read(pcm.data(), 4096) > 0; ++i) {
    }
    stream->Rewind();
    stream->Seek(1);
    stream->Read(pcm.data(), 4096);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    Exercise(Velm::OpenModuleStream(data, size, &error));
    for (const char* name : {"fuzz-input.mp3", "fuzz-input.ogg", "fuzz-input.wav"}) {
        std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
        Exercise(Velm::OpenMusicStream(name, &error));
    }
    return 0;
}
