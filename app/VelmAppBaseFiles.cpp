// The outside services a run must be able to replay: whole-file reads and writes, the
// file-exists test and the clipboard, each recorded into a demo being recorded and
// answered from a demo being played; and links opened in the user's browser.

#include <cstdio>
#include <vector>

#include "app/VelmAppBase.h"
#include "platform/Clipboard.h"
#include "platform/DebugOutput.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Links.h"
#include "resources/base/Paths.h"
#include "resources/pack/PakFile.h"

namespace Velm {

namespace {

// Demo command ids of the file and clipboard operations.
const int kDemoCmdFileExists = 14;
const int kDemoCmdFileRead = 15;
const int kDemoCmdFileWritten = 16;

}  // namespace

bool VelmAppBase::ReadBufferFromFile(const std::string& path, Buffer& buffer, bool noDemo) {
    const bool useDemo = !noDemo;
    if (IsPlayingDemoHere() && useDemo) {
        if (mDemoIsClosed || !TakeDemoDataCommand(kDemoCmdFileRead)) return false;
        if (mDemoBuffer.ReadNumBits(1, false) == 0) return false;
        std::vector<uint8_t> bytes;
        if (!ReadDemoBytes(&bytes)) return false;
        buffer.Clear();
        buffer.SetData(bytes.data(), static_cast<int>(bytes.size()));
        return true;
    }

    auto record = [&](bool ok, const std::vector<uint8_t>* bytes) {
        if (!IsRecordingDemoHere() || !useDemo) return;
        WriteDemoCommand(kDemoCmdFileRead);
        mDemoBuffer.WriteNumBits(ok ? 1 : 0, 1);
        if (ok) {
            mDemoBuffer.WriteLong(static_cast<int>(bytes->size()));
            mDemoBuffer.WriteBytes(bytes->data(), static_cast<int>(bytes->size()));
        }
    };

    PakFileHandle* file = PakFOpen(path.c_str(), "rb");
    if (file == nullptr) {
        record(false, nullptr);
        return false;
    }
    PakFSeek(file, 0, SEEK_END);
    const long size = PakFTell(file);
    PakFSeek(file, 0, SEEK_SET);
    if (size < 0) {
        PakFClose(file);
        record(false, nullptr);
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    const int read = size > 0 ? PakFRead(bytes.data(), 1, static_cast<int>(size), file) : 0;
    PakFClose(file);
    if (read != size) {
        record(false, nullptr);
        return false;
    }
    buffer.Clear();
    buffer.SetData(bytes.data(), static_cast<int>(bytes.size()));
    record(true, &bytes);
    return true;
}

bool VelmAppBase::FileExists(const std::string& file) {
    if (IsPlayingDemoHere()) {
        if (mDemoIsClosed || !TakeDemoDataCommand(kDemoCmdFileExists)) return true;
        return mDemoBuffer.ReadNumBits(1, false) != 0;
    }
    PakFileHandle* handle = PakFOpen(file.c_str(), "rb");
    const bool opened = handle != nullptr;
    if (IsRecordingDemoHere()) {
        WriteDemoCommand(kDemoCmdFileExists);
        mDemoBuffer.WriteNumBits(opened ? 1 : 0, 1);
    }
    if (handle != nullptr) PakFClose(handle);
    return opened;
}

bool VelmAppBase::WriteBytesToFile(const std::string& file, const void* data, int length) {
    if (IsPlayingDemoHere()) {
        if (mDemoIsClosed || !TakeDemoDataCommand(kDemoCmdFileWritten)) return true;
        return mDemoBuffer.ReadNumBits(1, false) != 0;
    }
    // Written whole or not at all: a full disk or a crash keeps the previous file, and
    // a failed write says so. Files are never written into the pack.
    bool ok = length >= 0 && (data != nullptr || length == 0);
    if (ok) {
        const std::string folder = GetFolderPart(file, false);
        if (!folder.empty()) MakeFolders(folder);
        std::string error;
        ok = plat::WriteFileAtomic(file, data, static_cast<size_t>(length), &error);
        if (!ok) plat::DebugOutput("WriteBytesToFile " + file + ": " + error + "\r\n");
    }
    if (IsRecordingDemoHere()) {
        WriteDemoCommand(kDemoCmdFileWritten);
        mDemoBuffer.WriteNumBits(ok ? 1 : 0, 1);
    }
    return ok;
}

bool VelmAppBase::WriteBufferToFile(const std::string& file, const Buffer& buffer) {
    return WriteBytesToFile(file, buffer.GetDataPtr(), buffer.GetDataLen());
}

void VelmAppBase::CopyToClipboard(const std::string& text) {
    if (mPlayingDemo) return;
    plat::SetClipboardText(text);
}

std::string VelmAppBase::GetClipboardText() {
    std::string text;
    if (!IsPlayingDemoHere()) plat::GetClipboardText(&text);
    // What the clipboard held is part of the run: recorded, and replayed from the demo.
    DemoSyncString(text);
    return text;
}

bool VelmAppBase::OpenURL(const std::string& link, bool quitAfter) {
    if (mIsOpeningURL && link == mOpeningURL) return true;
    mShutdownOnURLOpen = quitAfter;
    mIsOpeningURL = true;
    mOpeningURL = link;
    mOpeningURLTime = Tick();
    if (plat::OpenLink(link)) return true;
    URLOpenFailed(link);
    return false;
}

void VelmAppBase::URLOpenFailed(const std::string&) { mIsOpeningURL = false; }

void VelmAppBase::URLOpenSucceeded(const std::string&) {
    mIsOpeningURL = false;
    if (mShutdownOnURLOpen) Shutdown();
}

std::string VelmAppBase::GetProductVersion(const std::string& path) {
    // Files carry no version resources on this platform; the program knows its own
    // version (mProductVersion) and gives it for itself.
    if (path.empty()) return mProductVersion;
    return std::string();
}

}  // namespace Velm
