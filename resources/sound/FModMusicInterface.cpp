#include "resources/sound/FModMusicInterface.h"

#include <cmath>
#include <vector>

#include "platform/Files.h"
#include "resources/base/Paths.h"
#include "resources/sound/WavBytes.h"

namespace Velm {
namespace {

// A plain PCM WAV image: "RIFF", "WAVE", a 16-byte "fmt " chunk, "data" (no other chunk,
// no scrambling).
std::vector<uint8_t> PlainWav(const DecodedSound& sound) {
    std::vector<uint8_t> out;
    const uint32_t size = uint32_t(sound.data.size());
    wav::PutPcmHead(out, size + 36, sound.channels, sound.samplesPerSec, sound.bitsPerSample);
    wav::PutTag(out, "data");
    wav::Put32(out, size);
    out.insert(out.end(), sound.data.begin(), sound.data.end());
    return out;
}

}  // namespace

FModMusicInterface::FModMusicInterface(void*) : FModMusicInterface(MusicLibrary::Acquire()) {}

FModMusicInterface::FModMusicInterface(std::shared_ptr<MusicLibrary> library)
        : mLibrary(std::move(library)), mSongs(*mLibrary) {}

FModMusicInterface::~FModMusicInterface() = default;

FModSongRecord* FModMusicInterface::Find(int songId) { return mSongs.Find(songId); }

const FModSongRecord* FModMusicInterface::GetSong(int songId) const { return mSongs.Find(songId); }

void FModMusicInterface::SendVolume(const FModSongRecord& song) {
    const int scale = song.module != 0 ? mModuleVolumeScale : mSampleVolumeScale;
    const double level = std::trunc(scale * mMusicVolume * song.fade.volume);  // 0..100
    mLibrary->SetVolume(song.Handle(), level / 100.0);
}

bool FModMusicInterface::LoadMusic(int songId, const std::string& fileName) {
    std::vector<uint8_t> bytes;
    if (!plat::ReadFile(fileName, bytes)) {
        MusicLibrary::ReportLoadFailure(fileName, "cannot open the file");
        return false;
    }
    FModSongRecord record;
    record.module = mLibrary->LoadModule(bytes.data(), bytes.size(), fileName);
    if (record.module == 0) return false;
    return mSongs.Add(songId, record);
}

std::string FModMusicInterface::CachePath(const std::string& fileName) {
    const std::string folder = GetAppDataFolder();
    if (folder.empty()) return "";
    return folder + "cached\\" + GetFileName(fileName, true) + ".wav";
}

MusicLibrary::Channel FModMusicInterface::LoadCachedSample(const std::string& fileName) {
    const std::string cache = CachePath(fileName);
    if (!cache.empty()) {
        MakeFolders(GetFolderPart(cache, false));
        DecodedSound cached;
        if (DecodeSoundFile(cache, cached)) {
            if (MusicLibrary::Channel channel = mLibrary->LoadStream(cached)) return channel;
        }
    }
    DecodedSound sound;
    if (!DecodeSoundFile(fileName + ".ogg", sound)) return 0;
    const MusicLibrary::Channel channel = mLibrary->LoadStream(sound);
    if (channel != 0 && !cache.empty()) {
        const std::vector<uint8_t> image = PlainWav(sound);
        plat::WriteFileAtomic(cache, image.data(), image.size());  // a cache that cannot be written is no failure
    }
    return channel;
}

bool FModMusicInterface::LoadSample(int songId, const std::string& fileName, bool loop) {
    FModSongRecord record;
    record.sample = LoadCachedSample(fileName);
    if (record.sample == 0) return false;
    record.loop = loop;
    return mSongs.Add(songId, record);
}

bool FModMusicInterface::LoadSampleWithIntro(int songId, const std::string& introName, const std::string& loopName,
                                             bool loop) {
    const MusicLibrary::Channel intro = LoadCachedSample(introName);
    const MusicLibrary::Channel body = LoadCachedSample(loopName);
    if (intro == 0 || body == 0) {
        mLibrary->Free(intro);
        mLibrary->Free(body);
        return false;
    }
    FModSongRecord record;
    record.sample = mLibrary->JoinSamples(intro, body);  // frees both parts
    if (record.sample == 0) {
        mLibrary->Free(intro);
        mLibrary->Free(body);
        return false;
    }
    record.loop = loop;
    return mSongs.Add(songId, record);
}

void FModMusicInterface::PlayMusic(int songId, int offset, bool noLoop) {
    FModSongRecord* song = Find(songId);
    if (!song) return;
    song->fade.volume = song->fade.cap;
    song->fade.step = 0.0;
    if (song->module != 0) {
        SendVolume(*song);
        mLibrary->Play(song->module, !noLoop, true);
        mLibrary->SetOrder(song->module, offset);
        return;
    }
    // A sample plays from its start with its own loop flag, whatever `noLoop` says.
    mLibrary->Play(song->Handle(), song->loop, true);
    SendVolume(*song);
}

void FModMusicInterface::FadeIn(int songId, int offset, double speed, bool noLoop) {
    FModSongRecord* song = Find(songId);
    if (!song) return;
    song->fade.step = speed;
    const bool loop = song->module != 0 ? !noLoop : song->loop;
    if (mLibrary->GetState(song->Handle()) != MusicLibrary::kPlaying) mLibrary->Play(song->Handle(), loop, true);
    if (song->module != 0 && offset != -1) mLibrary->SetOrder(song->module, offset);
    SendVolume(*song);
}

void FModMusicInterface::FadeOut(int songId, bool stopWhenSilent, double speed) {
    FModSongRecord* song = Find(songId);
    if (!song) return;
    song->fade.stopWhenSilent = stopWhenSilent;
    song->fade.step = -speed;
}

void FModMusicInterface::FadeOutAll(bool stopWhenSilent, double speed) {
    // Only the song with the lowest id.
    if (!mSongs.Songs().empty()) FadeOut(mSongs.Songs().begin()->first, stopWhenSilent, speed);
}

void FModMusicInterface::StopMusic(int songId) { mSongs.Stop(songId); }

void FModMusicInterface::StopAllMusic() {
    for (auto& entry : mSongs.Songs()) StopMusic(entry.first);
}

void FModMusicInterface::PauseMusic(int songId) { mSongs.Pause(songId); }

void FModMusicInterface::ResumeMusic(int songId) { mSongs.Resume(songId); }

void FModMusicInterface::SetSongVolume(int songId, double volume) {
    FModSongRecord* song = Find(songId);
    if (!song) return;
    song->fade.volume = volume;
    SendVolume(*song);
}

void FModMusicInterface::SetVolume(double volume) {
    mMusicVolume = volume;
    for (auto& entry : mSongs.Songs()) SendVolume(entry.second);
}

bool FModMusicInterface::IsPlaying(int songId) { return mSongs.IsPlaying(songId); }

void FModMusicInterface::Update() {
    mSongs.StepFades([this](const FModSongRecord& song) { SendVolume(song); });
}

}  // namespace Velm
