#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SoundFixtures.h"
#include "platform/Audio.h"
#include "resources/sound/BassMusicInterface.h"
#include "resources/sound/FModMusicInterface.h"
#include "resources/sound/MusicLibrary.h"

using namespace sndtest;

namespace {

constexpr uint32_t kRate = 22050;

std::vector<int16_t> Flat(size_t frames, int16_t value) { return std::vector<int16_t>(frames, value); }

class MusicFiles : public SoundFolder {
protected:
    void SetUp() override {
        SoundFolder::SetUp();
        Write("music/theme.wav", Wav16(1, kRate, Flat(2000, 3000)));
        Write("music/other.ogg.wav", Wav16(1, kRate, Flat(10, 1)));
        Write("music/song.mod", "M.K. a tracker module");
        Write("music/song.mp3", "ID3");
    }
    std::vector<int16_t> Pull(size_t frames) {
        std::vector<int16_t> out(frames * 2);
        mixer->Mix(out.data(), frames);
        return out;
    }
    std::shared_ptr<plat::audio::Mixer> mixer = std::make_shared<plat::audio::Mixer>(kRate);
    std::shared_ptr<Velm::MusicLibrary> library = std::make_shared<Velm::MusicLibrary>(mixer);
};

}  // namespace

TEST_F(MusicFiles, StreamsPlayAndBrokenFilesDoNotLoad) {
    Velm::BassMusicInterface music(library);
    EXPECT_FALSE(music.LoadMusic(1, "music/song.mod")) << "not a tracker module";
    EXPECT_FALSE(music.LoadMusic(2, "music/song.mp3")) << "no MPEG audio in it";
    EXPECT_FALSE(music.LoadMusic(3, "music/absent.ogg"));
    EXPECT_FALSE(music.LoadMusic(3, "music/absent.xm"));
    ASSERT_TRUE(music.LoadMusic(4, "music/THEME.WAV") || music.LoadMusic(4, "music/theme.wav"));
    EXPECT_EQ(music.GetSong(4)->fade.volume, 0.0);
    EXPECT_FALSE(music.IsPlaying(4));

    music.PlayMusic(4);
    EXPECT_TRUE(music.IsPlaying(4));
    EXPECT_EQ(Pull(1)[0], 3000) << "full volume";
    music.PauseMusic(4);
    EXPECT_FALSE(music.IsPlaying(4));
    EXPECT_EQ(Pull(1)[0], 0);
    music.ResumeAllMusic();
    EXPECT_TRUE(music.IsPlaying(4));
    music.PauseAllMusic();
    music.ResumeMusic(4);
    EXPECT_TRUE(music.IsPlaying(4));
    music.SetVolume(0.0);
    EXPECT_EQ(Pull(1)[0], 0) << "the music volume";
    music.SetVolume(1.0);
    music.StopAllMusic();
    EXPECT_FALSE(music.IsPlaying(4));
    EXPECT_EQ(music.GetSong(4)->fade.volume, 0.0);
    music.UnloadMusic(4);
    EXPECT_EQ(music.GetSong(4), nullptr);
    music.PlayMusic(4);  // a missing id does nothing
    EXPECT_FALSE(music.IsPlaying(4));
}

TEST_F(MusicFiles, TheSameIdKeepsItsFirstSong) {
    Velm::BassMusicInterface music(library);
    ASSERT_TRUE(music.LoadMusic(1, "music/theme.wav"));
    const uint32_t first = music.GetSong(1)->Handle();
    EXPECT_TRUE(music.LoadMusic(1, "music/other.ogg.wav"));
    EXPECT_EQ(music.GetSong(1)->Handle(), first);
}

TEST_F(MusicFiles, FadesStepPerUpdate) {
    Velm::BassMusicInterface music(library);
    ASSERT_TRUE(music.LoadMusic(1, "music/theme.wav"));
    music.FadeIn(1, -1, 0.01, false);
    EXPECT_TRUE(music.IsPlaying(1));
    for (int i = 0; i < 99; ++i) music.Update();
    EXPECT_LT(music.GetSong(1)->fade.volume, 1.0);
    music.Update();
    EXPECT_EQ(music.GetSong(1)->fade.volume, 1.0) << "the cap after 100 updates";
    EXPECT_EQ(music.GetSong(1)->fade.step, 0.0);
    music.Update();
    EXPECT_EQ(music.GetSong(1)->fade.volume, 1.0);

    music.FadeOut(1, true, 0.3);
    music.Update();
    music.Update();
    music.Update();
    EXPECT_TRUE(music.IsPlaying(1));
    music.Update();  // 1.0 - 4 x 0.3 falls below 0
    EXPECT_FALSE(music.IsPlaying(1));
    EXPECT_EQ(music.GetSong(1)->fade.volume, 0.0);

    // A fade-out from silence does not start.
    music.FadeOut(1, true, 0.3);
    EXPECT_EQ(music.GetSong(1)->fade.step, 0.0);
}

TEST_F(MusicFiles, TheCapLimitsFades) {
    Velm::BassMusicInterface music(library);
    ASSERT_TRUE(music.LoadMusic(1, "music/theme.wav"));
    music.SetSongVolume(1, 0.8);
    music.SetSongMaxVolume(1, 0.5);
    EXPECT_EQ(music.GetSong(1)->fade.volume, 0.5);
    music.FadeIn(1, 0, 0.2, false);
    for (int i = 0; i < 10; ++i) music.Update();
    EXPECT_EQ(music.GetSong(1)->fade.volume, 0.5);
    music.PlayMusic(1);
    EXPECT_EQ(music.GetSong(1)->fade.volume, 0.5) << "a plain play starts at the cap";
    // Half the linear volume is -602 millibels on the voice: the samples halve.
    EXPECT_NEAR(Pull(1)[0], 1500, 2);
}

TEST_F(MusicFiles, FadeOutAllReachesEverySongOnBassButOnlyTheFirstOnFMod) {
    const std::string ogg = OggFixture();
    if (ogg.empty()) GTEST_SKIP() << "no Ogg Vorbis fixture";
    Write("music/a.ogg", ogg);
    Write("music/b.ogg", ogg);
    Velm::FModMusicInterface fmod(library);
    ASSERT_TRUE(fmod.LoadSample(7, "music/a", true));
    ASSERT_TRUE(fmod.LoadSample(3, "music/b", true));
    fmod.PlayMusic(3);
    fmod.PlayMusic(7);
    fmod.FadeOutAll(true, 0.5);
    EXPECT_EQ(fmod.GetSong(3)->fade.step, -0.5);
    EXPECT_EQ(fmod.GetSong(7)->fade.step, 0.0);

    Velm::BassMusicInterface bass(library);
    ASSERT_TRUE(bass.LoadMusic(7, "music/a.ogg"));
    ASSERT_TRUE(bass.LoadMusic(3, "music/b.ogg"));
    bass.FadeOutAll(false, 0.5);
    EXPECT_EQ(bass.GetSong(3)->fade.step, -0.5);
    EXPECT_EQ(bass.GetSong(7)->fade.step, -0.5);
}

TEST_F(MusicFiles, FModSamplesAreCachedAsPlainWav) {
    const std::string ogg = OggFixture();
    if (ogg.empty()) GTEST_SKIP() << "no Ogg Vorbis fixture";
    Write("music/loop.ogg", ogg);
    Velm::FModMusicInterface music(library);
    EXPECT_FALSE(music.LoadMusic(1, "music/song.mod")) << "not a tracker module";
    ASSERT_TRUE(music.LoadSample(1, "music/loop", true));
    const std::string cache = ReadAll(Path("appdata/cached/loop.wav"));
    ASSERT_GT(cache.size(), 44u);
    EXPECT_EQ(cache.substr(0, 4), "RIFF");
    EXPECT_EQ(cache.substr(36, 4), "data") << "no \"dep \" or \"xor \" chunk";
    EXPECT_EQ(cache.size(), 44 + library->GetSound(music.GetSong(1)->Handle())->data.size());

    // The cache is used whenever it exists, even without the source.
    std::filesystem::remove(Path("music/loop.ogg"));
    ASSERT_TRUE(music.LoadSample(2, "other/loop", false));
    EXPECT_FALSE(music.LoadSample(3, "music/none", false));

    music.PlayMusic(1);
    EXPECT_TRUE(music.IsPlaying(1));
    music.SetVolume(0.5);
    music.SetSongVolume(1, 0.5);
    music.StopMusic(1);
    EXPECT_FALSE(music.IsPlaying(1));
}

TEST_F(MusicFiles, AnIntroPlaysOnceThenTheLoopRepeats) {
    Write("intro.wav", Wav16(1, kRate, Flat(100, 1000)));
    Write("body.wav", Wav16(1, kRate, Flat(50, -1000)));
    Velm::DecodedSound intro, body;
    ASSERT_TRUE(Velm::DecodeSoundFile("intro.wav", intro));
    ASSERT_TRUE(Velm::DecodeSoundFile("body.wav", body));
    const auto joined = library->JoinSamples(library->LoadStream(intro), library->LoadStream(body));
    ASSERT_NE(joined, 0u);
    ASSERT_TRUE(library->Play(joined, true, true));
    auto out = Pull(100);
    EXPECT_EQ(out[0], 1000);
    EXPECT_EQ(out[198], 1000);
    library->Update();
    for (int pass = 0; pass < 3; ++pass) {
        out = Pull(50);
        SCOPED_TRACE(pass);
        EXPECT_EQ(out[0], -1000);
        EXPECT_EQ(out[98], -1000);
    }
    EXPECT_EQ(library->GetState(joined), Velm::MusicLibrary::kPlaying);

    // Different formats do not join.
    Write("fast.wav", Wav16(1, 44100, Flat(10, 1)));
    Velm::DecodedSound fast;
    ASSERT_TRUE(Velm::DecodeSoundFile("fast.wav", fast));
    EXPECT_EQ(library->JoinSamples(library->LoadStream(intro), library->LoadStream(fast)), 0u);
}

TEST_F(MusicFiles, FModIntroAndLoopFromCachedSamples) {
    const std::string ogg = OggFixture();
    if (ogg.empty()) GTEST_SKIP() << "no Ogg Vorbis fixture";
    Write("music/intro.ogg", ogg);
    Write("music/body.ogg", ogg);
    Velm::FModMusicInterface music(library);
    ASSERT_TRUE(music.LoadSampleWithIntro(5, "music/intro", "music/body", true));
    EXPECT_FALSE(music.LoadSampleWithIntro(6, "music/intro", "music/none", true));
    music.FadeIn(5, -1, 0.1, false);
    EXPECT_TRUE(music.IsPlaying(5));
}

TEST(MusicSilent, WithoutASoundCardNothingLoadsOrPlays) {
    auto library = std::make_shared<Velm::MusicLibrary>(nullptr);
    Velm::BassMusicInterface bass(library);
    EXPECT_FALSE(bass.LoadMusic(1, "anything.ogg"));
    bass.PlayMusic(1);
    bass.FadeIn(1);
    bass.Update();
    EXPECT_FALSE(bass.IsPlaying(1));
    Velm::FModMusicInterface fmod(library);
    EXPECT_FALSE(fmod.LoadSample(1, "anything", true));
    EXPECT_FALSE(fmod.IsPlaying(1));

    Velm::MusicInterface base;  // the silent back-end the game uses
    EXPECT_FALSE(base.LoadMusic(1, "x.ogg"));
    base.PlayMusic(1);
    base.Update();
    EXPECT_FALSE(base.IsPlaying(1));
}
