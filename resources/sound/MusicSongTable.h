#pragma once

// The songs of a music back-end, by id, on one MusicLibrary. A record names its channel
// through Handle() and carries its MusicFade; the table frees every channel it still
// holds when it goes. The library must outlive the table. Main thread only.

#include <map>

#include "resources/sound/MusicInterface.h"
#include "resources/sound/MusicLibrary.h"

namespace Velm {

template <class Record>
class MusicSongTable {
public:
    explicit MusicSongTable(MusicLibrary& library) : mLibrary(library) {}
    ~MusicSongTable() {
        for (auto& entry : mSongs) mLibrary.Free(entry.second.Handle());
    }
    MusicSongTable(const MusicSongTable&) = delete;
    MusicSongTable& operator=(const MusicSongTable&) = delete;

    std::map<int, Record>& Songs() { return mSongs; }

    Record* Find(int songId) {
        auto it = mSongs.find(songId);
        return it != mSongs.end() ? &it->second : nullptr;
    }
    const Record* Find(int songId) const {
        auto it = mSongs.find(songId);
        return it != mSongs.end() ? &it->second : nullptr;
    }

    // An id that already has a song keeps its first one and the new channel is freed;
    // the load counts as done either way.
    bool Add(int songId, const Record& record) {
        if (mSongs.count(songId) != 0) {
            mLibrary.Free(record.Handle());
            return true;
        }
        mSongs[songId] = record;
        return true;
    }

    // Silences the song (a later fade-in rises from 0) and stops its channel.
    void Stop(int songId) {
        Record* song = Find(songId);
        if (!song) return;
        song->fade.volume = 0.0;
        mLibrary.Stop(song->Handle());
    }

    void Pause(int songId) {
        if (Record* song = Find(songId)) mLibrary.Pause(song->Handle());
    }

    void Resume(int songId) {
        if (Record* song = Find(songId)) mLibrary.Resume(song->Handle());
    }

    bool IsPlaying(int songId) const {
        const Record* song = Find(songId);
        return song && mLibrary.GetState(song->Handle()) == MusicLibrary::kPlaying;
    }

    // Steps every fade once; a song whose fade-out reached silence with its stop flag set
    // is stopped, and every song whose volume moved goes to `sendVolume`. Then the
    // library runs its own update.
    template <class SendVolume>
    void StepFades(SendVolume sendVolume) {
        for (auto& entry : mSongs) {
            bool stopNow = false;
            if (!entry.second.fade.Step(stopNow)) continue;
            if (stopNow) mLibrary.Stop(entry.second.Handle());
            sendVolume(entry.second);
        }
        mLibrary.Update();
    }

private:
    MusicLibrary& mLibrary;
    std::map<int, Record> mSongs;
};

}  // namespace Velm
