// JPEG 2000 reader over OpenJPEG. Both the bare codestream (".j2k", starting
// with the SOC and SIZ markers FF 4F FF 51) and the JP2 file format (".jp2",
// starting with the 12-byte signature box) are read; the bytes decide which,
// not the extension. The full-resolution picture becomes opaque 0xFFRRGGBB:
// one component is grey, three or more are red, green and blue (further
// components are ignored). Samples of other precisions are scaled to 8 bits.
// Components of another size than the picture (subsampled chroma) are not
// supported and give null.

#include <openjpeg.h>

#include <cstring>
#include <memory>

#include "resources/ImageLibSource.h"

namespace ImageLib {
namespace detail {

namespace {

OPJ_SIZE_T StreamRead(void* buffer, OPJ_SIZE_T count, void* user) {
    const size_t got = static_cast<Source*>(user)->Read(buffer, count);
    return got == 0 ? static_cast<OPJ_SIZE_T>(-1) : got;
}

OPJ_OFF_T StreamSkip(OPJ_OFF_T count, void* user) {
    Source* source = static_cast<Source*>(user);
    const int64_t here = source->Tell();
    if (here < 0 || !source->Seek(here + count)) return -1;
    return count;
}

OPJ_BOOL StreamSeek(OPJ_OFF_T offset, void* user) {
    return static_cast<Source*>(user)->Seek(offset) ? OPJ_TRUE : OPJ_FALSE;
}

void Quiet(const char*, void*) {}

struct Codec {
    opj_codec_t* codec = nullptr;
    opj_stream_t* stream = nullptr;
    opj_image_t* image = nullptr;
    ~Codec() {
        if (image != nullptr) opj_image_destroy(image);
        if (stream != nullptr) opj_stream_destroy(stream);
        if (codec != nullptr) opj_destroy_codec(codec);
    }
};

uint32_t Sample(const opj_image_comp_t& comp, size_t index) {
    int64_t value = comp.data[index];
    if (comp.sgnd) value += int64_t(1) << (comp.prec - 1);
    if (comp.prec > 8)
        value >>= comp.prec - 8;
    else if (comp.prec < 8)
        value <<= 8 - comp.prec;
    return static_cast<uint32_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

}  // namespace

Image* ReadJPEG2000(Source& source) {
    uint8_t magic[12];
    const int64_t size = source.Size();
    if (size < 0 || !source.ReadAll(magic, sizeof magic) || !source.Seek(0)) return nullptr;
    static const uint8_t kJp2Signature[12] = {0, 0, 0, 12, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    static const uint8_t kCodestream[4] = {0xFF, 0x4F, 0xFF, 0x51};
    OPJ_CODEC_FORMAT format;
    if (std::memcmp(magic, kJp2Signature, sizeof kJp2Signature) == 0)
        format = OPJ_CODEC_JP2;
    else if (std::memcmp(magic, kCodestream, sizeof kCodestream) == 0)
        format = OPJ_CODEC_J2K;
    else
        return nullptr;

    Codec c;
    c.codec = opj_create_decompress(format);
    if (c.codec == nullptr) return nullptr;
    opj_set_info_handler(c.codec, Quiet, nullptr);
    opj_set_warning_handler(c.codec, Quiet, nullptr);
    opj_set_error_handler(c.codec, Quiet, nullptr);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(c.codec, &parameters)) return nullptr;

    c.stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE);
    if (c.stream == nullptr) return nullptr;
    opj_stream_set_user_data(c.stream, &source, nullptr);
    opj_stream_set_user_data_length(c.stream, static_cast<OPJ_UINT64>(size));
    opj_stream_set_read_function(c.stream, StreamRead);
    opj_stream_set_skip_function(c.stream, StreamSkip);
    opj_stream_set_seek_function(c.stream, StreamSeek);

    if (!opj_read_header(c.stream, c.codec, &c.image) || c.image == nullptr) return nullptr;
    const int64_t width = int64_t(c.image->x1) - c.image->x0;
    const int64_t height = int64_t(c.image->y1) - c.image->y0;
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension || width * height > kMaxPixels ||
        c.image->numcomps < 1) {
        return nullptr;
    }
    if (!opj_decode(c.codec, c.stream, c.image) || !opj_end_decompress(c.codec, c.stream)) return nullptr;

    const int used = c.image->numcomps >= 3 ? 3 : 1;
    for (int i = 0; i < used; ++i) {
        const opj_image_comp_t& comp = c.image->comps[i];
        if (comp.data == nullptr || comp.w != width || comp.h != height || comp.prec < 1 || comp.prec > 31) {
            return nullptr;
        }
    }
    std::unique_ptr<Image> image(NewImage(static_cast<int>(width), static_cast<int>(height)));
    if (image == nullptr) return nullptr;
    const size_t count = size_t(width) * size_t(height);
    const opj_image_comp_t* comps = c.image->comps;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t r = Sample(comps[0], i);
        const uint32_t g = used == 3 ? Sample(comps[1], i) : r;
        const uint32_t b = used == 3 ? Sample(comps[2], i) : r;
        image->mBits[i] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
    return image.release();
}

}  // namespace detail
}  // namespace ImageLib
