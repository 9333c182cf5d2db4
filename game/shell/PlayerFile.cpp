#include "game/shell/PlayerFile.h"

#include "platform/Files.h"
#include "resources/base/Buffer.h"

namespace {

// Creates every folder above the file, outermost first; failures (a folder
// that exists) are left to the write to report.
void MakeParentFolders(const std::string& path) {
    for (size_t i = 1; i < path.size(); ++i) {
        if (path[i] == '/' || path[i] == '\\') plat::MakeDirectory(path.substr(0, i));
    }
}

}  // namespace

bool ReadPlayerFile(const std::string& path, Velm::Buffer& buffer) {
    buffer.Clear();
    const int64_t size = plat::FileSize(path);
    if (size < 0 || size > kMaxPlayerFileBytes) return false;
    std::vector<uint8_t> bytes;
    if (!plat::ReadFile(path, bytes) || static_cast<int64_t>(bytes.size()) > kMaxPlayerFileBytes) return false;
    if (!bytes.empty()) buffer.SetData(bytes.data(), static_cast<int>(bytes.size()));
    buffer.RewindRead();
    return true;
}

bool WritePlayerFile(const std::string& path, const Velm::Buffer& buffer, std::string* error) {
    MakeParentFolders(path);
    const uint8_t* data = buffer.GetDataPtr();
    static const uint8_t kNothing = 0;
    return plat::WriteFileAtomic(path, data != nullptr ? data : &kNothing, static_cast<size_t>(buffer.GetDataLen()),
                                 error);
}

bool PlayerFileReader::Need(int bytes) {
    if (mFailed) return false;
    if (RemainingBytes() < bytes) mFailed = true;
    return !mFailed;
}

int PlayerFileReader::RemainingBytes() const {
    if (mFailed) return 0;
    const int bits = mBuffer.GetDataSizeBits() - mBuffer.GetReadBitPos();
    return bits > 0 ? bits / 8 : 0;
}

bool PlayerFileReader::ReadLong(int& value) {
    if (!Need(4)) return false;
    value = mBuffer.ReadLong();
    return true;
}

bool PlayerFileReader::ReadBoolean(bool& value) {
    if (!Need(1)) return false;
    value = mBuffer.ReadBoolean();
    return true;
}

bool PlayerFileReader::ReadString(std::string& value) {
    if (!Need(2)) return false;
    const int low = mBuffer.ReadByte();
    const int high = mBuffer.ReadByte();
    if ((high & 0x80) != 0) {
        value.clear();
        return true;
    }
    const int length = high * 256 + low;
    if (!Need(length)) return false;
    std::string text(static_cast<size_t>(length), '\0');
    if (length > 0) mBuffer.ReadBytes(&text[0], length);
    value = std::move(text);
    return true;
}

std::vector<uint8_t> BufferBytes(const Velm::Buffer& buffer) {
    const uint8_t* data = buffer.GetDataPtr();
    if (data == nullptr) return {};
    return std::vector<uint8_t>(data, data + buffer.GetDataLen());
}
