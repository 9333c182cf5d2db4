#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SoundTestSupport.h"
#include "engine/sound/SoundApi.h"
#include "engine/sound/SoundDescr.h"
#include "engine/storage/FileStg.h"
#include "engine/storage/Stg.h"

using namespace soundtest;

namespace {

bool ParseText(Sound::SoundDescr_t& d, const std::string& text) {
    return d.ParseText(text.data(), int(text.size()), "test.txt");
}

struct DescrCase {
    const char* why;
    const char* text;
    bool accepted;
    int group;
    uint32_t flags;
    const char* wave;
    int32_t volume;
    float x, y, z;
};

// clang-format off
const DescrCase kDescrCases[] = {
        {"wave, group and loop", "WaveName = click\nGroup = effect\nIsLoop = 1\n", true, 1, 0x04, "click", 0, 0, 0, 0},
        {"unknown group name is refused", "WaveName=click\nGroup=Effects\n", false, 6, 0, "click", 0, 0, 0, 0},
        {"no group line is refused", "WaveName=click\nIsLoop=1\n", false, 6, 0x04, "click", 0, 0, 0, 0},
        {"two position components keep z", "Group=World\nPosition=1,2\n", true, 2, 0, "", 0, 1, 2, 0},
        {"an empty field between commas is skipped", "Group=World\nPosition=1,,3\n", true, 2, 0, "", 0, 1, 3, 0},
        {"a flag can only be set", "Group=Dialog\nIsLoop=1\nIsLoop=0\n", true, 0, 0x04, "", 0, 0, 0, 0},
        {"every flag key",
         "Group=Music\nIs3D=1\nIsStreamed=2\nIsLoop=1\nPlayOnStart=1\nPlayIfPlay=1\nDelAfterPlay=1\n"
         "MuteAfterMaxDistance=1\n",
         true, 3, 0xDF, "", 0, 0, 0, 0},
        {"tabs, CRLF, comments, unknown keys and lines without '='",
         "; a comment\r\n\tWaveName\t=\tboom \r\nGROUP = interf\r\nvolume=-300\r\nNoEquals\r\nUnknown=5\r\n"
         "ConnectToModel=1\r\n",
         true, 4, 0, "boom", -300, 0, 0, 0},
        {"an empty wave name leaves the earlier one", "Group=Effect\nWaveName=a\nWaveName=\n", true, 1, 0, "a", 0, 0, 0, 0},
        {"a later line overrides", "Group=Effect\nWaveName=a\nWaveName=b\nGroup=Nothing\nGroup=Music\n", true, 3, 0, "b",
         0, 0, 0, 0},
        {"bad numbers read as 0", "Group=Effect\nVolume=loud\nPosition=x,2,y\n", true, 1, 0, "", 0, 0, 2, 0},
        {"empty file", "", false, 6, 0, "", 0, 0, 0, 0},
};
// clang-format on

}  // namespace

TEST(SoundDescr, ParsesDescriptionFiles) {
    for (const DescrCase& c : kDescrCases) {
        SCOPED_TRACE(c.why);
        Sound::SoundDescr_t d;
        EXPECT_EQ(ParseText(d, c.text), c.accepted);
        EXPECT_EQ(d.GetGroup(), c.group);
        EXPECT_EQ(d.GetFlags(), c.flags);
        EXPECT_EQ(d.GetWaveName(), c.wave);
        EXPECT_EQ(d.GetVolume(), c.volume);
        EXPECT_FLOAT_EQ(d.Params3D().position.x, c.x);
        EXPECT_FLOAT_EQ(d.Params3D().position.y, c.y);
        EXPECT_FLOAT_EQ(d.Params3D().position.z, c.z);
        EXPECT_EQ(d.GetFileName(), "test.txt");
    }
}

TEST(SoundDescr, DefaultsAndThreeDKeys) {
    Sound::SoundDescr_t d;
    EXPECT_EQ(d.GetGroup(), Sound::kGroupNone);
    EXPECT_EQ(d.GetWaveKind(), Sound::kWaveUnknown);
    EXPECT_EQ(d.Params3D().insideConeAngle, 0u);
    EXPECT_EQ(d.Params3D().outsideConeAngle, 360u);
    EXPECT_FLOAT_EQ(d.Params3D().coneOrientation.y, 1.0f);
    EXPECT_FLOAT_EQ(d.Params3D().minDistance, 0.1f);
    EXPECT_FLOAT_EQ(d.Params3D().maxDistance, 15.0f);

    ASSERT_TRUE(ParseText(d,
                          "Group=World\nInsideConeAngle=30\nOutsideConeAngle=90\nConeOrientation=0,0,1\n"
                          "ConeOutsideVolume=-500\nMinDistance=2.5\nMaxDistance=40\nMode=1\nMinTime=3\nMaxTime=x\n"));
    EXPECT_EQ(d.Params3D().insideConeAngle, 30u);
    EXPECT_EQ(d.Params3D().outsideConeAngle, 90u);
    EXPECT_FLOAT_EQ(d.Params3D().coneOrientation.y, 0.0f);
    EXPECT_FLOAT_EQ(d.Params3D().coneOrientation.z, 1.0f);
    EXPECT_EQ(d.Params3D().coneOutsideVolume, -500);
    EXPECT_FLOAT_EQ(d.Params3D().minDistance, 2.5f);
    EXPECT_FLOAT_EQ(d.Params3D().maxDistance, 40.0f);
    EXPECT_EQ(d.Params3D().mode, 1u);
    EXPECT_EQ(d.GetMinTime(), 3);
    EXPECT_EQ(d.GetMaxTime(), 0);
}

TEST(SoundDescr, GroupNames) {
    const std::pair<const char*, int> rows[] = {{"Dialog", 0}, {" effect ", 1},  {"WORLD", 2}, {"Music", 3},
                                                {"Interf", 4}, {"Interface", 6}, {"", 6},      {nullptr, 6}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.first ? r.first : "(null)");
        EXPECT_EQ(Sound::GroupFromName(r.first), r.second);
    }
}

class SoundDescrStorage : public ::testing::Test {
protected:
    void SetUp() override {
        sounds = OpenStorage("", false);
        descrs = OpenStorage("", false);
        Sound::SetSoundsStorage(sounds);
    }
    void TearDown() override {
        Sound::SetSoundsStorage(nullptr);
        sounds->Release();
        descrs->Release();
    }
    Stg_t* sounds = nullptr;
    Stg_t* descrs = nullptr;
};

TEST_F(SoundDescrStorage, ListLoadsEveryAcceptedFileAndFindsWithoutCase) {
    PutFile(descrs, "click.txt", "WaveName=click\nGroup=Effect\n");
    PutFile(descrs, "bad.txt", "WaveName=click\n");
    PutFile(descrs, "music.txt", "WaveName=theme\nGroup=Music\nIsStreamed=1\n");
    Sound::SoundDescrList_t list;
    list.Load(descrs);
    EXPECT_EQ(list.Size(), 2u);
    ASSERT_NE(list.Find("CLICK.TXT"), nullptr);
    EXPECT_EQ(list.Find("click.txt")->GetWaveName(), "click");
    EXPECT_EQ(list.Find("bad.txt"), nullptr);
    EXPECT_EQ(list.Find("Music.Txt")->GetFlags(), Sound::kDescrStreamed);

    // An existing name keeps its earlier description.
    auto other = std::make_unique<Sound::SoundDescr_t>();
    Sound::SoundDescr_t* otherPtr = other.get();
    list.Add("Click.txt", std::move(other));
    EXPECT_NE(list.Find("click.txt"), otherPtr);

    Sound::SoundDescrList_t none;
    none.Load(nullptr);
    EXPECT_EQ(none.Size(), 0u);
}

TEST_F(SoundDescrStorage, PreloadReadsTheWavFileAndSetWaveNameDropsIt) {
    const std::string wav = Wav16(1, Ramp(1, 20));
    PutFile(sounds, "click.wav", wav);
    Sound::SoundDescr_t d;
    ASSERT_TRUE(ParseText(d, "WaveName=click\nGroup=Effect\n"));
    EXPECT_FALSE(d.HasWaveData());
    d.PreloadWave();
    EXPECT_EQ(d.GetWaveKind(), Sound::kWaveWav);
    EXPECT_EQ(std::string(d.GetWaveData().begin(), d.GetWaveData().end()), wav);
    EXPECT_FALSE(d.IsRaw());

    d.SetWaveName("CLICK");  // the same name: the data stays
    EXPECT_TRUE(d.HasWaveData());
    EXPECT_EQ(d.GetWaveName(), "click");
    d.SetWaveName("boom");
    EXPECT_FALSE(d.HasWaveData());
    EXPECT_EQ(d.GetWaveKind(), Sound::kWaveWav) << "the kind stays";
    d.PreloadWave();  // no boom file: nothing
    EXPECT_FALSE(d.HasWaveData());
    d.SetWaveName(nullptr);
    EXPECT_FALSE(d.HasWaveName());
}

TEST_F(SoundDescrStorage, LoadOnStartPreloadsAndDialogsReadNoMissingStorage) {
    PutFile(sounds, "click.wav", Wav16(1, Ramp(1, 20)));
    Sound::SoundDescr_t eager;
    ASSERT_TRUE(ParseText(eager, "WaveName=click\nGroup=Effect\nLoadOnStart=1\n"));
    EXPECT_TRUE(eager.HasWaveData());

    // Group 0 reads from the dialog storage, which nobody sets.
    Sound::SoundDescr_t dialog;
    ASSERT_TRUE(ParseText(dialog, "WaveName=click\nGroup=Dialog\nLoadOnStart=1\n"));
    EXPECT_FALSE(dialog.HasWaveData());

    Sound::SetSoundsStorage(nullptr);
    Sound::SoundDescr_t orphan;
    ASSERT_TRUE(ParseText(orphan, "WaveName=click\nGroup=Effect\nLoadOnStart=1\n"));
    EXPECT_FALSE(orphan.HasWaveData());
}

TEST_F(SoundDescrStorage, BrokenOggLeavesNoData) {
    PutFile(sounds, "noise.ogg", "OggS but not really");
    Sound::SoundDescr_t d;
    ASSERT_TRUE(ParseText(d, "WaveName=noise\nGroup=Effect\n"));
    d.PreloadWave();
    EXPECT_EQ(d.GetWaveKind(), Sound::kWaveOgg);
    EXPECT_FALSE(d.HasWaveData());
}

#ifdef VELM_OGG_FIXTURE
namespace {
std::string ReadFixture() {
    FILE* f = std::fopen(VELM_OGG_FIXTURE, "rb");
    std::string bytes;
    if (!f) return bytes;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
    return bytes;
}
}  // namespace

TEST_F(SoundDescrStorage, OggIsPreferredAndDecodedIntoARawBlockForStaticSounds) {
    const std::string ogg = ReadFixture();
    ASSERT_FALSE(ogg.empty());
    PutFile(sounds, "click.ogg", ogg);
    PutFile(sounds, "click.wav", Wav16(1, Ramp(1, 20)));

    Sound::SoundDescr_t still;
    ASSERT_TRUE(ParseText(still, "WaveName=click\nGroup=Effect\n"));
    still.PreloadWave();
    EXPECT_EQ(still.GetWaveKind(), Sound::kWaveOgg);
    ASSERT_TRUE(still.IsRaw());
    const auto& block = still.GetWaveData();
    ASSERT_GT(block.size(), 22u);
    const uint32_t pcm =
            uint32_t(block[18]) | uint32_t(block[19]) << 8 | uint32_t(block[20]) << 16 | uint32_t(block[21]) << 24;
    EXPECT_EQ(block.size(), 22u + pcm);
    const Sound::WAVEFORMATEX format = Sound::DecodeWaveFormat(block.data());
    EXPECT_EQ(format.formatTag, 1);
    EXPECT_EQ(format.bitsPerSample, 16);
    EXPECT_EQ(pcm % format.blockAlign, 0u);

    Sound::SoundDescr_t streamed;
    ASSERT_TRUE(ParseText(streamed, "WaveName=click\nGroup=Music\nIsStreamed=1\n"));
    streamed.PreloadWave();
    EXPECT_FALSE(streamed.IsRaw()) << "a streamed description keeps the file's bytes";
    EXPECT_EQ(streamed.GetWaveData().size(), ogg.size());
}
#endif
