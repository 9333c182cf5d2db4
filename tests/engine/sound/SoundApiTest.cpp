#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "SoundTestSupport.h"
#include "engine/sound/SoundApi.h"
#include "engine/sound/SoundDescr.h"
#include "engine/storage/FileStg.h"
#include "engine/storage/Stg.h"
#include "tests/platform/TempDir.h"

using namespace soundtest;

namespace {

// A constant mono wave: every sample `value`.
std::string Flat(int16_t value, uint32_t frames) { return Wav16(1, std::vector<int16_t>(frames, value)); }

// The API on a memory description storage, a disk sounds storage (two streams of one
// file need two handles, which a memory storage does not give) and a mixer the test
// pulls; no streaming thread unless a test starts it.
class SoundApi : public ::testing::Test {
protected:
    void SetUp() override {
        CallbackLog::Clear();
        sounds = OpenStorage(dir.Path(), false);
        descrs = OpenStorage("", false);
        PutFile(descrs, "click", "WaveName=click\nGroup=Effect\n");
        PutFile(descrs, "menu", "WaveName=click\nGroup=Interf\n");
        PutFile(descrs, "base", "WaveName=click\nGroup=Effect\n");
        PutFile(descrs, "space", "WaveName=click\nGroup=World\nIs3D=1\nPosition=3,0,0\nMaxDistance=50\n");
        PutFile(descrs, "once", "WaveName=click\nGroup=Effect\nPlayIfPlay=1\n");
        PutFile(descrs, "nowave", "WaveName=missing\nGroup=Effect\n");
        PutFile(descrs, "background", "WaveName=theme\nGroup=Music\nIsStreamed=1\nIsLoop=1\n");
        PutFile(descrs, "backgroundnoloop", "Group=Music\nIsStreamed=1\n");
        PutFile(sounds, "click.wav", Flat(1000, 400));
        PutFile(sounds, "boom.wav", Flat(-2000, 400));
        PutFile(sounds, "theme.wav", Flat(3000, 30000));
        PutFile(sounds, "other.wav", Flat(500, 30000));
        PutFile(sounds, "short.wav", Flat(700, 1000));
        Sound::SetSoundsStorage(sounds);
        Sound::SetSoundDescrStorage(descrs);
        mixer = std::make_shared<plat::audio::Mixer>(kRate);
    }

    void TearDown() override {
        Sound::ShutdownSound();
        Sound::SetSoundsStorage(nullptr);
        Sound::SetSoundDescrStorage(nullptr);
        sounds->Release();
        descrs->Release();
    }

    void Start(bool noStreaming = false) {
        ASSERT_TRUE(Sound::InitSoundOnMixer(mixer, noStreaming, false));
        Sound::SetGroupVolume(1, 100);
        Sound::SetGroupVolume(3, 100);
    }

    Sound::SoundDevice_t& Device() { return *Sound::GetSoundDevice(); }
    int Service() { return Device().ServicePending(); }
    Sound::Sound_t* Find(int handle) { return Device().FindSound(handle); }
    int32_t VoiceVolume(int handle) { return Find(handle)->GetBuffer()->GetVolume(); }

    std::vector<int16_t> Pull(size_t frames) {
        std::vector<int16_t> out(frames * 2);
        mixer->Mix(out.data(), frames);
        return out;
    }

    // Fade ticks until nothing fades any more (bounded).
    void RunFades() {
        for (int i = 0; i < 200; ++i) {
            Device().TimerTick();
            Service();
        }
    }

    velmtest::TempDir dir;
    Stg_t* sounds = nullptr;
    Stg_t* descrs = nullptr;
    std::shared_ptr<plat::audio::Mixer> mixer;
};

// One chunk of a stream's ring in frames of the mono test waves.
constexpr size_t kChunkFrames = Sound::kStreamChunkBytes / 2;

}  // namespace

TEST_F(SoundApi, PlaySoundPlaysTheDescriptionsWave) {
    Start();
    EXPECT_TRUE(Sound::IsSoundReady());
    EXPECT_EQ(Sound::PlaySound("nothing"), 0);
    EXPECT_EQ(Sound::PlaySound("nowave"), 0) << "a missing wave file plays nothing";
    EXPECT_EQ(Device().GetSoundCount(), 0u);

    const int handle = Sound::PlaySound("CLICK");
    ASSERT_GT(handle, 0);
    EXPECT_TRUE(Sound::IsSoundPlaying(handle));
    EXPECT_EQ(Pull(1)[0], 1000);
    Pull(500);
    Service();
    EXPECT_FALSE(Sound::IsSoundPlaying(handle));
    EXPECT_NE(Find(handle), nullptr) << "kept for replay: not delete-after-play";
}

TEST_F(SoundApi, PlaySoundAsChangesTheDescriptionsWaveForLaterPlays) {
    Start();
    const int first = Sound::PlaySoundAs("base", "boom");
    ASSERT_GT(first, 0);
    EXPECT_EQ(Pull(1)[0], -2000);
    EXPECT_EQ(Sound::GetSoundDescrList()->Find("base")->GetWaveName(), "boom");
    Sound::StopSound(first, 0, true);
    const int second = Sound::PlaySoundAs("base", "");  // empty: the kept wave
    ASSERT_GT(second, first);
    EXPECT_EQ(Pull(1)[0], -2000);
    EXPECT_EQ(Sound::PlaySoundAs("nothing", "boom"), 0);
}

TEST_F(SoundApi, GroupVolumesInMillibels) {
    struct Row {
        int volume;
        int32_t attenuation;
        int32_t onVoice;  // limited to -9000..0
    };
    const Row rows[] = {{100, 0, 0},        {50, -602, -602},    {10, -2000, -2000}, {1, -4000, -4000},
                        {0, -10000, -9000}, {-5, -10000, -9000}, {150, 0, 0}};
    Start();
    const int playing = Sound::PlaySound("click");
    for (const Row& r : rows) {
        SCOPED_TRACE(r.volume);
        EXPECT_EQ(Sound::GroupAttenuation(r.volume), r.attenuation);
        Sound::SetGroupVolume(1, r.volume);
        EXPECT_EQ(Sound::GetGroupVolume(1), r.volume);
        EXPECT_EQ(VoiceVolume(playing), r.onVoice) << "a live sound of the group at once";
        const int fresh = Sound::PlaySound("click");
        ASSERT_GT(fresh, 0);
        EXPECT_EQ(VoiceVolume(fresh), r.onVoice) << "a new play";
        EXPECT_EQ(Sound::GetSoundDescrList()->Find("click")->GetGroupAttenuation(), r.attenuation);
    }
}

TEST_F(SoundApi, GroupVolumeTypes) {
    Start();
    Sound::SetGroupVolume(0, 40);
    Sound::SetGroupVolume(1, 50);
    Sound::SetGroupVolume(3, 60);
    Sound::SetGroupVolume(6, 10);  // ignored
    Sound::SetGroupVolume(2, 10);  // stores nothing
    EXPECT_EQ(Sound::GetGroupVolume(0), 40);
    EXPECT_EQ(Sound::GetGroupVolume(1), 50);
    EXPECT_EQ(Sound::GetGroupVolume(3), 60);
    EXPECT_EQ(Sound::GetGroupVolume(2), 0);
    EXPECT_EQ(Sound::GetGroupVolume(6), 0);

    // The Interf group takes the effects volume at its next play.
    const int menu = Sound::PlaySound("menu");
    EXPECT_EQ(VoiceVolume(menu), -602);
    Sound::SetGroupVolume(1, 100);
    EXPECT_EQ(VoiceVolume(menu), -602) << "only sounds of group 1 change at once";
}

TEST_F(SoundApi, StoppingAGroupSparesTheOthers) {
    Start();
    const int effect = Sound::PlaySound("click");
    const int interf = Sound::PlaySound("menu");
    const int world = Sound::PlaySound("space");
    ASSERT_GT(effect, 0);
    ASSERT_GT(world, 0);
    Sound::StopGroup(1, 0);
    EXPECT_FALSE(Sound::IsSoundPlaying(effect));
    EXPECT_TRUE(Sound::IsSoundPlaying(interf));
    EXPECT_TRUE(Sound::IsSoundPlaying(world));
    Sound::StopGroup(5, 0);  // every group but World
    EXPECT_FALSE(Sound::IsSoundPlaying(interf));
    EXPECT_TRUE(Sound::IsSoundPlaying(world));
}

TEST_F(SoundApi, ThreeDDescriptionsGetTheirParameters) {
    Start();
    const int handle = Sound::PlaySound("space");
    ASSERT_GT(handle, 0);
    plat::audio::Voice3D params;
    ASSERT_TRUE(Find(handle)->GetBuffer()->Get3D(params));
    EXPECT_FLOAT_EQ(params.position.x, 3.0f);
    EXPECT_FLOAT_EQ(params.maxDistance, 50.0f);
}

TEST_F(SoundApi, ReleaseAfterPlayReadsTheFileAgain) {
    Start();
    ASSERT_GT(Sound::PlaySound("once"), 0);
    EXPECT_FALSE(Sound::GetSoundDescrList()->Find("once")->HasWaveData());
    ASSERT_GT(Sound::PlaySound("click"), 0);
    EXPECT_TRUE(Sound::GetSoundDescrList()->Find("click")->HasWaveData());
    ASSERT_GT(Sound::PlaySound("once"), 0);
}

TEST_F(SoundApi, MusicCrossFadesInOrder) {
    Start();
    ASSERT_TRUE(Sound::PlayMusic("theme", 1000, 1000));
    const int first = Sound::GetCurrentMusicHandle();
    EXPECT_TRUE(Find(first)->IsStreaming());
    EXPECT_TRUE(Find(first)->IsFading()) << "fading in";
    EXPECT_STREQ(Sound::GetCurrentMusicName(), "theme");

    ASSERT_TRUE(Sound::PlayMusic("other", 1000, 1000));
    const int second = Sound::GetCurrentMusicHandle();
    EXPECT_EQ(Sound::GetPreviousMusicHandle(), first);
    EXPECT_TRUE(Sound::IsSoundPlaying(first)) << "still fading out";
    EXPECT_TRUE(Find(first)->IsFading());

    // The same name again still makes a new sound; the first music stops at once.
    ASSERT_TRUE(Sound::PlayMusic("other", 1000, 1000));
    const int third = Sound::GetCurrentMusicHandle();
    EXPECT_NE(third, second);
    EXPECT_EQ(Sound::GetPreviousMusicHandle(), second);
    Service();
    EXPECT_EQ(Find(first), nullptr) << "stopped at once and released";
    EXPECT_TRUE(Sound::IsSoundPlaying(second));
    EXPECT_TRUE(Find(second)->IsFading());
    EXPECT_TRUE(Sound::IsSoundPlaying(third));

    RunFades();
    EXPECT_EQ(Find(second), nullptr) << "faded out, stopped and released";
    EXPECT_TRUE(Sound::IsSoundPlaying(third));
    EXPECT_EQ(VoiceVolume(third), 0) << "faded in to full volume";
}

TEST_F(SoundApi, MusicWithoutBackgroundFails) {
    PutFile(descrs, "background", "Group=Nothing\n");  // refused now
    Start();
    EXPECT_FALSE(Sound::PlayMusic("theme", 0, 0));
    EXPECT_EQ(Sound::GetCurrentMusicHandle(), 0);
}

TEST_F(SoundApi, MusicOfAMissingFileEmptiesTheName) {
    Start();
    ASSERT_TRUE(Sound::PlayMusic("theme", 0, 0));
    EXPECT_FALSE(Sound::PlayMusic("absent", 0, 0));
    EXPECT_STREQ(Sound::GetCurrentMusicName(), "");
    EXPECT_EQ(Sound::GetCurrentMusicHandle(), 0);
}

TEST_F(SoundApi, NoStreamingPlaysMusicFromAStaticSound) {
    Start(true);
    ASSERT_TRUE(Sound::PlayMusic("theme", 0, 0));
    Sound::Sound_t* music = Find(Sound::GetCurrentMusicHandle());
    ASSERT_NE(music, nullptr);
    EXPECT_FALSE(music->IsStreaming());
    EXPECT_EQ(Pull(1)[0], 3000);
}

TEST_F(SoundApi, StopMusicFadesBothWithoutCallbacksAndKeepsTheName) {
    Start();
    ASSERT_TRUE(Sound::PlayMusicWithCallback("background", "theme", &CallbackLog::Record, 1));
    ASSERT_TRUE(Sound::PlayMusic("other", 0, 500));
    const int previous = Sound::GetPreviousMusicHandle();
    const int current = Sound::GetCurrentMusicHandle();
    EXPECT_EQ(Sound::StopMusic(500), 0);
    EXPECT_EQ(Sound::GetCurrentMusicHandle(), 0);
    EXPECT_EQ(Sound::GetPreviousMusicHandle(), 0);
    EXPECT_TRUE(Find(current)->IsFading());
    RunFades();
    Sound::UpdateSound();
    EXPECT_EQ(Find(previous), nullptr);
    EXPECT_EQ(Find(current), nullptr);
    EXPECT_TRUE(CallbackLog::Calls().empty());
    EXPECT_STREQ(Sound::GetCurrentMusicName(), "other");
}

TEST_F(SoundApi, EndCallbacksWaitForTheUpdate) {
    Start();
    ASSERT_TRUE(Sound::PlayMusicWithCallback("backgroundnoloop", "short", &CallbackLog::Record, 9));
    const int handle = Sound::GetCurrentMusicHandle();
    Pull(kChunkFrames + 100);  // past the end of the first chunk of the ring
    Service();
    EXPECT_TRUE(Find(handle)->IsEnded());
    EXPECT_TRUE(CallbackLog::Calls().empty()) << "not on the thread that ended the sound";
    Sound::UpdateSound();
    ASSERT_EQ(CallbackLog::Calls().size(), 1u);
    EXPECT_EQ(CallbackLog::Calls()[0], std::make_pair(handle, 9));
    Sound::UpdateSound();
    EXPECT_EQ(CallbackLog::Calls().size(), 1u) << "once";
}

namespace {
std::atomic<int> gChained{0};
std::thread::id gCallbackThread;
void ChainNext(int, int argument) {
    gCallbackThread = std::this_thread::get_id();
    ++gChained;
    if (argument > 0) Sound::PlayMusicWithCallback("backgroundnoloop", "short", &ChainNext, argument - 1);
}
}  // namespace

TEST_F(SoundApi, EndCallbacksRunOnTheMainThreadAndMayStartMusic) {
    gChained = 0;
    ASSERT_TRUE(Sound::InitSoundOnMixer(mixer, false, true));  // with the streaming thread
    Sound::SetGroupVolume(3, 100);
    ASSERT_TRUE(Sound::PlayMusicWithCallback("backgroundnoloop", "short", &ChainNext, 1));
    const int first = Sound::GetCurrentMusicHandle();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (gChained < 2 && std::chrono::steady_clock::now() < deadline) {
        Pull(2048);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        Sound::UpdateSound();
    }
    ASSERT_EQ(gChained, 2);
    EXPECT_EQ(gCallbackThread, std::this_thread::get_id());
    EXPECT_NE(Sound::GetCurrentMusicHandle(), first) << "the callback started the next track";
}

TEST_F(SoundApi, ShutdownDropsCallbacksBeforeStoppingMusic) {
    Start();
    ASSERT_TRUE(Sound::PlayMusicWithCallback("backgroundnoloop", "short", &CallbackLog::Record, 3));
    Sound::ShutdownSound();
    Sound::UpdateSound();
    EXPECT_TRUE(CallbackLog::Calls().empty());
    EXPECT_FALSE(Sound::IsSoundReady());
    EXPECT_EQ(Sound::PlaySound("click"), 0);
    EXPECT_FALSE(Sound::PlayMusic("theme", 0, 0));
    Sound::SetGroupVolume(1, 50);  // no device: stored only
    Sound::StopGroup(1, 0);
    EXPECT_EQ(Sound::StopSound(1, 0, true), 0);
    EXPECT_FALSE(Sound::IsSoundPlaying(1));
}

TEST_F(SoundApi, WithoutADescriptionStorageSoundStartsSilently) {
    Sound::SetSoundDescrStorage(nullptr);
    ASSERT_TRUE(Sound::InitSoundOnMixer(mixer, false, false));
    EXPECT_TRUE(Sound::IsSoundReady());
    EXPECT_EQ(Sound::GetSoundDescrList()->Size(), 0u);
    EXPECT_EQ(Sound::PlaySound("click"), 0);
    EXPECT_FALSE(Sound::PlayMusic("theme", 0, 0));
}

TEST_F(SoundApi, WithoutASoundCardEveryPlayAnswersZero) {
    ASSERT_TRUE(Sound::InitSoundOnMixer(nullptr, false, false));
    Sound::SetGroupVolume(1, 100);
    EXPECT_EQ(Sound::PlaySound("click"), 0);
    EXPECT_FALSE(Sound::PlayMusic("theme", 0, 0));
    EXPECT_FALSE(Sound::PlayMusicWithCallback("backgroundnoloop", "short", &CallbackLog::Record, 0));
    EXPECT_EQ(Sound::StopMusic(100), 0);
}

TEST_F(SoundApi, InitSoundOnTheDummyDriver) {
    // The real start-up path: the sound card (SDL's dummy driver under test, or none).
    ASSERT_TRUE(Sound::InitSound(nullptr, false));
    EXPECT_TRUE(Sound::IsSoundReady());
    EXPECT_GT(Sound::GetSoundDescrList()->Size(), 0u);
    Sound::SetGroupVolume(1, 100);
    const int handle = Sound::PlaySound("click");
    EXPECT_EQ(handle != 0, Device().HasAudio());
    Sound::ShutdownSound();
    EXPECT_FALSE(Sound::IsSoundReady());
}
