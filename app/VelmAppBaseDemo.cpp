// Demo recording and playback: the command stream, the demo file, the commands that
// replay input, the syncing of outside answers, and the playback keys and dialogs.
//
// The command stream is a bit stream (least significant bit first). Every command starts
// with a 4-bit update delta; a longer gap is bridged by filler commands of delta 15. Then
// one form bit: 0 for a 5-bit command id and its payload, 1 for a mouse record (one kind
// bit: 0 a move by two 6-bit two's-complement deltas, 1 a button with a down bit and a
// 3-bit two's-complement click code). Mouse positions are logical screen coordinates.

#include "app/VelmAppBase.h"

#include "app/DisplaySetup.h"
#include "app/demo/DemoDialogHost.h"
#include "app/demo/DemoDialogs.h"
#include "app/http/HTTPTransfer.h"
#include "platform/DebugOutput.h"
#include "platform/Files.h"
#include "platform/Settings.h"
#include "resources/base/Paths.h"
#include "resources/base/Random.h"
#include "resources/base/StringUtils.h"
#include "widgets/WidgetManager.h"

#include <algorithm>
#include <climits>

namespace Velm {

namespace {

const uint32_t kDemoMagic = 0x42BEEF78;
const int kDemoVersion = 2;

const char* const kInvalidDemo = "Invalid demo file.";

enum DemoCommand {
    kCmdMouseJump = 0,
    kCmdActivation = 1,
    kCmdMinimized = 2,
    kCmdKeyDown = 3,
    kCmdKeyUp = 4,
    kCmdChar = 5,
    kCmdClose = 6,
    kCmdMouseEnter = 7,
    kCmdMouseLeave = 8,
    kCmdLoadingDone = 9,
    kCmdRegistryRead = 11,
    kCmdRegistryWrite = 12,
    kCmdRegistryEraseKey = 13,
    kCmdFileExists = 14,
    kCmdFileRead = 15,
    kCmdFileWritten = 16,
    kCmdHttpResult = 17,
    kCmdSyncData = 18,
    kCmdWheel = 21,
    kCmdDisplayMode = 23,
    kCmdFiller = 31,
};

// Bits of the stream not read yet.
int BitsLeft(const Buffer& buffer) { return buffer.GetDataSizeBits() - buffer.GetReadBitPos(); }

// The bit at a position of the stream, without moving the read cursor.
int PeekBit(const Buffer& buffer, int position) {
    const uint8_t* data = buffer.GetDataPtr();
    return (data[position / 8] >> (position % 8)) & 1;
}

// A little-endian reader over a whole file held in memory; reads past the end fail.
class FileReader {
public:
    explicit FileReader(const std::vector<uint8_t>& bytes) : mBytes(bytes) {}

    size_t Left() const { return mBytes.size() - mPos; }
    size_t Position() const { return mPos; }

    bool ReadU32(uint32_t* value) {
        if (Left() < 4) return false;
        *value = mBytes[mPos] | (mBytes[mPos + 1] << 8) | (mBytes[mPos + 2] << 16) |
                 (static_cast<uint32_t>(mBytes[mPos + 3]) << 24);
        mPos += 4;
        return true;
    }

    bool ReadU16(uint32_t* value) {
        if (Left() < 2) return false;
        *value = mBytes[mPos] | (mBytes[mPos + 1] << 8);
        mPos += 2;
        return true;
    }

    bool ReadText(size_t length, std::string* text) {
        if (Left() < length) return false;
        text->assign(reinterpret_cast<const char*>(mBytes.data() + mPos), length);
        mPos += length;
        return true;
    }

private:
    const std::vector<uint8_t>& mBytes;
    size_t mPos = 0;
};

// The marker block: a 4-byte count, then per marker a 2-byte name length, the name and
// a 4-byte update. False when the block ends before `count` markers were read.
bool ParseMarkerBlock(const std::vector<uint8_t>& block, std::vector<std::pair<std::string, int>>* markers) {
    FileReader reader(block);
    uint32_t count = 0;
    if (!reader.ReadU32(&count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t length = 0;
        std::string name;
        uint32_t update = 0;
        if (!reader.ReadU16(&length) || !reader.ReadText(length, &name) || !reader.ReadU32(&update)) return false;
        markers->push_back(std::make_pair(name, static_cast<int>(update)));
    }
    return true;
}

}  // namespace

// ---- Recording ----

bool VelmAppBase::IsRecordingDemoHere() const { return mRecordingDemo && IsMainThread(); }

bool VelmAppBase::IsPlayingDemoHere() const { return mPlayingDemo && IsMainThread(); }

void VelmAppBase::WriteDemoTimingBlock() {
    int delta = mUpdateCnt - mDemoNextUpdate;
    if (delta < 0) delta = 0;
    while (delta > 15) {
        mDemoBuffer.WriteNumBits(15, 4);
        mDemoBuffer.WriteNumBits(0, 1);
        mDemoBuffer.WriteNumBits(kCmdFiller, 5);
        mDemoNextUpdate += 15;
        delta -= 15;
        ++mDemoCmdOrder;
    }
    mDemoBuffer.WriteNumBits(delta, 4);
    mDemoNextUpdate = mUpdateCnt;
    ++mDemoCmdOrder;
}

void VelmAppBase::WriteDemoCommand(int id) {
    WriteDemoTimingBlock();
    mDemoBuffer.WriteNumBits(0, 1);
    mDemoBuffer.WriteNumBits(id, 5);
}

void VelmAppBase::WriteDemoFile() {
    if (!mRecordingDemo) return;
    Buffer file;
    file.WriteLong(static_cast<int>(kDemoMagic));
    file.WriteLong(kDemoVersion);
    file.WriteLong(static_cast<int>(mRandSeed));
    file.WriteString(mProductVersion);

    Buffer markers;
    markers.WriteLong(static_cast<int>(mDemoMarkerList.size()));
    for (const std::pair<std::string, int>& marker : mDemoMarkerList) {
        markers.WriteString(marker.first);
        markers.WriteLong(marker.second);
    }
    file.WriteLong(markers.GetDataLen());
    file.WriteBytes(markers.GetDataPtr(), markers.GetDataLen());

    file.WriteLong(mUpdateCnt);
    file.WriteBytes(mDemoBuffer.GetDataPtr(), mDemoBuffer.GetDataLen());

    const std::string folder = GetFolderPart(mDemoFileName, false);
    if (!folder.empty()) MakeFolders(folder);
    std::string error;
    if (!plat::WriteFileAtomic(mDemoFileName, file.GetDataPtr(), static_cast<size_t>(file.GetDataLen()), &error))
        plat::DebugOutput("Demo file " + mDemoFileName + " not written: " + error + "\r\n");
}

void VelmAppBase::DemoRecordDisplayMode() {
    if (mDDInterface != nullptr) mRefreshRate = mDDInterface->GetRefreshRate();
    if (!IsRecordingDemoHere()) return;
    WriteDemoCommand(kCmdDisplayMode);
    mDemoBuffer.WriteBoolean(mIsWindowed);
    mDemoBuffer.WriteByte(mRefreshRate & 0xFF);
}

// ---- Reading the file ----

bool VelmAppBase::ReadDemoFile(std::string* error) {
    std::vector<uint8_t> bytes;
    if (!plat::ReadFile(mDemoFileName, bytes)) {
        *error = "Demo file not found: " + mDemoFileName;
        return false;
    }
    return ReadDemoData(bytes, error);
}

bool VelmAppBase::ReadDemoData(const std::vector<uint8_t>& bytes, std::string* error) {
    FileReader reader(bytes);
    uint32_t magic = 0;
    if (!reader.ReadU32(&magic) || magic != kDemoMagic) {
        *error = kInvalidDemo;
        return false;
    }
    uint32_t version = 0;
    uint32_t seed = 0;
    // Version 1 files have no marker block; later versions are not known to this program.
    if (!reader.ReadU32(&version) || version < 1 || version > static_cast<uint32_t>(kDemoVersion) ||
        !reader.ReadU32(&seed)) {
        *error = kInvalidDemo;
        return false;
    }
    SeedRandom(seed);
    mRandSeed = seed;

    uint32_t length = 0;
    std::string recordedVersion;
    if (!reader.ReadU16(&length) || !reader.ReadText(std::min<uint32_t>(length, 255), &recordedVersion)) {
        *error = kInvalidDemo;
        return false;
    }
    if (recordedVersion != mProductVersion) {
        *error = "This demo file appears to be for '" + recordedVersion + "'";
        return false;
    }

    std::vector<std::pair<std::string, int>> markers;
    if (version > 1) {
        uint32_t blockLength = 0;
        if (!reader.ReadU32(&blockLength) || blockLength >= reader.Left()) {
            *error = kInvalidDemo;
            return false;
        }
        const size_t start = reader.Position();
        std::vector<uint8_t> block(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                                   bytes.begin() + static_cast<std::ptrdiff_t>(start + blockLength));
        std::string skipped;
        reader.ReadText(blockLength, &skipped);
        if (!ParseMarkerBlock(block, &markers)) {
            *error = kInvalidDemo;
            return false;
        }
    }

    uint32_t total = 0;
    if (!reader.ReadU32(&total) || reader.Left() == 0) {
        *error = kInvalidDemo;
        return false;
    }

    const size_t start = reader.Position();
    mDemoBuffer.Clear();
    mDemoBuffer.SetData(bytes.data() + start, static_cast<int>(bytes.size() - start));
    mDemoTotalUpdates = static_cast<int>(total);
    mDemoMarkerList = markers;
    mDemoNextUpdate = 0;
    mDemoNeedsCommand = true;
    mDemoCmdOrder = -1;
    mDemoStopped = false;
    mDemoError.clear();
    return true;
}

int VelmAppBase::FindNumberedDemoFiles(const std::string& prefix, int keep, bool deleteOld) {
    // Numbered demos are written to the per-user data folder, so they are counted there.
    std::string folder = GetAppDataFolder();
    if (folder.empty()) folder = plat::CurrentDirectory();
    std::vector<plat::DirEntry> entries;
    plat::ListDirectory(folder, entries);

    int files = 0;
    int lowest = INT_MAX;
    int highest = 0;
    for (const plat::DirEntry& entry : entries) {
        const std::string& name = entry.name;
        if (entry.isDirectory || name.size() < prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - 4, 4, ".dmo") != 0)
            continue;
        ++files;
        const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - 4);
        if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const int number = std::atoi(digits.c_str());
        lowest = std::min(lowest, number);
        highest = std::max(highest, number);
    }
    if (files >= keep && deleteOld && lowest != INT_MAX) {
        const std::string separator = !folder.empty() && folder.back() != '/' && folder.back() != '\\' ? "/" : "";
        plat::RemoveFile(folder + separator + FormatString("%s%d.dmo", prefix.c_str(), lowest));
    }
    return highest;
}

// ---- Playback ----

bool VelmAppBase::IsDemoStreamAtEnd() const {
    if (mDemoStopped) return true;
    if (!mDemoNeedsCommand) return false;
    // What is left must hold a whole header; the last byte's spare bits are zeros.
    const int left = BitsLeft(mDemoBuffer);
    if (left < 6) return true;
    const int formBit = PeekBit(mDemoBuffer, mDemoBuffer.GetReadBitPos() + 4);
    return formBit == 0 && left < 10;
}

bool VelmAppBase::PrepareDemoCommand(bool) {
    if (!mPlayingDemo || IsDemoStreamAtEnd()) return false;
    if (mDemoNeedsCommand) {
        mDemoCmdBitPos = mDemoBuffer.GetReadBitPos();
        mDemoNextUpdate += mDemoBuffer.ReadNumBits(4, false);
        mDemoIsShortCmd = mDemoBuffer.ReadNumBits(1, false) != 0;
        mDemoCmdNum = mDemoBuffer.ReadNumBits(mDemoIsShortCmd ? 1 : 5, false);
        mDemoNeedsCommand = false;
        ++mDemoCmdOrder;
    }
    return mDemoNextUpdate == mUpdateCnt;
}

void VelmAppBase::StopDemoPlayback(const std::string& error) {
    if (mDemoStopped) return;
    mDemoStopped = true;
    mDemoError = error;
    // Reads fail and writes succeed from here on, as after a close, and the run holds
    // still where it is, as at the end of the stream.
    mDemoIsClosed = true;
    mDemoNeedsCommand = true;
    mDemoNextUpdate = mUpdateCnt;
    mFastForwardToUpdateNum = 0;
    mFastForwardToMarker = false;
    plat::DebugOutput(FormatString("Demo playback stopped at update %d (command %d): %s\r\n", mUpdateCnt, mDemoCmdOrder,
                                   error.c_str()));
    Popup(error);
}

bool VelmAppBase::TakeDemoDataCommand(int id) {
    if (!mPlayingDemo || mDemoStopped) return false;
    PrepareDemoCommand(true);
    if (IsDemoStreamAtEnd() || mDemoNeedsCommand) return false;
    if (mDemoIsShortCmd || mDemoCmdNum != id) {
        StopDemoPlayback(kInvalidDemo);
        return false;
    }
    mDemoNeedsCommand = true;
    return true;
}

bool VelmAppBase::ReadDemoBytes(std::vector<uint8_t>* bytes) {
    const int left = BitsLeft(mDemoBuffer);
    if (left < 32) {
        StopDemoPlayback(kInvalidDemo);
        return false;
    }
    const uint32_t length = static_cast<uint32_t>(mDemoBuffer.ReadLong());
    if (length > static_cast<uint32_t>((left - 32) / 8)) {
        StopDemoPlayback(kInvalidDemo);
        return false;
    }
    bytes->resize(length);
    if (length > 0) mDemoBuffer.ReadBytes(bytes->data(), static_cast<int>(length));
    return true;
}

void VelmAppBase::ShowPendingDemoDialog() {
    const int which = mPendingDemoDialog;
    mPendingDemoDialog = 0;
    if (which == 'J')
        ShowDemoJumpToTime();
    else if (which == 'L')
        ShowDemoMarkerList();
}

void VelmAppBase::PlayDemoCommands() {
    // While a playback window is open the demo stands still.
    if (!IsPlayingDemoHere() || mDemoDialogOpen) return;

    // The payload of the command being played must be all there; a stream that ends
    // inside one is broken.
    auto need = [this](int bits) {
        if (BitsLeft(mDemoBuffer) >= bits) return true;
        StopDemoPlayback(kInvalidDemo);
        return false;
    };
    // Data commands belong to their consumers; one found here (the run did not ask at
    // this point) is skipped whole, so the stream stays in step.
    auto skipBytes = [this]() {
        std::vector<uint8_t> bytes;
        return ReadDemoBytes(&bytes);
    };

    while (!mShutdown.load() && !mDemoStopped) {
        if (!PrepareDemoCommand(false)) break;
        mDemoNeedsCommand = true;

        if (mDemoIsShortCmd) {
            int x = mLastDemoMouseX.load();
            int y = mLastDemoMouseY.load();
            if (mDemoCmdNum == 0) {
                if (!need(12)) break;
                x += mDemoBuffer.ReadNumBits(6, true);
                y += mDemoBuffer.ReadNumBits(6, true);
                mLastDemoMouseX = x;
                mLastDemoMouseY = y;
                mWidgetManager->MouseMove(x, y);
            } else {
                if (!need(4)) break;
                const bool down = mDemoBuffer.ReadNumBits(1, false) != 0;
                const int code = mDemoBuffer.ReadNumBits(3, true);
                if (down)
                    mWidgetManager->MouseDown(x, y, code);
                else
                    mWidgetManager->MouseUp(x, y, code);
            }
            continue;
        }

        switch (mDemoCmdNum) {
            case kCmdMouseJump: {
                if (!need(24)) break;
                const int x = mDemoBuffer.ReadNumBits(12, true);
                const int y = mDemoBuffer.ReadNumBits(12, true);
                mLastDemoMouseX = x;
                mLastDemoMouseY = y;
                mWidgetManager->MouseMove(x, y);
                break;
            }
            case kCmdActivation:
                if (!need(1)) break;
                mHasFocus = mDemoBuffer.ReadNumBits(1, false) != 0;
                UpdateAppFocus();
                if (mHasFocus && !mIsWindowed) mWidgetManager->MarkAllDirty();
                if (mIsOpeningURL && !mHasFocus) URLOpenSucceeded(mOpeningURL);
                break;
            case kCmdMinimized: {
                if (!need(8)) break;
                const bool minimized = mDemoBuffer.ReadBoolean();
                if (!mShutdown.load() && minimized != mMinimized) {
                    mMinimized = minimized;
                    if (minimized) {
                        Mute(true);
                    } else {
                        Unmute(true);
                        mWidgetManager->MarkAllDirty();
                    }
                }
                UpdateAppFocus();
                break;
            }
            case kCmdKeyDown:
                if (need(8)) mWidgetManager->KeyDown(mDemoBuffer.ReadNumBits(8, false));
                break;
            case kCmdKeyUp:
                if (need(8)) mWidgetManager->KeyUp(mDemoBuffer.ReadNumBits(8, false));
                break;
            case kCmdChar: {
                if (!need(1)) break;
                const int wide = mDemoBuffer.ReadNumBits(1, false);
                if (!need(8 * (wide + 1))) break;
                const int character = mDemoBuffer.ReadNumBits(8 * (wide + 1), false);
                mWidgetManager->KeyChar(static_cast<char>(character));
                break;
            }
            case kCmdClose: Shutdown(); break;
            case kCmdMouseEnter:
                mMouseIn = true;
                EnforceCursor();
                break;
            case kCmdMouseLeave:
                mWidgetManager->MouseExit(mLastDemoMouseX.load(), mLastDemoMouseY.load());
                mMouseIn = false;
                EnforceCursor();
                break;
            case kCmdLoadingDone: mDemoLoadingComplete = true; break;
            case kCmdWheel:
                if (need(8)) mWidgetManager->MouseWheel(mDemoBuffer.ReadNumBits(8, true));
                break;
            case kCmdDisplayMode:
                if (!need(16)) break;
                mIsWindowed = mDemoBuffer.ReadBoolean();
                mRefreshRate = mDemoBuffer.ReadByte();
                break;
            case kCmdFiller: break;
            case kCmdRegistryRead:
                if (need(1) && mDemoBuffer.ReadNumBits(1, false) != 0 && need(32)) {
                    mDemoBuffer.ReadLong();
                    skipBytes();
                }
                break;
            case kCmdRegistryWrite:
            case kCmdRegistryEraseKey:
            case kCmdFileExists:
            case kCmdFileWritten:
                if (need(1)) mDemoBuffer.ReadNumBits(1, false);
                break;
            case kCmdFileRead:
                if (need(1) && mDemoBuffer.ReadNumBits(1, false) != 0) skipBytes();
                break;
            case kCmdHttpResult: {
                if (!need(56)) break;
                mDemoBuffer.ReadLong();
                mDemoBuffer.ReadByte();
                const int low = mDemoBuffer.ReadByte();
                const int length = mDemoBuffer.ReadByte() * 256 + low;
                if (need(8 * length)) {
                    std::vector<uint8_t> content(static_cast<size_t>(length));
                    if (length > 0) mDemoBuffer.ReadBytes(content.data(), length);
                }
                break;
            }
            case kCmdSyncData: skipBytes(); break;
            default:
                // Ids no program writes.
                StopDemoPlayback(kInvalidDemo);
                break;
        }
    }

    // Skipping to a marker ends with the stream: no marker lies beyond it.
    if (mFastForwardToMarker && IsDemoStreamAtEnd()) mFastForwardToMarker = false;
}

// ---- Outside answers ----

void VelmAppBase::DemoSyncBuffer(Buffer& buffer) {
    if (IsRecordingDemoHere()) {
        WriteDemoCommand(kCmdSyncData);
        mDemoBuffer.WriteLong(buffer.GetDataLen());
        mDemoBuffer.WriteBytes(buffer.GetDataPtr(), buffer.GetDataLen());
    } else if (IsPlayingDemoHere() && !mDemoIsClosed) {
        std::vector<uint8_t> bytes;
        if (TakeDemoDataCommand(kCmdSyncData) && ReadDemoBytes(&bytes)) {
            buffer.Clear();
            buffer.SetData(bytes.data(), static_cast<int>(bytes.size()));
        }
    }
}

void VelmAppBase::DemoSyncBool(bool& value) {
    if (IsRecordingDemoHere()) {
        WriteDemoCommand(kCmdSyncData);
        mDemoBuffer.WriteBoolean(value);
    } else if (IsPlayingDemoHere() && !mDemoIsClosed) {
        if (!TakeDemoDataCommand(kCmdSyncData)) return;
        if (BitsLeft(mDemoBuffer) < 8) {
            StopDemoPlayback(kInvalidDemo);
            return;
        }
        value = mDemoBuffer.ReadBoolean();
    }
}

void VelmAppBase::DemoSyncString(std::string& text) {
    // A 2-byte length holds at most this much; the run sees the same text whether it is
    // recorded or not.
    if (text.size() > static_cast<size_t>(Buffer::kMaxStringLength)) text.resize(Buffer::kMaxStringLength);
    if (IsRecordingDemoHere()) {
        WriteDemoCommand(kCmdSyncData);
        mDemoBuffer.WriteString(text);
    } else if (IsPlayingDemoHere() && !mDemoIsClosed) {
        if (!TakeDemoDataCommand(kCmdSyncData)) return;
        const int left = BitsLeft(mDemoBuffer);
        if (left < 16) {
            StopDemoPlayback(kInvalidDemo);
            return;
        }
        const int low = mDemoBuffer.ReadByte();
        const int high = mDemoBuffer.ReadByte();
        const int length = (high & 0x7F) * 256 + low;
        if ((high & 0x80) != 0 || length > (left - 16) / 8) {
            StopDemoPlayback(kInvalidDemo);
            return;
        }
        text.assign(static_cast<size_t>(length), '\0');
        if (length > 0) mDemoBuffer.ReadBytes(&text[0], length);
    }
}

// ---- Playback keys and dialogs ----

bool VelmAppBase::HandleDemoPlaybackKey(int character) {
    // Seconds before the end that the digit keys jump to.
    static const int kDigitSeconds[] = {120, 90, 60, 30, 10, 5};
    switch (character) {
        case '+': mSpeedFactor *= 1.5; return true;
        case '-': mSpeedFactor *= 2.0 / 3.0; return true;
        case '=': mSpeedFactor = 1.0; return true;
        case '0': mFastForwardToUpdateNum = mDemoTotalUpdates; return true;
        case '4':
        case '5':
        case '6':
        case '7':
        case '8':
        case '9':
            mFastForwardToUpdateNum = mDemoTotalUpdates - kDigitSeconds[character - '4'] * 1000 / mFrameTime;
            return true;
        case 'J':
        case 'j':
            // The windows open from the loop (ShowPendingDemoDialog), not from inside the
            // window procedure that delivered the key.
            mPendingDemoDialog = 'J';
            return true;
        case 'L':
        case 'l': mPendingDemoDialog = 'L'; return true;
        case 'M':
        case 'm': mFastForwardToMarker = true; return true;
        case 'N':
        case 'n':
            mFastForwardToUpdateNum = mUpdateCnt + 1;
            mFastForwardStep = true;
            return true;
        case 'P':
        case 'p':
            mPaused = !mPaused;
            mUpdateFTimeAcc = 0;
            mLastTimeCheck = Tick();
            return true;
        case 'S':
        case 's': ToggleSoundVolumes(); return true;
        default: return false;
    }
}

void VelmAppBase::ToggleSoundVolumes() {
    if (GetMusicVolume() != 0.0) {
        mPlaybackMusicVolume = GetMusicVolume();
        SetMusicVolume(0.0);
    } else {
        SetMusicVolume(mPlaybackMusicVolume);
    }
    if (GetSfxVolume() != 0.0) {
        mPlaybackSfxVolume = GetSfxVolume();
        SetSfxVolume(0.0);
    } else {
        SetSfxVolume(mPlaybackSfxVolume);
    }
}

void VelmAppBase::ShowDemoMarkerList() {
    std::vector<std::string> lines;
    std::vector<int> updates;
    for (const std::pair<std::string, int>& marker : mDemoMarkerList) {
        if (marker.second <= mUpdateCnt) continue;
        lines.push_back(FormatDemoMarkerLine(marker.first, mDemoTotalUpdates - marker.second, mFrameTime));
        updates.push_back(marker.second);
    }
    mDemoDialogOpen = true;
    const int chosen = GetDemoDialogs().ChooseMarker(lines);
    mDemoDialogOpen = false;
    if (chosen >= 0 && chosen < static_cast<int>(updates.size()) && updates[chosen] > mUpdateCnt)
        mFastForwardToUpdateNum = updates[chosen];
    mUpdateFTimeAcc = 0;
    mLastTimeCheck = Tick();
}

void VelmAppBase::ShowDemoJumpToTime() {
    // Read and written straight in the settings store: the dialog's own memory is no
    // part of the played run.
    const std::string key = "SOFTWARE\\" + StripTrailingSlash(mRegKey);
    std::string text;
    uint32_t type = 0;
    std::vector<uint8_t> stored;
    if (!mRegKey.empty() && GetSettingsStore().GetValue(key, "DemoJumpTime", &type, &stored) && type == REG_SZ) {
        text.assign(stored.begin(),
                    stored.begin() + static_cast<std::ptrdiff_t>(std::min<size_t>(stored.size(), 1000)));
        const size_t nul = text.find('\0');
        if (nul != std::string::npos) text.resize(nul);
    }
    mDemoDialogOpen = true;
    const bool ok = GetDemoDialogs().EditJumpTime(&text);
    mDemoDialogOpen = false;
    if (ok) {
        if (!mRegKey.empty()) GetSettingsStore().SetValue(key, "DemoJumpTime", REG_SZ, text.c_str(), text.size() + 1);
        const long long seconds = ParseDemoJumpTime(text);
        const long long target = mDemoTotalUpdates - (seconds + 1) * 1000 / mFrameTime;
        mFastForwardToUpdateNum = static_cast<int>(std::min<long long>(INT_MAX, std::max<long long>(INT_MIN, target)));
    }
    mUpdateFTimeAcc = 0;
    mLastTimeCheck = Tick();
}

namespace {

// The demo command that carries an HTTP transfer's result.
const int kDemoCommandHttpResult = 17;

// HTTP transfers on the application's demo stream: a recorded run stores every change of a
// transfer's result (its id, the result and the content), a played run takes them back.
class AppHTTPTransferDemo : public HTTPTransferDemo {
public:
    explicit AppHTTPTransferDemo(VelmAppBase* app) : mApp(app) {}

    bool IsPlayingHere() override { return mApp->IsPlayingDemoHere(); }
    bool IsPlaying() override { return mApp->mPlayingDemo; }

    bool TakeResult(int transferId, int* result, std::string* content) override {
        if (!mApp->PrepareDemoCommand(false) || mApp->mDemoNextUpdate != mApp->mUpdateCnt ||
            mApp->mDemoCmdNum != kDemoCommandHttpResult)
            return false;
        // The command belongs to this transfer only when it carries its id.
        Buffer peek = mApp->mDemoBuffer;
        if (peek.ReadLong() != transferId) return false;
        mApp->mDemoBuffer.ReadLong();
        *result = mApp->mDemoBuffer.ReadByte();
        *content = mApp->mDemoBuffer.ReadString();
        // Taken: the next command's header is read afresh.
        mApp->mDemoNeedsCommand = true;
        return true;
    }

    void RecordResult(int transferId, int result, const std::string& content) override {
        if (!mApp->IsRecordingDemoHere()) return;
        mApp->WriteDemoCommand(kDemoCommandHttpResult);
        mApp->mDemoBuffer.WriteLong(transferId);
        mApp->mDemoBuffer.WriteByte(result);
        mApp->mDemoBuffer.WriteString(content);
    }

private:
    VelmAppBase* mApp;
};

// The demo playback dialogs in this application's window and dialog registry.
class AppDemoDialogHost : public DemoDialogHost {
public:
    explicit AppDemoDialogHost(VelmAppBase* app) : mApp(app) {}

    void BeginPopup() override { mApp->BeginPopup(); }
    void EndPopup() override { mApp->EndPopup(); }
    bool IsPopupOpen() override { return mApp->mPopupOpen; }
    bool HasMainWindow() override { return mApp->GetMainWindow() != nullptr; }
    WidgetManager* GetWidgetManager() override { return mApp->GetWidgetManager(); }
    int GetWidth() override { return mApp->GetWidth(); }
    int GetHeight() override { return mApp->GetHeight(); }
    void AddDialog(int id, Dialog* dialog) override { mApp->AddDialog(id, dialog); }
    void KillDialog(int id) override { mApp->KillDialog(id); }

private:
    VelmAppBase* mApp;
};

}  // namespace

std::unique_ptr<HTTPTransferDemo> VelmAppBase::MakeHTTPTransferDemo() {
    return std::unique_ptr<HTTPTransferDemo>(new AppHTTPTransferDemo(this));
}

std::unique_ptr<DemoDialogHost> VelmAppBase::MakeDemoDialogHost() {
    return std::unique_ptr<DemoDialogHost>(new AppDemoDialogHost(this));
}

}  // namespace Velm
