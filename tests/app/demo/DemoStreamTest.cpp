// The demo command stream: timing blocks, mouse records, the payloads of every command,
// the demo file reader and its refusals, numbered files, and the playback keys.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <thread>

#include "app/demo/DemoDialogs.h"
#include "platform/Clipboard.h"
#include "platform/Files.h"
#include "platform/WindowMessages.h"
#include "resources/base/Paths.h"
#include "tests/app/demo/DemoTestSupport.h"

namespace {

using demotest::FileBuilder;
using demotest::StreamApp;
using windowtest::WindowAppTest;

uint32_t LParam(int x, int y) {
    return static_cast<uint16_t>(x) | (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadWholeFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!plat::ReadFile(path, bytes)) return std::string();
    return std::string(bytes.begin(), bytes.end());
}

class DemoStreamTest : public WindowAppTest {};

TEST_F(DemoStreamTest, TimingBlocksBridgeLongGapsWithFillers) {
    struct Case {
        int gap;
        int fillers;
        int lastDelta;
    };
    const Case cases[] = {{0, 0, 0}, {1, 0, 1}, {15, 0, 15}, {16, 1, 1}, {45, 2, 15}, {100, 6, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gap);
        StreamApp recorder(&mSettings);
        recorder.mRecordingDemo = true;
        recorder.mUpdateCnt = c.gap;
        recorder.WriteDemoCommand(9);  // loading done

        // Each command is 4 + 1 + 5 bits.
        Velm::Buffer& stream = recorder.mDemoBuffer;
        EXPECT_EQ(stream.GetDataSizeBits(), (c.fillers + 1) * 10);
        for (int i = 0; i < c.fillers; ++i) {
            EXPECT_EQ(stream.ReadNumBits(4, false), 15);
            EXPECT_EQ(stream.ReadNumBits(1, false), 0);
            EXPECT_EQ(stream.ReadNumBits(5, false), 31);
        }
        EXPECT_EQ(stream.ReadNumBits(4, false), c.lastDelta);
        EXPECT_EQ(stream.ReadNumBits(1, false), 0);
        EXPECT_EQ(stream.ReadNumBits(5, false), 9);

        // Played back, the command comes due at the very update it was recorded at.
        StreamApp player(&mSettings);
        recorder.HandOver(player);
        for (int update = 0; update <= c.gap; ++update) {
            player.mUpdateCnt = update;
            player.PlayDemoCommands();
            EXPECT_EQ(player.mDemoLoadingComplete, update == c.gap) << "update " << update;
        }
        EXPECT_TRUE(player.IsDemoStreamAtEnd());
        EXPECT_TRUE(player.mDemoError.empty());
    }
}

TEST_F(DemoStreamTest, MouseMovesSmallAndFarAndNegative) {
    struct Case {
        int x, y;  // the client position of the move
        bool far;  // recorded as command 0 rather than a 6-bit move
        int playedX, playedY;
    };
    const Case cases[] = {
            {3, 4, false, 3, 4},
            {34, 4, false, 34, 4},         // a move of 31
            {66, 4, true, 66, 4},          // a move of 32
            {-100, -50, true, -100, -50},  // past the left and top edges
            {-90, -45, false, -90, -45},
            {5000, -3000, true, 2047, -2048},  // beyond 12 bits: held at the range's ends
            {2040, -2040, false, 2040, -2040},
            {0, 0, true, 0, 0},
    };
    StreamApp recorder(&mSettings);
    recorder.mRecordingDemo = true;
    recorder.mMouseIn = true;  // no "pointer entered" command in between
    int update = 0;
    for (const Case& c : cases) {
        recorder.mUpdateCnt = ++update;
        recorder.WindowProc(nullptr, plat::WM_MOUSEMOVE, 0, LParam(c.x, c.y));
        recorder.ProcessDeferredMessages(false);
    }
    // The button record carries its down flag and code.
    recorder.mUpdateCnt = ++update;
    recorder.WindowProc(nullptr, plat::WM_RBUTTONDOWN, 0, LParam(0, 0));
    recorder.ProcessDeferredMessages(false);

    // The stream as written.
    Velm::Buffer stream;
    stream.SetData(recorder.mDemoBuffer.GetDataPtr(), recorder.mDemoBuffer.GetDataLen());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        EXPECT_EQ(stream.ReadNumBits(4, false), 1);
        if (c.far) {
            EXPECT_EQ(stream.ReadNumBits(1, false), 0);
            EXPECT_EQ(stream.ReadNumBits(5, false), 0);
            EXPECT_EQ(stream.ReadNumBits(12, true), c.playedX);
            EXPECT_EQ(stream.ReadNumBits(12, true), c.playedY);
        } else {
            EXPECT_EQ(stream.ReadNumBits(1, false), 1);
            EXPECT_EQ(stream.ReadNumBits(1, false), 0);
            stream.ReadNumBits(12, false);
        }
    }

    StreamApp player(&mSettings);
    recorder.HandOver(player);
    player.mRecorder.Resize(-4096, -4096, 8192, 8192);
    player.GetWidgetManager()->AddWidget(&player.mRecorder);
    update = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        player.mUpdateCnt = ++update;
        player.PlayDemoCommands();
        EXPECT_EQ(player.mLastDemoMouseX.load(), c.playedX);
        EXPECT_EQ(player.mLastDemoMouseY.load(), c.playedY);
    }
    player.mUpdateCnt = ++update;
    player.PlayDemoCommands();
    ASSERT_FALSE(player.mRecorder.mCalls.empty());
    EXPECT_EQ(player.mRecorder.mCalls.back(), "down 4096,4096 -1");
    EXPECT_TRUE(player.IsDemoStreamAtEnd());
}

TEST_F(DemoStreamTest, RecordedMousePositionsAreTheLogicalOnes) {
    // The picture is shown at twice its size, 40 and 30 pixels into the client area.
    StreamApp recorder(&mSettings);
    recorder.GetWidgetManager()->SetRemapRects(Velm::Rect(0, 0, 320, 240), Velm::Rect(40, 30, 640, 480));
    recorder.mRecordingDemo = true;
    recorder.WindowProc(nullptr, plat::WM_LBUTTONDOWN, 0, LParam(360, 270));
    recorder.ProcessDeferredMessages(false);

    StreamApp player(&mSettings);
    recorder.HandOver(player);
    player.mRecorder.Resize(0, 0, 320, 240);
    player.GetWidgetManager()->AddWidget(&player.mRecorder);
    player.PlayDemoCommands();
    ASSERT_EQ(player.mRecorder.mCalls.size(), 1u);
    EXPECT_EQ(player.mRecorder.mCalls[0], "down 160,120 1");
}

TEST_F(DemoStreamTest, InputCommandsRoundTrip) {
    using namespace plat;
    struct Step {
        uint32_t message;
        uint32_t wParam;
        const char* call;  // what the widget is handed when it is played
    };
    const Step steps[] = {
            {WM_KEYDOWN, 'A', "key 65"},
            {WM_KEYUP, 'A', "keyup 65"},
            {WM_SYSKEYDOWN, VK_F4, "key 115"},
            {WM_CHAR, 0xE9, "char 233"},
            {WM_MOUSEWHEEL, static_cast<uint32_t>(-240) << 16, "wheel -2"},
            {WM_MOUSEWHEEL, 360u << 16, "wheel 3"},
    };
    StreamApp recorder(&mSettings);
    recorder.mRecordingDemo = true;
    int update = 0;
    for (const Step& step : steps) {
        recorder.mUpdateCnt = update += 3;
        recorder.WindowProc(nullptr, step.message, step.wParam, 0);
        recorder.ProcessDeferredMessages(false);
    }
    // State commands: minimised and restored, focus lost and back, pointer out and in.
    recorder.mUpdateCnt = update += 20;
    recorder.WindowProc(nullptr, WM_SIZE, SIZE_MINIMIZED, 0);
    recorder.ProcessDeferredMessages(false);
    recorder.WindowProc(nullptr, WM_SIZE, 0, 0);
    recorder.ProcessDeferredMessages(false);
    recorder.WriteDemoCommand(8);
    recorder.WriteDemoCommand(7);
    recorder.WriteDemoCommand(1);
    recorder.mDemoBuffer.WriteNumBits(0, 1);
    recorder.DemoRecordDisplayMode();
    recorder.WriteDemoCommand(9);
    const int lastUpdate = update;

    StreamApp player(&mSettings);
    recorder.HandOver(player);
    player.mRecorder.Resize(0, 0, 320, 240);
    player.GetWidgetManager()->AddWidget(&player.mRecorder);
    player.GetWidgetManager()->SetFocus(&player.mRecorder);
    player.mIsWindowed = false;
    player.mRefreshRate = 0;
    update = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.call);
        player.mUpdateCnt = update += 3;
        player.mRecorder.mCalls.clear();
        player.PlayDemoCommands();
        ASSERT_EQ(player.mRecorder.mCalls.size(), 1u);
        EXPECT_EQ(player.mRecorder.mCalls[0], step.call);
    }
    // Update by update, across the filler that bridges the gap.
    while (player.mUpdateCnt < lastUpdate) {
        ++player.mUpdateCnt;
        player.PlayDemoCommands();
    }
    EXPECT_EQ(player.mDemoError, "");
    EXPECT_FALSE(player.mMinimized);
    EXPECT_FALSE(player.mHasFocus);
    EXPECT_TRUE(player.mMouseIn);
    EXPECT_TRUE(player.mIsWindowed);
    EXPECT_EQ(player.mRefreshRate, recorder.mRefreshRate);
    EXPECT_TRUE(player.mDemoLoadingComplete);
    EXPECT_TRUE(player.IsDemoStreamAtEnd());
    EXPECT_TRUE(player.mDemoError.empty());
}

TEST_F(DemoStreamTest, DataCommandsRoundTripAndPlayedAnswersWin) {
    const std::string file = mDir.Path("data.bin");
    WriteFile(file, "recorded bytes");
    StreamApp recorder(&mSettings);
    recorder.mRecordingDemo = true;
    ASSERT_TRUE(recorder.RegistryWriteInteger("Level", 7));
    int level = 0;
    ASSERT_TRUE(recorder.RegistryReadInteger("Level", &level));
    EXPECT_FALSE(recorder.RegistryReadInteger("Missing", &level));
    const bool erased = recorder.RegistryEraseKey("NoSuchKey");
    EXPECT_TRUE(recorder.FileExists(file));
    EXPECT_FALSE(recorder.FileExists(mDir.Path("absent")));
    Velm::Buffer read;
    ASSERT_TRUE(recorder.ReadBufferFromFile(file, read));
    EXPECT_FALSE(recorder.ReadBufferFromFile(mDir.Path("absent"), read));
    EXPECT_TRUE(recorder.WriteBytesToFile(mDir.Path("out/written.bin"), "abc", 3));
    Velm::Buffer synced;
    synced.WriteString("sync me");
    recorder.DemoSyncBuffer(synced);
    bool flag = true;
    recorder.DemoSyncBool(flag);
    std::string text = "Na\xEFve";
    recorder.DemoSyncString(text);

    // The world changes before the demo is played: the played run sees the old answers.
    mSettings.SetDword("SOFTWARE\\" + recorder.mRegKey, "Level", 99);
    plat::RemoveFile(file);
    StreamApp player(&mSettings);
    recorder.HandOver(player);
    player.mRegKey = recorder.mRegKey;
    EXPECT_TRUE(player.RegistryWriteInteger("Level", 1));
    level = 0;
    EXPECT_TRUE(player.RegistryReadInteger("Level", &level));
    EXPECT_EQ(level, 7);
    EXPECT_FALSE(player.RegistryReadInteger("Missing", &level));
    EXPECT_EQ(player.RegistryEraseKey("NoSuchKey"), erased);
    EXPECT_TRUE(player.FileExists(file));
    EXPECT_FALSE(player.FileExists(mDir.Path("absent")));
    Velm::Buffer played;
    ASSERT_TRUE(player.ReadBufferFromFile(file, played));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(played.GetDataPtr()), played.GetDataLen()), "recorded bytes");
    EXPECT_FALSE(player.ReadBufferFromFile(mDir.Path("absent"), played));
    plat::RemoveFile(mDir.Path("out/written.bin"));
    EXPECT_TRUE(player.WriteBytesToFile(mDir.Path("out/written.bin"), "xyz", 3));
    EXPECT_FALSE(plat::FileExists(mDir.Path("out/written.bin")));
    Velm::Buffer playedSync;
    player.DemoSyncBuffer(playedSync);
    EXPECT_EQ(playedSync.ReadString(), "sync me");
    bool playedFlag = false;
    player.DemoSyncBool(playedFlag);
    EXPECT_TRUE(playedFlag);
    std::string playedText;
    player.DemoSyncString(playedText);
    EXPECT_EQ(playedText, "Na\xEFve");
    EXPECT_TRUE(player.IsDemoStreamAtEnd());
    EXPECT_TRUE(player.mDemoError.empty());
    // The settings were not touched by the played write.
    uint32_t stored = 0;
    EXPECT_TRUE(mSettings.GetDword("SOFTWARE\\" + recorder.mRegKey, "Level", &stored));
    EXPECT_EQ(stored, 99u);
}

TEST_F(DemoStreamTest, PlayedRegistryReadFitsTheCallersBuffer) {
    StreamApp recorder(&mSettings);
    recorder.mRecordingDemo = true;
    const std::vector<uint8_t> eight = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(mSettings.SetBinary("SOFTWARE\\" + recorder.mRegKey, "Blob", eight));
    uint8_t big[8] = {};
    uint32_t length = sizeof(big);
    ASSERT_TRUE(recorder.RegistryReadData("Blob", big, &length));
    ASSERT_TRUE(recorder.RegistryReadData("Blob", big, &length));

    StreamApp player(&mSettings);
    recorder.HandOver(player);
    player.mRegKey = recorder.mRegKey;
    // Too small: nothing is copied and the read fails; the stream goes on in step.
    uint8_t small[4] = {9, 9, 9, 9};
    length = sizeof(small);
    EXPECT_FALSE(player.RegistryReadData("Blob", small, &length));
    EXPECT_EQ(small[0], 9);
    EXPECT_EQ(length, 4u);
    uint8_t fits[8] = {};
    length = sizeof(fits);
    EXPECT_TRUE(player.RegistryReadData("Blob", fits, &length));
    EXPECT_EQ(length, 8u);
    EXPECT_EQ(fits[7], 8);
    EXPECT_TRUE(player.mDemoError.empty());
}

TEST_F(DemoStreamTest, BogusLengthsStopPlayback) {
    // A recorded 32-bit length far beyond the stream: refused, playback stops, and what
    // follows answers as a closed demo would.
    struct Case {
        const char* what;
        int command;
        int resultBits;  // bits between the header and the length (result bit, type)
    };
    const Case cases[] = {
            {"registry read", 11, 1 + 32},
            {"file read", 15, 1},
            {"data sync", 18, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mBoxes.clear();
        StreamApp recorder(&mSettings);
        recorder.mRecordingDemo = true;
        recorder.WriteDemoCommand(c.command);
        if (c.resultBits > 0) recorder.mDemoBuffer.WriteNumBits(1, 1);
        if (c.resultBits > 1) recorder.mDemoBuffer.WriteLong(Velm::REG_BINARY);
        recorder.mDemoBuffer.WriteLong(static_cast<int>(0xFFFFFFF0u));
        recorder.mDemoBuffer.WriteLong(0);

        StreamApp player(&mSettings);
        recorder.HandOver(player);
        player.mRegKey = recorder.mRegKey;
        Velm::Buffer buffer;
        uint8_t data[16];
        uint32_t length = sizeof(data);
        if (c.command == 11)
            EXPECT_FALSE(player.RegistryReadData("X", data, &length));
        else if (c.command == 15)
            EXPECT_FALSE(player.ReadBufferFromFile("x", buffer));
        else
            player.DemoSyncBuffer(buffer);
        EXPECT_EQ(buffer.GetDataLen(), 0);
        EXPECT_EQ(player.mDemoError, "Invalid demo file.");
        EXPECT_TRUE(player.IsDemoStreamAtEnd());
        ASSERT_EQ(mBoxes.size(), 1u);
        EXPECT_NE(mBoxes[0].find("Invalid demo file."), std::string::npos);
        // Stopped: reads fail, writes and existence tests succeed, updates are held.
        EXPECT_FALSE(player.ReadBufferFromFile("x", buffer));
        EXPECT_TRUE(player.FileExists("x"));
        EXPECT_TRUE(player.RegistryWriteInteger("X", 1));
        EXPECT_FALSE(player.DoUpdateFrames());
    }
}

TEST_F(DemoStreamTest, ClipboardTextIsCappedSoTheStreamStaysInStep) {
    StreamApp recorder(&mSettings);
    recorder.mRecordingDemo = true;
    const std::string huge(40000, 'q');
    ASSERT_TRUE(plat::SetClipboardText(huge));
    const std::string seen = recorder.GetClipboardText();
    EXPECT_EQ(seen.size(), 32767u);
    recorder.RegistryWriteInteger("After", 1);

    StreamApp player(&mSettings);
    recorder.HandOver(player);
    player.mRegKey = recorder.mRegKey;
    EXPECT_EQ(player.GetClipboardText(), seen);
    EXPECT_TRUE(player.RegistryWriteInteger("After", 5));
    EXPECT_TRUE(player.IsDemoStreamAtEnd());
    EXPECT_TRUE(player.mDemoError.empty());
}

TEST_F(DemoStreamTest, CallsOffTheMainThreadAreNeitherRecordedNorPlayed) {
    const std::string file = mDir.Path("present.txt");
    WriteFile(file, "x");
    StreamApp app(&mSettings);
    app.BecomeMainThread();
    app.mRecordingDemo = true;
    const int before = app.mDemoBuffer.GetDataSizeBits();
    bool exists = false;
    std::thread([&] { exists = app.FileExists(file); }).join();
    EXPECT_TRUE(exists);
    EXPECT_EQ(app.mDemoBuffer.GetDataSizeBits(), before);
    app.FileExists(file);
    EXPECT_GT(app.mDemoBuffer.GetDataSizeBits(), before);

    // Playing: the other thread asks the real file system, the stream is left alone.
    app.mRecordingDemo = false;
    app.mPlayingDemo = true;
    app.mDemoBuffer.Clear();
    bool missing = true;
    std::thread([&] { missing = app.FileExists(mDir.Path("absent")); }).join();
    EXPECT_FALSE(missing);
    EXPECT_EQ(app.mDemoBuffer.GetReadBitPos(), 0);
    app.mPlayingDemo = false;
}

// ---- The demo file ----

class DemoFileTest : public WindowAppTest {
protected:
    // Writes a recording of a few commands with two markers; returns its bytes.
    std::string WriteValidDemo(const std::string& path) {
        StreamApp recorder(&mSettings);
        recorder.mProductVersion = "1.0.2";
        recorder.mDemoFileName = path;
        recorder.mRecordingDemo = true;
        recorder.mRandSeed = 4321;
        recorder.mDemoMarkerList = {{"start", 5}, {"boss", 2500}};
        recorder.DemoRecordDisplayMode();
        recorder.mUpdateCnt = 3;
        recorder.WriteDemoCommand(9);
        recorder.WindowProc(nullptr, plat::WM_MOUSEMOVE, 0, LParam(100, 60));
        recorder.WindowProc(nullptr, plat::WM_LBUTTONDOWN, 0, LParam(101, 61));
        recorder.WindowProc(nullptr, plat::WM_KEYDOWN, 'K', 0);
        recorder.WindowProc(nullptr, plat::WM_CHAR, 'k', 0);
        recorder.ProcessDeferredMessages(false);
        recorder.mUpdateCnt = 40;
        recorder.RegistryWriteInteger("Score", 12);
        int score = 0;
        recorder.RegistryReadInteger("Score", &score);
        Velm::Buffer buffer;
        buffer.WriteString("payload");
        recorder.DemoSyncBuffer(buffer);
        std::string text = "clip";
        recorder.DemoSyncString(text);
        recorder.mUpdateCnt = 3000;
        recorder.WindowProc(nullptr, plat::WM_CLOSE, 0, 0);
        recorder.ProcessDeferredMessages(false);
        recorder.WriteDemoFile();
        return ReadWholeFile(path);
    }

    bool Read(StreamApp& app, const std::string& bytes, std::string* error) {
        const std::string path = mDir.Path("probe.dmo");
        WriteFile(path, bytes);
        app.mProductVersion = "1.0.2";
        app.mDemoFileName = path;
        app.mPlayingDemo = true;
        return app.ReadDemoFile(error);
    }
};

TEST_F(DemoFileTest, WrittenFileReadsBack) {
    const std::string bytes = WriteValidDemo(mDir.Path("valid.dmo"));
    ASSERT_FALSE(bytes.empty());
    StreamApp app(&mSettings);
    std::string error;
    ASSERT_TRUE(Read(app, bytes, &error)) << error;
    EXPECT_EQ(app.GetRandSeed(), 4321u);
    EXPECT_EQ(app.mDemoTotalUpdates, 3000);
    ASSERT_EQ(app.mDemoMarkerList.size(), 2u);
    EXPECT_EQ(app.mDemoMarkerList[1].first, "boss");
    EXPECT_EQ(app.mDemoMarkerList[1].second, 2500);
    ASSERT_TRUE(app.PrepareDemoCommand(true));
    EXPECT_EQ(app.mDemoCmdNum, 23);
}

TEST_F(DemoFileTest, MalformedFilesAreRefusedWithTheirMessages) {
    const std::string longVersion(300, 'v');
    struct Case {
        const char* what;
        std::string bytes;
        std::string error;
    };
    // clang-format off
    const Case cases[] = {
            {"bad magic", FileBuilder().U32(0x42BEEF79).U32(2).U32(1).Text("1.0.2").Data(), "Invalid demo file."},
            {"truncated magic", std::string("\x78\xEF", 2), "Invalid demo file."},
            {"other version",
             FileBuilder().Header(3, "1.0.2").U32(4).U32(0).U32(100).Bytes("\x01").Data(), "Invalid demo file."},
            {"version 0", FileBuilder().Header(0, "1.0.2").U32(100).Bytes("\x01").Data(), "Invalid demo file."},
            {"other product version", FileBuilder().Header(2, "0.9").U32(4).U32(0).U32(1).Bytes("\x01").Data(),
             "This demo file appears to be for '0.9'"},
            {"version text of 300 bytes", FileBuilder().Header(2, longVersion).U32(4).U32(0).U32(1).Bytes("\x01").Data(),
             "This demo file appears to be for '" + longVersion.substr(0, 255) + "'"},
            {"version text cut short", FileBuilder().U32(0x42BEEF78).U32(2).U32(1).U16(9).Bytes("1.0").Data(),
             "Invalid demo file."},
            {"marker block longer than the file", FileBuilder().Header(2, "1.0.2").U32(0x7FFFFFFF).U32(0).Data(),
             "Invalid demo file."},
            {"marker block as long as the rest", FileBuilder().Header(2, "1.0.2").U32(9).U32(0).U32(1).Bytes("\x01").Data(),
             "Invalid demo file."},
            {"more markers than the block holds",
             FileBuilder().Header(2, "1.0.2").U32(11).U32(2).Text("ab").U32(5).U32(100).Bytes("\x01").Data(),
             "Invalid demo file."},
            {"marker name past the block",
             FileBuilder().Header(2, "1.0.2").U32(8).U32(1).U16(60000).Bytes("xx").U32(100).Bytes("\x01\x02").Data(),
             "Invalid demo file."},
            {"header without commands", FileBuilder().Header(2, "1.0.2").U32(4).U32(0).U32(100).Data(),
             "Invalid demo file."},
            {"no total updates", FileBuilder().Header(2, "1.0.2").U32(4).U32(0).Bytes("\x01").Data(), "Invalid demo file."},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StreamApp app(&mSettings);
        std::string error;
        EXPECT_FALSE(Read(app, c.bytes, &error));
        EXPECT_EQ(error, c.error);
    }

    StreamApp app(&mSettings);
    app.mDemoFileName = mDir.Path("nowhere.dmo");
    std::string error;
    EXPECT_FALSE(app.ReadDemoFile(&error));
    EXPECT_EQ(error, "Demo file not found: " + mDir.Path("nowhere.dmo"));

    // Version 1 has no marker block.
    StreamApp old(&mSettings);
    EXPECT_TRUE(Read(old, FileBuilder().Header(1, "1.0.2").U32(100).Bytes("\x01").Data(), &error)) << error;
    EXPECT_EQ(old.mDemoTotalUpdates, 100);
}

// Plays what is left of a stream to its end, answering the data commands as their
// consumers would.
void PlayToTheEnd(StreamApp& app) {
    for (int guard = 0; guard < 100000 && !app.IsShutdown() && !app.IsDemoStreamAtEnd(); ++guard) {
        app.PlayDemoCommands();
        if (app.IsShutdown() || app.IsDemoStreamAtEnd()) break;
        app.PrepareDemoCommand(true);
        if (app.IsDemoStreamAtEnd()) break;
        if (!app.mDemoIsShortCmd) {
            Velm::Buffer buffer;
            uint8_t data[64];
            uint32_t length = sizeof(data);
            std::string text;
            bool flag = false;
            switch (app.mDemoCmdNum) {
                case 11: app.RegistryReadData("X", data, &length); continue;
                case 12: app.RegistryWriteInteger("X", 1); continue;
                case 13: app.RegistryEraseKey("X"); continue;
                case 14: app.FileExists("x"); continue;
                case 15: app.ReadBufferFromFile("x", buffer); continue;
                case 16: app.WriteBytesToFile("x", "a", 1); continue;
                case 18:
                    if (guard % 3 == 0)
                        app.DemoSyncString(text);
                    else if (guard % 3 == 1)
                        app.DemoSyncBool(flag);
                    else
                        app.DemoSyncBuffer(buffer);
                    continue;
                default: break;
            }
        }
        app.mUpdateCnt = app.mDemoNextUpdate;
    }
}

TEST_F(DemoFileTest, RandomByteFlipsAreRefusedOrPlayedSafely) {
    const std::string valid = WriteValidDemo(mDir.Path("valid.dmo"));
    ASSERT_FALSE(valid.empty());
    std::mt19937 random(20261210);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = valid;
        const int flips = 1 + static_cast<int>(random() % 3);
        for (int i = 0; i < flips; ++i) bytes[random() % bytes.size()] ^= static_cast<char>(1 + random() % 255);
        StreamApp app(&mSettings);
        app.mProductVersion = "1.0.2";
        app.mPlayingDemo = true;
        std::string error;
        if (!app.ReadDemoData(std::vector<uint8_t>(bytes.begin(), bytes.end()), &error)) {
            const bool known =
                    error == "Invalid demo file." || error.rfind("This demo file appears to be for '", 0) == 0;
            EXPECT_TRUE(known) << error;
            continue;
        }
        ++accepted;
        PlayToTheEnd(app);
        EXPECT_TRUE(app.mDemoError.empty() || app.mDemoError == "Invalid demo file.") << app.mDemoError;
    }
    // Most flips land in the command stream and are played.
    EXPECT_GT(accepted, 100);
}

// ---- Numbered files, keys and dialogs ----

TEST_F(DemoStreamTest, NumberedDemoFilesLiveInTheDataFolder) {
    const std::string previous = Velm::GetAppDataFolder();
    Velm::SetAppDataFolder(mDir.Path() + "/");
    for (int n = 1; n <= 3; ++n) WriteFile(mDir.Path("velmapp" + std::to_string(n) + ".dmo"), "x");
    WriteFile(mDir.Path("velmappx.dmo"), "x");  // counted, not numbered
    StreamApp app(&mSettings);
    EXPECT_EQ(app.FindNumberedDemoFiles("velmapp", 10, true), 3);
    EXPECT_TRUE(plat::FileExists(mDir.Path("velmapp1.dmo")));

    app.HandleCmdLineParam("-playnum", "");
    EXPECT_EQ(app.mDemoFileName, mDir.Path() + "/velmapp3.dmo");
    app.HandleCmdLineParam("-playnum", "2");
    EXPECT_EQ(app.mDemoFileName, mDir.Path() + "/velmapp2.dmo");
    EXPECT_TRUE(app.mPlayingDemo);

    // Four files with the stray one, keep 3: the oldest goes, the next is number 4.
    app.HandleCmdLineParam("-recnum", "3");
    EXPECT_FALSE(plat::FileExists(mDir.Path("velmapp1.dmo")));
    EXPECT_TRUE(plat::FileExists(mDir.Path("velmapp2.dmo")));
    EXPECT_EQ(app.mDemoFileName, mDir.Path() + "/velmapp4.dmo");
    EXPECT_TRUE(app.mRecordingDemo);
    EXPECT_FALSE(app.mPlayingDemo);
    Velm::SetAppDataFolder(previous);
}

TEST_F(DemoStreamTest, PlaybackKeys) {
    StreamApp app(&mSettings);
    app.mPlayingDemo = true;
    app.mDemoTotalUpdates = 30000;
    app.mUpdateCnt = 100;
    struct Case {
        int key;
        double speed;
        int target;
    };
    const Case cases[] = {
            {'+', 1.5, 0},     {'+', 2.25, 0},    {'-', 1.5, 0},     {'=', 1.0, 0},
            {'0', 1.0, 30000}, {'9', 1.0, 29500}, {'4', 1.0, 18000}, {'n', 1.0, 101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<char>(c.key));
        app.mFastForwardToUpdateNum = 0;
        EXPECT_TRUE(app.HandleDemoPlaybackKey(c.key));
        EXPECT_DOUBLE_EQ(app.mSpeedFactor, c.speed);
        EXPECT_EQ(app.mFastForwardToUpdateNum, c.target);
    }
    EXPECT_TRUE(app.mFastForwardStep);
    EXPECT_TRUE(app.HandleDemoPlaybackKey('M'));
    EXPECT_TRUE(app.mFastForwardToMarker);
    EXPECT_TRUE(app.HandleDemoPlaybackKey('p'));
    EXPECT_TRUE(app.mPaused);
    EXPECT_TRUE(app.HandleDemoPlaybackKey('P'));
    EXPECT_FALSE(app.mPaused);
    EXPECT_FALSE(app.HandleDemoPlaybackKey('x'));

    // The sound toggle remembers each volume and gives it back.
    app.SetMusicVolume(0.5);
    app.SetSfxVolume(0.0);
    app.mPlaybackSfxVolume = 0.25;
    EXPECT_TRUE(app.HandleDemoPlaybackKey('s'));
    EXPECT_DOUBLE_EQ(app.GetMusicVolume(), 0.0);
    EXPECT_DOUBLE_EQ(app.GetSfxVolume(), 0.25);
    app.ToggleSoundVolumes();
    EXPECT_DOUBLE_EQ(app.GetMusicVolume(), 0.5);
    EXPECT_DOUBLE_EQ(app.GetSfxVolume(), 0.0);

    // Typed while a demo plays, the keys reach the playback through the window procedure.
    app.WindowProc(nullptr, plat::WM_CHAR, '=', 0);
    app.mSpeedFactor = 3.0;
    app.WindowProc(nullptr, plat::WM_CHAR, '=', 0);
    EXPECT_DOUBLE_EQ(app.mSpeedFactor, 1.0);
    app.mPlayingDemo = false;
}

class ScriptedDialogs : public Velm::DemoDialogs {
public:
    int ChooseMarker(const std::vector<std::string>& lines) override {
        mLines = lines;
        return mChoice;
    }
    bool EditJumpTime(std::string* text) override {
        mShownTime = *text;
        *text = mNewTime;
        return mOk;
    }
    std::vector<std::string> mLines;
    int mChoice = -1;
    std::string mShownTime;
    std::string mNewTime;
    bool mOk = true;
};

TEST_F(DemoStreamTest, MarkerListAndJumpToTime) {
    ScriptedDialogs dialogs;
    Velm::SetDemoDialogs(&dialogs);
    StreamApp app(&mSettings);
    app.mPlayingDemo = true;
    app.mDemoTotalUpdates = 400000;
    app.mUpdateCnt = 1000;
    app.mDemoMarkerList = {{"passed", 500}, {"level two", 40000}, {"boss", 396000}};

    dialogs.mChoice = 0;
    app.ShowDemoMarkerList();
    const std::vector<std::string> lines = {"level two (01:00:00)", "boss (00:00:40)"};
    EXPECT_EQ(dialogs.mLines, lines);
    EXPECT_EQ(app.mFastForwardToUpdateNum, 40000);
    dialogs.mChoice = -1;
    app.mFastForwardToUpdateNum = 0;
    app.ShowDemoMarkerList();
    EXPECT_EQ(app.mFastForwardToUpdateNum, 0);

    // The jump time is kept in the settings store, with its terminator.
    const std::string key = "SOFTWARE\\" + app.mRegKey;
    mSettings.SetString(key, "DemoJumpTime", "1:30");
    dialogs.mNewTime = "0:10";
    app.ShowDemoJumpToTime();
    EXPECT_EQ(dialogs.mShownTime, "1:30");
    EXPECT_EQ(app.mFastForwardToUpdateNum, 400000 - 11 * 100);
    uint32_t type = 0;
    std::vector<uint8_t> stored;
    ASSERT_TRUE(mSettings.GetValue(key, "DemoJumpTime", &type, &stored));
    EXPECT_EQ(std::string(stored.begin(), stored.end()), std::string("0:10\0", 5));
    dialogs.mOk = false;
    dialogs.mNewTime = "5";
    app.mFastForwardToUpdateNum = 7;
    app.ShowDemoJumpToTime();
    EXPECT_EQ(dialogs.mShownTime, "0:10");
    EXPECT_EQ(app.mFastForwardToUpdateNum, 7);
    Velm::SetDemoDialogs(nullptr);
    app.mPlayingDemo = false;
}

TEST(DemoDialogText, MarkerLinesAndJumpTimes) {
    EXPECT_EQ(Velm::FormatDemoMarkerLine("x", 0, 10), "x (00:00:00)");
    EXPECT_EQ(Velm::FormatDemoMarkerLine("x", 366100, 10), "x (01:01:01)");
    struct Case {
        const char* text;
        int seconds;
    };
    const Case cases[] = {{"", 0}, {"90", 90}, {"1:30", 90}, {"1:00:05", 3605}, {"a:b", 0}, {"2:", 120}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Velm::ParseDemoJumpTime(c.text), c.seconds);
    }
}

}  // namespace
