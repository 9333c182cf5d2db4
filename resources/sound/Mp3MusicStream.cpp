// MP3 songs through libmpg123, read from the disk a frame at a time as they play.

#include <mpg123.h>

#include "resources/sound/MusicStream.h"

namespace Velm {
namespace {

class Mp3Stream : public MusicStream {
public:
    ~Mp3Stream() override {
        if (mHandle) {
            mpg123_close(mHandle);
            mpg123_delete(mHandle);
        }
    }

    bool Open(const std::string& path, std::string* error) {
        int code = MPG123_OK;
        mHandle = mpg123_new(nullptr, &code);
        if (!mHandle) return Fail(error, mpg123_plain_strerror(code));
        mpg123_param(mHandle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
        // 16-bit signed output at the file's own rate and channels.
        mpg123_format_none(mHandle);
        const long* rates = nullptr;
        size_t count = 0;
        mpg123_rates(&rates, &count);
        for (size_t i = 0; i < count; ++i) {
            mpg123_format(mHandle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
        }
        if (mpg123_open(mHandle, path.c_str()) != MPG123_OK) return Fail(error, mpg123_strerror(mHandle));
        long rate = 0;
        int channels = 0;
        int encoding = 0;
        if (mpg123_getformat(mHandle, &rate, &channels, &encoding) != MPG123_OK) {
            return Fail(error, "no MPEG audio frame found");
        }
        if (rate <= 0 || channels < 1 || channels > 2 || encoding != MPG123_ENC_SIGNED_16) {
            return Fail(error, "unsupported MP3 channels or rate");
        }
        mChannels = uint16_t(channels);
        mRate = uint32_t(rate);
        return true;
    }

    size_t Read(int16_t* out, size_t frames) override {
        auto* to = reinterpret_cast<unsigned char*>(out);
        const size_t want = frames * BlockAlign();
        size_t got = 0;
        while (got < want) {
            size_t done = 0;
            const int code = mpg123_read(mHandle, to + got, want - got, &done);
            got += done;
            // A new format mid-song is played as the first one; any error or the end stops.
            if (code != MPG123_OK && code != MPG123_NEW_FORMAT) break;
            if (done == 0 && code == MPG123_OK) break;
        }
        return got / BlockAlign();
    }
    bool Rewind() override { return Seek(0); }
    bool Seek(uint64_t frame) override { return mpg123_seek(mHandle, off_t(frame), SEEK_SET) >= 0; }

private:
    static bool Fail(std::string* error, const char* reason) {
        *error = std::string("MP3: ") + (reason ? reason : "unknown error");
        return false;
    }

    mpg123_handle* mHandle = nullptr;
};

}  // namespace

std::unique_ptr<MusicStream> OpenMp3Stream(const std::string& path, std::string* error) {
    return OpenDecoder<Mp3Stream>(error, path);
}

}  // namespace Velm
