#include "resources/sound/BassMusicInterface.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "resources/base/StringUtils.h"
#include "resources/pack/PakFile.h"

namespace Velm {
namespace {

// Volumes reach the library in whole hundredths, as the library's 0..100 scale takes them.
double Hundredths(double volume) { return std::trunc(volume * 100.0) / 100.0; }

// A tracker module's amplification on the library's 0..100 scale, 50 being as composed.
constexpr double kAmplifyUnity = 50.0;

bool ReadWholePackFile(const std::string& fileName, std::vector<uint8_t>& out) {
    PakFileHandle* file = PakFOpen(fileName.c_str(), "rb");
    if (!file) return false;
    PakFSeek(file, 0, SEEK_END);
    const long size = PakFTell(file);
    PakFSeek(file, 0, SEEK_SET);
    out.assign(size_t(size > 0 ? size : 0), 0);
    const int read = size > 0 ? PakFRead(out.data(), 1, int(size), file) : 0;
    PakFClose(file);
    out.resize(size_t(read > 0 ? read : 0));
    return true;
}

}  // namespace

BassMusicInterface::BassMusicInterface(void*) : BassMusicInterface(MusicLibrary::Acquire()) {}

BassMusicInterface::BassMusicInterface(std::shared_ptr<MusicLibrary> library)
        : mLibrary(std::move(library)), mSongs(*mLibrary) {}

BassMusicInterface::~BassMusicInterface() = default;

BassSongRecord* BassMusicInterface::Find(int songId) { return mSongs.Find(songId); }

const BassSongRecord* BassMusicInterface::GetSong(int songId) const { return mSongs.Find(songId); }

void BassMusicInterface::SendVolume(const BassSongRecord& song) {
    mLibrary->SetVolume(song.Handle(), Hundredths(song.fade.volume));
}

bool BassMusicInterface::LoadMusic(int songId, const std::string& fileName) {
    const size_t dot = fileName.find_last_of('.');
    const std::string extension = dot == std::string::npos ? "" : StringToLower(fileName.substr(dot + 1));
    BassSongRecord record;
    if (extension == "wav" || extension == "ogg" || extension == "mp3") {
        record.stream = mLibrary->LoadStream(fileName);  // read by name from the disk
    } else {
        std::vector<uint8_t> bytes;
        if (!ReadWholePackFile(fileName, bytes)) {
            MusicLibrary::ReportLoadFailure(fileName, "cannot open the file");
            return false;
        }
        record.module = mLibrary->LoadModule(bytes.data(), bytes.size(), fileName);
    }
    if (record.Handle() == 0) return false;
    return mSongs.Add(songId, record);
}

void BassMusicInterface::StartStream(const BassSongRecord& song, int offset, bool noLoop) {
    mLibrary->Play(song.Handle(), !noLoop, offset != -1);
    if (offset > 0) mLibrary->SetPosition(song.Handle(), uint64_t(offset));
}

void BassMusicInterface::PlayModuleAt(const BassSongRecord& song, int offset, bool noLoop) {
    mLibrary->Stop(song.Handle());
    mLibrary->Play(song.Handle(), !noLoop, true);
    const int order = offset & 0xFFFF;  // the low word names the order, from its first row
    if (order > 0) mLibrary->SetOrder(song.Handle(), order);
}

void BassMusicInterface::Start(const BassSongRecord& song, int offset, bool noLoop, bool fadingIn) {
    if (song.module == 0) {
        StartStream(song, offset, noLoop);
    } else if (fadingIn && offset == -1) {
        mLibrary->Play(song.Handle(), !noLoop, true);
    } else {
        PlayModuleAt(song, offset, noLoop);
    }
}

void BassMusicInterface::PlayMusic(int songId, int offset, bool noLoop) {
    BassSongRecord* song = Find(songId);
    if (!song) return;
    song->fade.volume = song->fade.cap;
    song->fade.step = 0.0;
    song->fade.stopWhenSilent = noLoop;
    SendVolume(*song);
    mLibrary->Stop(song->Handle());
    Start(*song, offset, noLoop, false);
}

void BassMusicInterface::FadeIn(int songId, int offset, double speed, bool noLoop) {
    BassSongRecord* song = Find(songId);
    if (!song) return;
    song->fade.step = speed;
    song->fade.stopWhenSilent = noLoop;
    mLibrary->Stop(song->Handle());
    SendVolume(*song);  // the fade rises from wherever the volume stands
    Start(*song, offset, noLoop, true);
}

void BassMusicInterface::FadeOut(int songId, bool stopWhenSilent, double speed) {
    BassSongRecord* song = Find(songId);
    if (!song) return;
    if (song->fade.volume != 0.0) song->fade.step = -speed;
    song->fade.stopWhenSilent = stopWhenSilent;
}

void BassMusicInterface::FadeOutAll(bool stopWhenSilent, double speed) {
    for (auto& entry : mSongs.Songs()) {
        entry.second.fade.step = -speed;
        entry.second.fade.stopWhenSilent = stopWhenSilent;
    }
}

void BassMusicInterface::StopMusic(int songId) { mSongs.Stop(songId); }

void BassMusicInterface::StopAllMusic() {
    for (auto& entry : mSongs.Songs()) StopMusic(entry.first);
}

void BassMusicInterface::PauseMusic(int songId) { mSongs.Pause(songId); }

void BassMusicInterface::ResumeMusic(int songId) { mSongs.Resume(songId); }

void BassMusicInterface::PauseAllMusic() {
    for (auto& entry : mSongs.Songs()) {
        if (mLibrary->GetState(entry.second.Handle()) == MusicLibrary::kPlaying) mLibrary->Pause(entry.second.Handle());
    }
}

void BassMusicInterface::ResumeAllMusic() {
    for (auto& entry : mSongs.Songs()) {
        if (mLibrary->GetState(entry.second.Handle()) == MusicLibrary::kPaused) mLibrary->Resume(entry.second.Handle());
    }
}

void BassMusicInterface::UnloadMusic(int songId) {
    BassSongRecord* song = Find(songId);
    if (!song) return;
    StopMusic(songId);
    mLibrary->Free(song->Handle());
    mSongs.Songs().erase(songId);
}

void BassMusicInterface::UnloadAllMusic() {
    StopAllMusic();
    for (auto& entry : mSongs.Songs()) mLibrary->Free(entry.second.Handle());
    mSongs.Songs().clear();
}

void BassMusicInterface::SetSongVolume(int songId, double volume) {
    BassSongRecord* song = Find(songId);
    if (!song) return;
    song->fade.volume = volume;
    SendVolume(*song);
}

void BassMusicInterface::SetSongMaxVolume(int songId, double volume) {
    BassSongRecord* song = Find(songId);
    if (!song) return;
    song->fade.cap = volume;
    song->fade.volume = std::min(volume, song->fade.volume);
    SendVolume(*song);
}

bool BassMusicInterface::IsPlaying(int songId) { return mSongs.IsPlaying(songId); }

void BassMusicInterface::SetVolume(double volume) { mLibrary->SetMasterVolume(Hundredths(volume)); }

void BassMusicInterface::SetMusicAmplify(int songId, double amplify) {
    BassSongRecord* song = Find(songId);
    if (song && song->module != 0) mLibrary->SetAmplify(song->module, std::trunc(amplify * 100.0) / kAmplifyUnity);
}

void BassMusicInterface::Update() {
    mSongs.StepFades([this](const BassSongRecord& song) { SendVolume(song); });
}

}  // namespace Velm
