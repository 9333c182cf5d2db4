// The content check, pictures and sounds: every tile face of a set differs from the others
// by its pixels, every sound decodes with the game's decoders to the length its file states,
// the music is long, varied and loops without a click, and every picture the screens draw is
// there at the size they draw it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/util/IniFile.h"
#include "game/shell/MusicPlaylist.h"
#include "game/shell/StageCatalogue.h"
#include "game/shell/TilesetCatalogue.h"
#include "resources/ImageLib.h"
#include "resources/ResourceManager.h"
#include "resources/sound/SoundDecoder.h"
#include "tests/content/ContentTree.h"

using namespace contenttest;

namespace {

// ---- Pictures ----

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

// A picture a screen draws, and the size it must have there: exactly the screen for the
// backgrounds, else within the bounds of its place.
struct DrawnPicture {
    const char* name;  // file without extension, or a manifest id (IMAGE_...)
    const char* drawnBy;
    int minWidth, minHeight, maxWidth, maxHeight;
};

const DrawnPicture kDrawnPictures[] = {
        {"IMAGE_TITLE_BACK", "the title screen", kScreenWidth, kScreenHeight, kScreenWidth, kScreenHeight},
        {"IMAGE_GAME_BACK", "the main menu", kScreenWidth, kScreenHeight, kScreenWidth, kScreenHeight},
        {"branding/splash1", "the logo screen", kScreenWidth, kScreenHeight, kScreenWidth, kScreenHeight},
        {"images/comix/back1", "the story (picture 1)", 200, 150, kScreenWidth, kScreenHeight},
        {"images/loc/comix1", "the story (picture 2)", 200, 150, kScreenWidth, kScreenHeight},
        {"images/loc/comix2", "the story (picture 3)", 200, 150, kScreenWidth, kScreenHeight},
        {"images/comix/back2", "the story's page", kScreenWidth, kScreenHeight, kScreenWidth, kScreenHeight},
        {"images/loc/comix3", "the story's panel at 548,436", 200, 150, kScreenWidth - 548, kScreenHeight - 436},
        {"images/comix/image", "the story's closing picture", kScreenWidth, kScreenHeight, kScreenWidth, kScreenHeight},
        {"images/highscore", "the score table", kScreenWidth, kScreenHeight, kScreenWidth, kScreenHeight},
        {"images/loc/highscores", "the score table's caption", 200, 40, kScreenWidth, 200},
        {"images/main/fakel", "the main menu's torch at 2,577", 16, 64, 200, kScreenHeight - 577},
        {"images/main/lightning", "the main menu's lightning", kScreenWidth, 200, kScreenWidth, kScreenHeight},
};

// The picture of a name as the game finds it (the manifest's path for an id); null when
// there is none.
std::unique_ptr<ImageLib::Image> LoadPicture(const std::string& name) {
    std::string path = name;
    if (name.rfind("IMAGE_", 0) == 0) {
        static const std::unique_ptr<Velm::ResourceManager> manifest = [] {
            auto manager = std::make_unique<Velm::ResourceManager>();
            manager->ParseResourcesFile("properties/resources.xml");
            return manager;
        }();
        const auto* res = manifest->GetImageRes(name);
        if (res == nullptr) return nullptr;
        path = res->mPath;
    }
    return std::unique_ptr<ImageLib::Image>(ImageLib::GetImage(path, false));
}

std::string SizeText(const ImageLib::Image& image) {
    return std::to_string(image.mWidth) + " x " + std::to_string(image.mHeight);
}

void ExpectDrawnSize(const DrawnPicture& p) {
    std::unique_ptr<ImageLib::Image> picture = LoadPicture(p.name);
    ASSERT_TRUE(picture) << p.name << " (drawn by " << p.drawnBy << ") is missing";
    EXPECT_TRUE(picture->mWidth >= p.minWidth && picture->mWidth <= p.maxWidth && picture->mHeight >= p.minHeight &&
                picture->mHeight <= p.maxHeight)
            << p.name << " (drawn by " << p.drawnBy << ") is " << SizeText(*picture) << ", not " << p.minWidth << " x "
            << p.minHeight
            << (p.minWidth == p.maxWidth ? std::string()
                                         : " .. " + std::to_string(p.maxWidth) + " x " + std::to_string(p.maxHeight));
}

std::vector<std::string> Fields(const std::string& text, char separator) {
    std::vector<std::string> out;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, separator)) out.push_back(item);
    return out;
}

TEST(ContentMedia, EveryPictureTheScreensDrawIsThereAtItsSize) {
    for (const DrawnPicture& p : kDrawnPictures) ExpectDrawnSize(p);

    // The help pages place their pictures inside the 800 x 600 help window.
    IniFile_t help;
    ASSERT_TRUE(LoadIni("data/help.txt", &help));
    int helpPictures = 0;
    for (auto s = help.SectionsBegin(); s != help.SectionsEnd(); ++s)
        for (auto k = s->second.KeysBegin(); k != s->second.KeysEnd(); ++k) {
            if (k->first.rfind("Image", 0) != 0) continue;
            const std::vector<std::string> f = Fields(k->second.value, ',');
            ASSERT_GE(f.size(), 3u) << "data/help.txt [" << s->first << "] " << k->first;
            const int x = std::atoi(f[0].c_str()), y = std::atoi(f[1].c_str());
            const std::string where = "the help page [" + s->first + "] at " + f[0] + "," + f[1];
            ExpectDrawnSize({f[2].c_str(), where.c_str(), 100, 100, 800 - x, 600 - y});
            ++helpPictures;
        }
    EXPECT_GE(helpPictures, 7) << "a picture on every help page";

    // The torch's flame: every frame of data/fire.xml, all of one size.
    std::string fire;
    ASSERT_TRUE(ReadBytes("data/fire.xml", &fire));
    int frames = 0, width = 0, height = 0;
    for (size_t at = fire.find("name=\""); at != std::string::npos; at = fire.find("name=\"", at + 1)) {
        const std::string name = fire.substr(at + 6, fire.find('"', at + 6) - at - 6);
        std::unique_ptr<ImageLib::Image> frame = LoadPicture(name);
        ASSERT_TRUE(frame) << "data/fire.xml: the flame picture " << name << " is missing";
        if (frames++ == 0) {
            width = frame->mWidth;
            height = frame->mHeight;
        }
        EXPECT_TRUE(frame->mWidth == width && frame->mHeight == height && width >= 16 && height >= 16)
                << "data/fire.xml: " << name << " is " << SizeText(*frame);
    }
    EXPECT_GE(frames, 2) << "data/fire.xml: the flame needs frames";

    // Stage backgrounds and maps fill the screen.
    for (const char* list : {"stages/stagessimple.txt", "stages/stages.txt"}) {
        StageCatalogue_t catalogue(list);
        for (int s = 0; s < catalogue.GetStageCount(); ++s) {
            const Stage_t* stage = catalogue.GetStage(s);
            for (const std::string& name : {stage->day, stage->night, stage->mapImage})
                if (!name.empty())
                    ExpectDrawnSize({name.c_str(), list, kScreenWidth, kScreenHeight, kScreenWidth, kScreenHeight});
        }
    }
}

TEST(ContentMedia, TileFacesOfASetDifferByTheirPixels) {
    TilesetCatalogue_t catalogue;
    catalogue.Load("tilesets/tilesets.set");
    ASSERT_GE(catalogue.GetCount(), 2);
    for (int t = 0; t < catalogue.GetCount(); ++t) {
        const Tileset_t* set = catalogue.GetTileset(t);
        std::map<std::vector<uint32_t>, int> seen;  // pixels -> first group showing them
        for (int g = 0; g < set->GetGroupCount(); ++g) {
            const std::string& sprite = set->GetGroup(g)->sprite;
            std::unique_ptr<ImageLib::Image> picture(ImageLib::GetImage(sprite, false));
            ASSERT_TRUE(picture) << "tile set " << t << " group " << g << ": " << sprite;
            std::vector<uint32_t> pixels(picture->mBits, picture->mBits + picture->mWidth * picture->mHeight);
            pixels.push_back(static_cast<uint32_t>(picture->mWidth));
            const auto first = seen.emplace(std::move(pixels), g);
            EXPECT_TRUE(first.second) << "tile set " << t << ": group " << g << " (" << sprite
                                      << ") shows the same face as group " << first.first->second;
        }
    }
}

// ---- Sounds ----

uint32_t Le32(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

// The frames a WAV file says it holds (its "data" chunk over its block size); -1 when the
// header cannot say.
int64_t StatedWavFrames(const std::string& bytes) {
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return -1;
    int blockAlign = 0;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const uint32_t length = Le32(bytes, at + 4);
        if (bytes.compare(at, 4, "fmt ") == 0 && at + 22 <= bytes.size())
            blockAlign = static_cast<uint8_t>(bytes[at + 20]) | static_cast<uint8_t>(bytes[at + 21]) << 8;
        if (bytes.compare(at, 4, "data") == 0) return blockAlign > 0 ? length / blockAlign : -1;
        at += 8 + length + (length & 1);
    }
    return -1;
}

// The frames an Ogg file says it holds: the granule position of its last page, which must
// close the stream; -1 when a page is cut short or the stream is never closed.
int64_t StatedOggFrames(const std::string& bytes) {
    int64_t granule = -1;
    bool closed = false;
    size_t at = 0;
    while (at < bytes.size()) {
        if (at + 27 > bytes.size() || bytes.compare(at, 4, "OggS") != 0) return -1;
        const size_t segments = static_cast<uint8_t>(bytes[at + 26]);
        if (at + 27 + segments > bytes.size()) return -1;
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) body += static_cast<uint8_t>(bytes[at + 27 + i]);
        if (at + 27 + segments + body > bytes.size()) return -1;
        granule = static_cast<int64_t>(Le32(bytes, at + 6)) | static_cast<int64_t>(Le32(bytes, at + 10)) << 32;
        closed = (bytes[at + 5] & 0x04) != 0;
        at += 27 + segments + body;
    }
    return closed ? granule : -1;
}

struct Heard {
    Velm::DecodedSound sound;
    int64_t frames = 0;
    int peak = 0;
};

// Decodes a sound with the game's decoder and compares it with the length its file states.
bool DecodeAtStatedLength(const std::string& file, Heard* heard, std::string* fault) {
    std::string bytes;
    if (!ReadBytes(file, &bytes)) {
        *fault = "cannot be read";
        return false;
    }
    const bool ogg = file.size() > 4 && file.compare(file.size() - 4, 4, ".ogg") == 0;
    const int64_t stated = ogg ? StatedOggFrames(bytes) : StatedWavFrames(bytes);
    if (stated <= 0) {
        *fault = ogg ? "is cut short (no closing page)" : "has no sound data in its header";
        return false;
    }
    if (!Velm::DecodeSoundFile(file, heard->sound) || heard->sound.BlockAlign() == 0) {
        *fault = "does not decode";
        return false;
    }
    heard->frames = static_cast<int64_t>(heard->sound.data.size() / heard->sound.BlockAlign());
    if (heard->frames != stated) {
        *fault = "decodes to " + std::to_string(heard->frames) + " frames of the " + std::to_string(stated) +
                 " it states";
        return false;
    }
    if (heard->sound.bitsPerSample == 16) {
        const int16_t* pcm = reinterpret_cast<const int16_t*>(heard->sound.data.data());
        for (size_t i = 0; i < heard->sound.data.size() / 2; ++i) heard->peak = std::max(heard->peak, std::abs(pcm[i]));
    }
    if (heard->peak < 1000) {
        *fault = "is silent";
        return false;
    }
    return true;
}

TEST(ContentMedia, EverySoundDecodesToItsStatedLength) {
    int sounds = 0;
    for (const std::string& file : ListFiles()) {
        if (file.rfind("sounds/", 0) != 0) continue;
        const std::string extension = std::filesystem::path(file).extension().string();
        if (extension == ".txt") continue;
        EXPECT_TRUE(extension == ".wav" || extension == ".ogg") << file << ": the game plays only WAV and Ogg Vorbis";
        Heard heard;
        std::string fault;
        EXPECT_TRUE(DecodeAtStatedLength(file, &heard, &fault)) << file << " " << fault;
        ++sounds;
    }
    EXPECT_GE(sounds, 30);
}

// Mean loudness of the mixed channels in blocks of `block` frames.
std::vector<float> Loudness(const Heard& heard, size_t block) {
    const int16_t* pcm = reinterpret_cast<const int16_t*>(heard.sound.data.data());
    const size_t channels = heard.sound.channels;
    std::vector<float> out;
    for (size_t start = 0; start + block <= static_cast<size_t>(heard.frames); start += block) {
        double sum = 0;
        for (size_t i = start; i < start + block; ++i)
            for (size_t c = 0; c < channels; ++c) sum += std::abs(pcm[i * channels + c]);
        out.push_back(static_cast<float>(sum / static_cast<double>(block * channels)));
    }
    return out;
}

TEST(ContentMedia, MusicIsLongVariedAndLoopsWithoutAClick) {
    MusicPlaylist_t playlist;
    playlist.Load("sounds/music/music.txt");
    std::vector<std::string> tracks = {"mainmenu"};
    std::vector<std::string> levelTracks;
    for (const auto& entry : playlist.entries)
        for (const std::string& track : entry)
            if (std::find(levelTracks.begin(), levelTracks.end(), track) == levelTracks.end())
                levelTracks.push_back(track);
    EXPECT_GE(levelTracks.size(), 3u) << "sounds/music/music.txt: at least three level tracks";
    bool playlistChanges = false;
    for (const auto& entry : playlist.entries) playlistChanges = playlistChanges || entry.size() >= 2;
    EXPECT_TRUE(playlistChanges) << "sounds/music/music.txt: an entry plays more than one track";
    tracks.insert(tracks.end(), levelTracks.begin(), levelTracks.end());

    for (const std::string& track : tracks) {
        const std::string file = "sounds/music/" + track + ".ogg";
        SCOPED_TRACE(file);
        Heard heard;
        std::string fault;
        ASSERT_TRUE(DecodeAtStatedLength(file, &heard, &fault)) << file << " " << fault;
        const uint32_t rate = heard.sound.samplesPerSec;
        EXPECT_GE(heard.frames, static_cast<int64_t>(rate) * 120) << file << " is shorter than two minutes";

        // The seam: the last frame runs into the first when the track loops, or into the
        // next track's silent first frame. Both ends lie on silence, and the steps near them
        // are small.
        const int16_t* pcm = reinterpret_cast<const int16_t*>(heard.sound.data.data());
        const size_t channels = heard.sound.channels;
        const size_t last = static_cast<size_t>(heard.frames) - 1;
        for (size_t c = 0; c < channels; ++c) {
            EXPECT_LE(std::abs(pcm[c]), 300) << file << ": the first frame is not near silence";
            EXPECT_LE(std::abs(pcm[last * channels + c]), 300) << file << ": the last frame is not near silence";
            EXPECT_LE(std::abs(pcm[last * channels + c] - pcm[c]), 400) << file << ": the loop clicks";
        }

        // Varied: at no shift of four seconds or more does the loudness repeat itself over
        // the rest of the track (a short loop played again would).
        const size_t block = rate / 10;
        const std::vector<float> loudness = Loudness(heard, block);
        float mean = 0;
        for (float v : loudness) mean += v / static_cast<float>(loudness.size());
        for (size_t shift = 40; shift <= loudness.size() / 2; ++shift) {
            float difference = 0;
            for (size_t i = 0; i + shift < loudness.size(); ++i)
                difference += std::fabs(loudness[i] - loudness[i + shift]);
            difference /= static_cast<float>(loudness.size() - shift);
            ASSERT_GT(difference, 0.08f * mean)
                    << file << " repeats itself after " << static_cast<float>(shift) / 10 << " s";
        }
    }
}

// ---- Runtime files ----

TEST(ContentMedia, FilesTheProgramWritesInItsFolderAreNoContent) {
    // What a run may leave beside the content: crash reports and logs, saved players and
    // scores where the data folder is the program's, demos, screenshots.
    const char* const kLeftByARun[] = {"crash.txt", "ScrError.txt",   "mem_leaks.txt",           "users.dat",
                                       "Anna.dat",  "scoretable.dat", "_screenshots/image0.png", "_dump/imagelist.html",
                                       "demo1.dmo"};
    for (const char* file : kLeftByARun) {
        std::filesystem::create_directories(std::filesystem::path(file).parent_path().empty()
                                                    ? std::filesystem::path(".")
                                                    : std::filesystem::path(file).parent_path());
        std::ofstream(file, std::ios::binary) << "left by a run\n";
    }
    const std::vector<std::string> files = ListFiles();
    for (const char* file : kLeftByARun) {
        EXPECT_EQ(std::find(files.begin(), files.end(), file), files.end()) << file << " is taken for content";
        std::filesystem::remove(file);
    }
    std::filesystem::remove("_screenshots");
    std::filesystem::remove("_dump");
    EXPECT_NE(std::find(files.begin(), files.end(), "termins.txt"), files.end());
    EXPECT_NE(std::find(files.begin(), files.end(), "vhwb.dat"), files.end()) << "the video-card list is content";
}

}  // namespace
