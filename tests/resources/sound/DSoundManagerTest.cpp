#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "SoundFixtures.h"
#include "platform/Audio.h"
#include "platform/Clock.h"
#include "resources/sound/DSoundManager.h"

using namespace sndtest;
using Velm::DSoundManager;

namespace {

// Reads the 16-bit samples a loaded id holds.
std::vector<int16_t> SamplesOf(DSoundManager& m, unsigned id) {
    plat::audio::Voice* voice = const_cast<plat::audio::Voice*>(m.GetSoundBuffer(id));
    std::vector<int16_t> out;
    if (!voice) return out;
    plat::audio::LockedRegion r;
    if (!voice->Lock(0, 0, r, true)) return out;
    out.resize(r.bytes1 / 2);
    std::memcpy(out.data(), r.part1, out.size() * 2);
    voice->Unlock();
    return out;
}

class SoundManagerFiles : public SoundFolder {
protected:
    std::shared_ptr<plat::audio::Mixer> mixer = std::make_shared<plat::audio::Mixer>();
};

}  // namespace

TEST_F(SoundManagerFiles, PlainWavIsReadAndNotCached) {
    const auto pcm = Ramp(300);
    Write("sounds/click.wav", Wav16(1, 22050, pcm));
    DSoundManager m(mixer, true);
    ASSERT_TRUE(m.LoadSound(4, "sounds/click"));
    EXPECT_EQ(SamplesOf(m, 4), pcm);
    EXPECT_EQ(m.GetDataSize(4), 600);
    EXPECT_EQ(m.GetSoundBuffer(4)->Desc().format.samplesPerSec, 22050u);
    EXPECT_EQ(m.GetNumSounds(), 1);
    EXPECT_EQ(m.GetSoundFileName(4), "sounds/click");
    EXPECT_FALSE(Exists("appdata/cached/sounds/click.wav"));
    EXPECT_FALSE(m.LoadSound(5, "sounds/missing"));
    EXPECT_EQ(m.GetNumSounds(), 1);
}

TEST_F(SoundManagerFiles, WavChunkRows) {
    const auto pcm = Ramp(64);
    const std::string data = Chunk("data", Samples16(pcm));
    struct Row {
        const char* why;
        std::string file;
        bool loads;
    };
    // clang-format off
    const Row rows[] = {
            {"odd chunk before fmt, with its pad byte", Riff(Chunk("LIST", "abc") + Fmt(1, 22050, 16) + data), true},
            {"odd chunk between fmt and data", Riff(Fmt(1, 22050, 16) + Chunk("junk", "x") + data), true},
            {"format tag 3 (float)", Riff(Fmt(1, 22050, 16, 3) + data), false},
            {"no data chunk", Riff(Fmt(1, 22050, 16)), false},
            {"data length beyond the file", Riff(Fmt(1, 22050, 16)) + "data" + std::string("\xff\xff\x00\x00", 4) + "ab",
             false},
            {"not RIFF", "RIFX" + Riff(data).substr(4), false},
            {"empty file", "", false},
            {"8-bit stereo", Riff(Fmt(2, 11025, 8) + Chunk("data", std::string(40, '\x80'))), true},
            {"three channels", Riff(Fmt(3, 22050, 16) + data), false},
    };
    // clang-format on
    DSoundManager m(mixer, false);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        Write("row.wav", r.file);
        EXPECT_EQ(m.LoadSound(0, "row"), r.loads);
        if (r.loads && r.file.find("LIST") != std::string::npos) {
            EXPECT_EQ(SamplesOf(m, 0), pcm);
        }
    }
}

TEST_F(SoundManagerFiles, OggIsDecodedCachedScrambledAndReadBack) {
    const std::string ogg = OggFixture();
    if (ogg.empty()) GTEST_SKIP() << "no Ogg Vorbis fixture (libvorbis-dev missing at build time)";
    Write("sounds/ab.ogg", ogg);  // a name of odd length: the "dep " chunk is odd too
    DSoundManager m(mixer, true);
    ASSERT_TRUE(m.LoadSound(1, "sounds/ab"));
    const auto decoded = SamplesOf(m, 1);
    ASSERT_FALSE(decoded.empty());
    EXPECT_EQ(m.GetSoundBuffer(1)->Desc().format.channels, 2);

    const std::string cache = ReadAll(Path("appdata/cached/sounds/ab.wav"));
    ASSERT_FALSE(cache.empty()) << "written under the per-user folder, mirroring the name's folders";
    const std::string source = "sounds/ab.ogg";
    const size_t n = source.size();
    ASSERT_EQ(cache.substr(36, 4), "dep ");
    EXPECT_EQ(uint8_t(cache[40]), n + 10);
    EXPECT_EQ(cache.substr(46, n), source);
    const uint64_t time = DSoundManager::GetSourceFileTime(source);
    uint64_t stored = 0;
    std::memcpy(&stored, cache.data() + 46 + n, 8);
    EXPECT_EQ(stored, time);
    EXPECT_EQ(cache.substr(54 + n, 4), "xor ");
    EXPECT_EQ(uint8_t(cache[62 + n]), 0x9D);
    EXPECT_EQ(cache.substr(63 + n, 4), "data");
    const size_t dataBytes = decoded.size() * 2;
    ASSERT_EQ(cache.size(), 71 + n + dataBytes);
    uint32_t riff = 0;
    std::memcpy(&riff, cache.data() + 4, 4);
    EXPECT_EQ(riff, dataBytes + 36);
    std::string expected(reinterpret_cast<const char*>(decoded.data()), dataBytes);
    for (char& c : expected) c = char(uint8_t(c) ^ 0x9D);
    EXPECT_EQ(cache.substr(71 + n), expected);

    // The next load reads the cache: the source may even be broken, as long as its time
    // stays the same.
    const auto stamp = std::filesystem::last_write_time(Path("sounds/ab.ogg"));
    Write("sounds/ab.ogg", "broken");
    std::filesystem::last_write_time(Path("sounds/ab.ogg"), stamp);
    DSoundManager again(mixer, true);
    ASSERT_TRUE(again.LoadSound(1, "sounds/ab"));
    EXPECT_EQ(SamplesOf(again, 1), decoded);
}

TEST_F(SoundManagerFiles, ATouchedSourceMakesTheCacheStale) {
    const std::string ogg = OggFixture();
    if (ogg.empty()) GTEST_SKIP() << "no Ogg Vorbis fixture";
    Write("sounds/music.ogg", ogg);
    {
        DSoundManager m(mixer, true);
        ASSERT_TRUE(m.LoadSound(0, "sounds/music"));
    }
    const std::string first = ReadAll(Path("appdata/cached/sounds/music.wav"));
    const auto stamp = std::filesystem::last_write_time(Path("sounds/music.ogg"));
    std::filesystem::last_write_time(Path("sounds/music.ogg"), stamp + std::chrono::hours(1));

    // Now the cache is stale, and the broken source cannot be decoded any more.
    Write("sounds/music.ogg", "broken");
    std::filesystem::last_write_time(Path("sounds/music.ogg"), stamp + std::chrono::hours(1));
    DSoundManager stale(mixer, true);
    EXPECT_FALSE(stale.LoadSound(0, "sounds/music"));

    // A good source again: decoded and the cache rewritten with the new time.
    Write("sounds/music.ogg", ogg);
    std::filesystem::last_write_time(Path("sounds/music.ogg"), stamp + std::chrono::hours(2));
    DSoundManager fresh(mixer, true);
    ASSERT_TRUE(fresh.LoadSound(0, "sounds/music"));
    const std::string second = ReadAll(Path("appdata/cached/sounds/music.wav"));
    EXPECT_NE(first, second);
    EXPECT_EQ(first.size(), second.size());
}

TEST_F(SoundManagerFiles, OggNeedsTheDecoderAndMp3IsSkipped) {
    const std::string ogg = OggFixture();
    if (ogg.empty()) GTEST_SKIP() << "no Ogg Vorbis fixture";
    Write("song.ogg", ogg);
    Write("song.mp3", "ID3 not supported");
    DSoundManager plain(mixer, false);
    EXPECT_FALSE(plain.LoadSound(0, "song"));
    DSoundManager decoding(mixer, true);
    EXPECT_TRUE(decoding.LoadSound(0, "song"));
}

TEST_F(SoundManagerFiles, Mp3ComesBeforeOggAndIsCached) {
    const std::string mp3 = Mp3Fixture();
    const std::string ogg = OggFixture();
    if (mp3.empty() || ogg.empty()) GTEST_SKIP() << "no MP3 or Ogg Vorbis fixture";
    Write("song.mp3", mp3);
    Write("song.ogg", ogg);
    DSoundManager m(mixer, true);
    ASSERT_TRUE(m.LoadSound(0, "song"));
    const plat::audio::PcmFormat& format = m.GetSoundBuffer(0)->Desc().format;
    EXPECT_EQ(format.channels, 1) << "the MP3 (mono), not the Ogg (stereo)";
    EXPECT_EQ(format.samplesPerSec, 44100u);
    const std::string cache = ReadAll(Path("appdata/cached/song.wav"));
    EXPECT_EQ(cache.substr(46, 8), "song.mp3");
}

TEST_F(SoundManagerFiles, SunAuFilesAreReadAndCached) {
    std::string au = ".snd";
    PutBe32(au, 24);  // data offset
    PutBe32(au, 4);   // data size
    PutBe32(au, 1);   // 8-bit mu-law
    PutBe32(au, 8000);
    PutBe32(au, 1);
    au += std::string("\xff\x80\x00\x7f", 4);
    Write("beep.au", au);
    DSoundManager m(mixer, false);
    ASSERT_TRUE(m.LoadSound(2, "beep"));
    // 0xFF is +0; 0x80 is +255 x 4; 0x00 is -255 x 4; 0x7F is -0.
    EXPECT_EQ(SamplesOf(m, 2), (std::vector<int16_t>{0, 1020, -1020, 0}));
    EXPECT_TRUE(Exists("appdata/cached/beep.wav"));
    DSoundManager again(mixer, false);
    ASSERT_TRUE(again.LoadSound(2, "beep"));
    EXPECT_EQ(SamplesOf(again, 2), (std::vector<int16_t>{0, 1020, -1020, 0}));

    struct Row {
        const char* why;
        uint32_t offset, size, encoding, channels;
        bool loads;
    };
    const Row rows[] = {
            {"8-bit linear", 24, 4, 2, 1, true},
            {"16-bit linear is not read", 24, 4, 3, 1, false},
            {"size beyond the file", 24, 400, 1, 1, false},
            {"unknown size: up to the end", 24, 0xFFFFFFFFu, 1, 1, true},
            {"offset beyond the file", 400, 4, 1, 1, false},
            {"three channels", 24, 3, 1, 3, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        std::string f = ".snd";
        PutBe32(f, r.offset);
        PutBe32(f, r.size);
        PutBe32(f, r.encoding);
        PutBe32(f, 8000);
        PutBe32(f, r.channels);
        f += std::string("\x10\x90\x00\x7f", 4);
        Write("row.au", f);
        EXPECT_EQ(m.LoadSound(3, "/" + Path("row")), r.loads);  // absolute: never cached
    }
    // Linear 8-bit samples are signed in AU files, unsigned in our voices.
    Write("lin.au", [] {
        std::string f = ".snd";
        PutBe32(f, 24);
        PutBe32(f, 2);
        PutBe32(f, 2);
        PutBe32(f, 8000);
        PutBe32(f, 1);
        return f + std::string("\x00\x7f", 2);
    }());
    ASSERT_TRUE(m.LoadSound(6, "lin"));
    plat::audio::Voice* v = const_cast<plat::audio::Voice*>(m.GetSoundBuffer(6));
    plat::audio::LockedRegion r;
    ASSERT_TRUE(v->Lock(0, 0, r, true));
    EXPECT_EQ(r.part1[0], 0x80);
    EXPECT_EQ(r.part1[1], 0xFF);
    v->Unlock();
}

TEST_F(SoundManagerFiles, FindOrLoadSoundReusesNamesAndFillsFromTheTop) {
    Write("a.wav", Wav16(1, 22050, Ramp(10)));
    Write("b.wav", Wav16(1, 22050, Ramp(10)));
    DSoundManager m(mixer, false);
    EXPECT_EQ(m.FindOrLoadSound("a"), 255);
    EXPECT_EQ(m.FindOrLoadSound("b"), 254);
    EXPECT_EQ(m.FindOrLoadSound("a"), 255);
    EXPECT_EQ(m.FindOrLoadSound("missing"), -1);
    EXPECT_EQ(m.GetFreeSoundId(), 0);
    m.ReleaseSound(255);
    EXPECT_EQ(m.GetNumSounds(), 1);
    EXPECT_EQ(m.GetSoundFileName(255), "");
    m.ReleaseSounds();
    EXPECT_EQ(m.GetNumSounds(), 0);
    EXPECT_EQ(m.GetSoundFileName(254), "b") << "names stay";
}

namespace {

class SoundManagerPlay : public SoundFolder {
protected:
    void SetUp() override {
        SoundFolder::SetUp();
        Write("tone.wav", Wav16(1, 44100, std::vector<int16_t>(441, 10000)));
        ASSERT_TRUE(manager.LoadSound(0, "tone"));
    }
    std::vector<int16_t> Pull(size_t frames) {
        std::vector<int16_t> out(frames * 2);
        mixer->Mix(out.data(), frames);
        return out;
    }
    std::shared_ptr<plat::audio::Mixer> mixer = std::make_shared<plat::audio::Mixer>();
    DSoundManager manager{mixer, false};
};

}  // namespace

TEST_F(SoundManagerPlay, InstancesPlayAndTheIdsRangeIsChecked) {
    Velm::SoundInstance* one = manager.GetSoundInstance(0);
    ASSERT_NE(one, nullptr);
    EXPECT_FALSE(one->IsPlaying()) << "not played yet";
    EXPECT_TRUE(one->Play(false, false));
    EXPECT_TRUE(one->IsPlaying());
    EXPECT_EQ(Pull(1)[0], 10000);
    EXPECT_EQ(manager.GetSoundInstance(256), nullptr);
    EXPECT_EQ(manager.GetSoundInstance(-1), nullptr);
    EXPECT_EQ(manager.GetSoundInstance(9), nullptr) << "nothing loaded under 9";
    EXPECT_FALSE(manager.SetBaseVolume(256, 0.5));
    EXPECT_FALSE(manager.SetBasePan(256, 1));
    one->Stop();
    EXPECT_FALSE(one->IsPlaying());
}

TEST_F(SoundManagerPlay, TheThirtyThirdInstanceIsRefusedUntilOneIsReclaimed) {
    plat::VirtualClock clock(5000);
    plat::ScopedClock scoped(clock);
    std::vector<Velm::SoundInstance*> all;
    for (int i = 0; i < 32; ++i) {
        Velm::SoundInstance* s = manager.GetSoundInstance(0);
        ASSERT_NE(s, nullptr) << i;
        ASSERT_TRUE(s->Play(false, i == 5));
        all.push_back(s);
    }
    EXPECT_EQ(manager.GetSoundInstance(0), nullptr);
    Pull(500);  // every instance has finished now
    Velm::SoundInstance* next = manager.GetSoundInstance(0);
    ASSERT_NE(next, nullptr) << "the finished auto-release instance's channel is reused";
    EXPECT_EQ(manager.GetChannel(5), next);
    EXPECT_EQ(manager.GetSoundInstance(0), nullptr) << "the others are still owned by their callers";
    all[7]->Release();
    EXPECT_NE(manager.GetSoundInstance(0), nullptr);
}

TEST_F(SoundManagerPlay, StopAllSoundsLeavesAutoReleaseInstancesToBeReclaimed) {
    plat::VirtualClock clock(5000);
    plat::ScopedClock scoped(clock);
    Velm::SoundInstance* kept = manager.GetSoundInstance(0);
    Velm::SoundInstance* loose = manager.GetSoundInstance(0);
    kept->Play(true, false);
    loose->Play(true, true);
    manager.StopAllSounds();
    EXPECT_FALSE(kept->IsPlaying());
    EXPECT_FALSE(loose->IsPlaying());
    EXPECT_FALSE(kept->IsReleased());
    clock.Advance(2000);  // the next request sweeps first
    Velm::SoundInstance* next = manager.GetSoundInstance(0);
    EXPECT_EQ(manager.GetChannel(1), next) << "the auto-release instance was reclaimed";
    EXPECT_EQ(manager.GetChannel(0), kept);
}

TEST_F(SoundManagerPlay, AttenuationRows) {
    struct Row {
        double v;
        int32_t millibels;
    };
    const Row rows[] = {{1.0, 0}, {0.5, -605}, {0.05, -1956}, {0.02, -10000}, {0.01, -10000}, {0.0, -10000}};
    Velm::SoundInstance* s = manager.GetSoundInstance(0);
    auto* instance = static_cast<Velm::DSoundInstance*>(s);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.v);
        EXPECT_EQ(DSoundManager::AttenuationFromVolume(r.v), r.millibels);
        s->SetVolume(r.v);
        EXPECT_EQ(instance->GetBuffer()->GetVolume(), r.millibels);
        EXPECT_DOUBLE_EQ(s->GetVolume(), r.v);
    }
    // The factors multiply: effects volume x instance volume x base volume.
    s->SetVolume(1.0);
    manager.SetVolume(0.5);
    EXPECT_EQ(instance->GetBuffer()->GetVolume(), -605);
    manager.SetVolume(1.0);
    ASSERT_TRUE(manager.SetBaseVolume(0, 0.5));
    Velm::SoundInstance* based = manager.GetSoundInstance(0);
    EXPECT_EQ(static_cast<Velm::DSoundInstance*>(based)->GetBuffer()->GetVolume(), -605);
    // The master volume is a gain over everything.
    manager.SetMasterVolume(0.5);
    EXPECT_EQ(instance->GetBuffer()->GetVolume(), -602);
    EXPECT_DOUBLE_EQ(manager.GetMasterVolume(), 0.5);
}

TEST_F(SoundManagerPlay, PitchAndPanRows) {
    Write("hi.wav", Wav16(1, 44100, Ramp(100)));
    ASSERT_TRUE(manager.LoadSound(1, "hi"));
    struct Row {
        double semitones;
        uint32_t hz;
    };
    const Row rows[] = {{0, 44100}, {12, 88200}, {24, 100000}, {-12, 22049} /* truncated */, {-200, 100}};
    Velm::SoundInstance* s = manager.GetSoundInstance(1);
    auto* instance = static_cast<Velm::DSoundInstance*>(s);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.semitones);
        s->AdjustPitch(r.semitones);
        EXPECT_EQ(instance->GetBuffer()->GetFrequency(), r.hz);
    }
    ASSERT_TRUE(manager.SetBasePan(1, -200));
    Velm::SoundInstance* panned = manager.GetSoundInstance(1);
    panned->SetPan(50);
    EXPECT_EQ(static_cast<Velm::DSoundInstance*>(panned)->GetBuffer()->GetPan(), -150);
}

TEST(SoundManagerSilent, LoadsNothingAndGivesSilentInstances) {
    DSoundManager silent(std::shared_ptr<plat::audio::Mixer>(), false);
    EXPECT_FALSE(silent.Initialized());
    EXPECT_TRUE(silent.LoadSound(7, "sounds/click"));
    EXPECT_EQ(silent.GetNumSounds(), 0);
    EXPECT_EQ(silent.GetFreeSoundId(), 0);
    for (int id : {0, 100, 255}) {
        Velm::SoundInstance* s = silent.GetSoundInstance(id);
        ASSERT_NE(s, nullptr) << id;
        EXPECT_FALSE(s->Play(false, true));
        EXPECT_FALSE(s->IsPlaying());
        s->SetVolume(0.3);
        s->AdjustPitch(3);
        s->SetPan(10);
    }
    EXPECT_EQ(silent.GetSoundInstance(256), nullptr);

    DSoundManager windowless(nullptr, true);  // what the game makes
    EXPECT_FALSE(windowless.Initialized());
    EXPECT_TRUE(windowless.LoadSound(1, "x"));
    EXPECT_EQ(windowless.FindOrLoadSound("x"), 255);
}
