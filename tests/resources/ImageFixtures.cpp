#include "tests/resources/ImageFixtures.h"

#include <jpeglib.h>
#include <openjpeg.h>
#include <png.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace fixtures {

bool WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

namespace {

void Put16(Bytes& out, int value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

// LSB-first bit packing into GIF data sub-blocks.
class GifCodeWriter {
public:
    void Put(int code, int bits) {
        mAccumulator |= static_cast<uint32_t>(code) << mCount;
        mCount += bits;
        while (mCount >= 8) {
            mBytes.push_back(static_cast<uint8_t>(mAccumulator & 0xFF));
            mAccumulator >>= 8;
            mCount -= 8;
        }
    }
    void Finish(Bytes& out) {
        if (mCount > 0) mBytes.push_back(static_cast<uint8_t>(mAccumulator & 0xFF));
        for (size_t i = 0; i < mBytes.size(); i += 255) {
            const size_t n = std::min<size_t>(255, mBytes.size() - i);
            out.push_back(static_cast<uint8_t>(n));
            out.insert(out.end(), mBytes.begin() + static_cast<long>(i), mBytes.begin() + static_cast<long>(i + n));
        }
        out.push_back(0);
    }

private:
    Bytes mBytes;
    uint32_t mAccumulator = 0;
    int mCount = 0;
};

}  // namespace

Bytes MakeTga(int width, int height, const std::vector<uint32_t>& pixels, uint8_t descriptor) {
    Bytes out(12, 0);
    out[2] = 2;  // uncompressed true colour
    Put16(out, width);
    Put16(out, height);
    out.push_back(32);
    out.push_back(descriptor);
    for (uint32_t p : pixels) {
        out.push_back(static_cast<uint8_t>(p));
        out.push_back(static_cast<uint8_t>(p >> 8));
        out.push_back(static_cast<uint8_t>(p >> 16));
        out.push_back(static_cast<uint8_t>(p >> 24));
    }
    return out;
}

Bytes MakeGif(int width, int height, const std::vector<uint8_t>& indices, const GifOptions& options) {
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    int tableBits = 1;
    while ((1u << tableBits) < options.palette.size()) ++tableBits;
    const int tableFlags = options.palette.empty() ? 0 : (0x80 | (tableBits - 1));
    Put16(out, width);
    Put16(out, height);
    out.push_back(static_cast<uint8_t>(options.localTable ? 0 : tableFlags));
    out.push_back(0);
    out.push_back(0);
    auto putTable = [&]() {
        for (int i = 0; i < (1 << tableBits); ++i) {
            const uint32_t c = i < static_cast<int>(options.palette.size()) ? options.palette[i] : 0;
            out.push_back(static_cast<uint8_t>(c >> 16));
            out.push_back(static_cast<uint8_t>(c >> 8));
            out.push_back(static_cast<uint8_t>(c));
        }
    };
    if (!options.localTable && tableFlags != 0) putTable();
    // A comment extension that the reader must skip.
    out.insert(out.end(), {0x21, 0xFE, 3, 'h', 'i', '!', 0});
    if (options.transparentIndex >= 0) {
        out.insert(out.end(), {0x21, 0xF9, 4, 0x01, 0, 0, static_cast<uint8_t>(options.transparentIndex), 0});
    }
    out.push_back(',');
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, width);
    Put16(out, height);
    out.push_back(static_cast<uint8_t>((options.localTable ? tableFlags : 0) | (options.interlaced ? 0x40 : 0)));
    if (options.localTable && tableFlags != 0) putTable();

    const int m = options.minCodeSize;
    out.push_back(static_cast<uint8_t>(m));
    const int clear = 1 << m;
    const int bits = m + 1;
    const int perClear = clear - 2;
    GifCodeWriter writer;
    std::vector<uint8_t> codes = indices;
    codes.insert(codes.end(), static_cast<size_t>(options.extraCodes), 0);
    int sinceClear = perClear;
    for (uint8_t index : codes) {
        if (sinceClear == perClear) {
            writer.Put(clear, bits);
            sinceClear = 0;
        }
        writer.Put(index, bits);
        ++sinceClear;
    }
    writer.Put(clear + 1, bits);
    writer.Finish(out);
    if (options.trailer) out.push_back(';');
    return out;
}

namespace {

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void PngFlush(png_structp) {}

}  // namespace

Bytes MakePng(int width, int height, const std::vector<std::vector<uint8_t>>& rows, const PngOptions& options) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return Bytes();
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), options.bitDepth,
                 options.colorType, options.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (uint32_t c : options.palette) {
        palette.push_back(
                png_color{static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8), static_cast<png_byte>(c)});
    }
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    std::vector<png_byte> alpha(options.paletteAlpha.begin(), options.paletteAlpha.end());
    if (!alpha.empty()) png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (const auto& row : rows) pointers.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes MakeJpeg(int width, int height, int components, const std::vector<uint8_t>& samples, int quality) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + size_t(info.next_scanline) * width * components);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

bool WriteJpeg2000(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels, bool jp2) {
    opj_image_cmptparm_t parts[3] = {};
    for (auto& part : parts) {
        part.dx = part.dy = 1;
        part.w = static_cast<OPJ_UINT32>(width);
        part.h = static_cast<OPJ_UINT32>(height);
        part.prec = 8;
        part.sgnd = 0;
    }
    opj_image_t* image = opj_image_create(3, parts, OPJ_CLRSPC_SRGB);
    if (image == nullptr) return false;
    image->x0 = image->y0 = 0;
    image->x1 = static_cast<OPJ_UINT32>(width);
    image->y1 = static_cast<OPJ_UINT32>(height);
    for (size_t i = 0; i < pixels.size(); ++i) {
        image->comps[0].data[i] = static_cast<OPJ_INT32>((pixels[i] >> 16) & 0xFF);
        image->comps[1].data[i] = static_cast<OPJ_INT32>((pixels[i] >> 8) & 0xFF);
        image->comps[2].data[i] = static_cast<OPJ_INT32>(pixels[i] & 0xFF);
    }
    opj_cparameters_t parameters;
    opj_set_default_encoder_parameters(&parameters);
    parameters.tcp_numlayers = 1;
    parameters.tcp_rates[0] = 0;  // lossless
    parameters.cp_disto_alloc = 1;
    parameters.numresolution = 2;
    opj_codec_t* codec = opj_create_compress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    bool ok = opj_setup_encoder(codec, &parameters, image);
    opj_stream_t* stream = ok ? opj_stream_create_default_file_stream(path.c_str(), OPJ_FALSE) : nullptr;
    ok = stream != nullptr && opj_start_compress(codec, image, stream) && opj_encode(codec, stream) &&
         opj_end_compress(codec, stream);
    if (stream != nullptr) opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    return ok;
}

}  // namespace fixtures
