#include <gtest/gtest.h>

#include <string>

#include "SoundTestSupport.h"
#include "engine/sound/SoundDescr.h"

using namespace soundtest;

namespace {

std::unique_ptr<Sound::SoundDescr_t> Descr(const std::string& text) {
    auto d = std::make_unique<Sound::SoundDescr_t>();
    EXPECT_TRUE(d->ParseText(text.data(), int(text.size()), "descr"));
    return d;
}

// A description holding `wav` as its cached wave data, as PreloadWave leaves it.
std::unique_ptr<Sound::SoundDescr_t> WithWave(const std::string& text, const std::string& wav) {
    auto d = Descr(text);
    FileDescr_t* f = NewMemFileDescr(wav.data(), unsigned(wav.size()), true);
    d->ReadWaveData(f);
    f->Close();
    d->SetWaveKind(Sound::kWaveWav);
    return d;
}

}  // namespace

using DevicePlay = ManualDevice;

TEST_F(DevicePlay, PlayStaticMakesAStoppedSoundWithTheDescriptionsVolumes) {
    const auto pcm = Ramp(1, 40);
    auto d = WithWave("Group=Effect\nVolume=-300\nDelAfterPlay=1\n", Wav16(1, pcm));
    d->SetGroupAttenuation(-200);
    Sound::Sound_t* s = device.PlayStatic(d.get(), &CallbackLog::Record, 5);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(device.FindSound(s->GetHandle()), s);
    EXPECT_FALSE(device.IsPlayingByHandle(s->GetHandle()));
    EXPECT_EQ(s->GetBuffer()->GetVolume(), -500) << "volume + group attenuation, applied";
    EXPECT_EQ(s->GetBuffer()->Desc().flags, Sound::StaticBufferFlags(0));
    EXPECT_TRUE(s->IsDeleteAfterPlay());
    EXPECT_FALSE(s->IsLooping());
    const int handle = s->GetHandle();
    device.PlayByHandle(handle, 0);
    Pull(50);
    Service();
    ASSERT_EQ(CallbackLog::Calls().size(), 1u) << "the end callback came with the sound";
    EXPECT_EQ(CallbackLog::Calls()[0], std::make_pair(handle, 5));
    EXPECT_EQ(device.FindSound(handle), nullptr);
}

TEST_F(DevicePlay, PlayStaticRefusals) {
    auto empty = Descr("Group=Effect\n");
    EXPECT_EQ(ThrownCode([&] { device.PlayStatic(empty.get(), nullptr, 0); }), 7) << "no wave data";
    EXPECT_EQ(ThrownCode([&] { device.PlayStatic(nullptr, nullptr, 0); }), 7);
    auto junk = WithWave("Group=Effect\n", "not a wave file");
    EXPECT_EQ(ThrownCode([&] { device.PlayStatic(junk.get(), nullptr, 0); }), 6);
    EXPECT_EQ(device.GetSoundCount(), 0u);
}

TEST_F(DevicePlay, PlayStreamedTakesTheFileAndApplies3DParameters) {
    auto d = Descr("Group=Music\nIsStreamed=1\nIs3D=1\nIsLoop=1\nPosition=0,2,0\nMaxDistance=30\n");
    d->SetWaveKind(Sound::kWaveWav);
    const std::string wav = Wav16(2, Ramp(2, 100));
    Sound::Sound_t* s = device.PlayStreamed(d.get(), NewMemFileDescr(wav.data(), unsigned(wav.size()), true));
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->IsStreaming());
    EXPECT_TRUE(s->IsLooping());
    EXPECT_EQ(s->GetBuffer()->Desc().bytes, Sound::kStreamChunkCount * Sound::kStreamChunkBytes);
    EXPECT_EQ(s->GetBuffer()->Desc().flags, Sound::StreamBufferFlags(Sound::kDescr3D) | Sound::kBufferStreamExtra);
    plat::audio::Voice3D p;
    ASSERT_TRUE(s->GetBuffer()->Get3D(p));
    EXPECT_FLOAT_EQ(p.position.y, 2.0f);
    EXPECT_FLOAT_EQ(p.maxDistance, 30.0f);

    auto wrongKind = Descr("Group=Music\nIsStreamed=1\n");  // kind still unknown
    EXPECT_EQ(ThrownCode([&] {
                  device.PlayStreamed(wrongKind.get(), NewMemFileDescr(wav.data(), unsigned(wav.size()), true));
              }),
              7);
    EXPECT_EQ(device.GetSoundCount(), 1u);
}

TEST(DevicePlayWithoutSound, MakesNothing) {
    Sound::SoundDevice_t device;
    device.StartOnMixer(nullptr, 2, 2, 22050, 16, false);
    const std::string wav = Wav16(1, Ramp(1, 10));
    auto d = WithWave("Group=Effect\n", wav);
    EXPECT_EQ(device.PlayStatic(d.get(), nullptr, 0), nullptr);
    auto m = Descr("Group=Music\nIsStreamed=1\n");
    m->SetWaveKind(Sound::kWaveWav);
    EXPECT_EQ(device.PlayStreamed(m.get(), NewMemFileDescr(wav.data(), unsigned(wav.size()), true)), nullptr);
}
