// PNG reader and writer over libpng.
//
// Reading turns every PNG into 8-bit RGBA rows: palettes, low-bit grey and
// transparency chunks are expanded to full channels, 16-bit samples are cut to
// 8 bits, grey becomes RGB and an alpha byte 0xFF is added where the file has
// none. Interlaced files are read through all their passes. Rows are then
// packed into 0xAARRGGBB words.
//
// libpng reports errors by longjmp back to the setjmp in the functions below,
// so everything those functions own between setjmp and the last library call
// lives in a thread-local state, never in a local with a destructor. libpng's
// errors and warnings go to the debug log with the file's name, never to
// stderr.

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/DebugOutput.h"
#include "platform/Files.h"
#include "resources/ImageLibSource.h"

namespace ImageLib {
namespace detail {

namespace {

void ReadData(png_structp png, png_bytep data, png_size_t length) {
    Source* source = static_cast<Source*>(png_get_io_ptr(png));
    if (!source->ReadAll(data, length)) png_error(png, "Read Error");
}

void WriteData(png_structp png, png_bytep data, png_size_t length) {
    std::vector<uint8_t>* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushData(png_structp) {}

// libpng's messages, as "PNG error in <file>: <text>"; the error handler then
// jumps back to the reader or writer, which frees everything and fails.
void LogMessage(png_structp png, const char* kind, png_const_charp message) {
    const std::string* name = static_cast<const std::string*>(png_get_error_ptr(png));
    plat::DebugOutput(std::string("PNG ") + kind + " in " + (name != nullptr ? *name : std::string("?")) + ": " +
                      (message != nullptr ? message : "") + "\n");
}

void OnError(png_structp png, png_const_charp message) {
    LogMessage(png, "error", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp png, png_const_charp message) { LogMessage(png, "warning", message); }

// Everything the reader frees when it leaves, whichever way it leaves.
struct ReadState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::unique_ptr<Image> image;
    std::vector<png_byte> row;
    std::string name;
};

// Frees the library's structures and the row; the picture goes with them
// unless the reader has taken it.
void FreeReadState(ReadState& state) {
    png_destroy_read_struct(&state.png, state.info != nullptr ? &state.info : nullptr, nullptr);
    state = ReadState();
}

void PackRow(const png_bytep rgba, uint32_t* out, int width) {
    for (int x = 0; x < width; ++x) {
        const png_bytep p = rgba + x * 4;
        out[x] = (uint32_t(p[3]) << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
}

void UnpackRow(const uint32_t* in, png_bytep rgba, int width) {
    for (int x = 0; x < width; ++x) {
        const uint32_t c = in[x];
        rgba[x * 4 + 0] = static_cast<png_byte>(c >> 16);
        rgba[x * 4 + 1] = static_cast<png_byte>(c >> 8);
        rgba[x * 4 + 2] = static_cast<png_byte>(c);
        rgba[x * 4 + 3] = static_cast<png_byte>(c >> 24);
    }
}

}  // namespace

Image* ReadPNG(Source& source) {
    // Kept outside the setjmp frame's registers: the error path reads it.
    static thread_local ReadState state;
    state = ReadState();
    state.name = source.GetName();
    state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state.name, OnError, OnWarning);
    if (state.png == nullptr) return nullptr;
    state.info = png_create_info_struct(state.png);
    if (state.info == nullptr) {
        FreeReadState(state);
        return nullptr;
    }
    if (setjmp(png_jmpbuf(state.png))) {
        FreeReadState(state);
        return nullptr;
    }
    png_set_user_limits(state.png, kMaxDimension, kMaxDimension);
    png_set_read_fn(state.png, &source, ReadData);
    png_read_info(state.png, state.info);

    const png_uint_32 width = png_get_image_width(state.png, state.info);
    const png_uint_32 height = png_get_image_height(state.png, state.info);
    png_set_expand(state.png);
    png_set_strip_16(state.png);
    png_set_gray_to_rgb(state.png);
    png_set_filler(state.png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(state.png);
    png_read_update_info(state.png, state.info);
    if (png_get_rowbytes(state.png, state.info) != size_t(width) * 4) png_error(state.png, "Unexpected row size");

    state.image.reset(NewImage(static_cast<int>(width), static_cast<int>(height)));
    if (state.image == nullptr) png_error(state.png, "Picture too large");
    state.row.assign(size_t(width) * 4, 0);
    if (passes > 1) {
        // Every pass refines the rows read so far, so each row goes back into
        // libpng as RGBA before it is read again.
        std::memset(state.image->mBits, 0, size_t(width) * height * 4);
    }
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            uint32_t* out = state.image->mBits + size_t(y) * width;
            if (passes > 1) UnpackRow(out, state.row.data(), static_cast<int>(width));
            png_read_row(state.png, state.row.data(), nullptr);
            PackRow(state.row.data(), out, static_cast<int>(width));
        }
    }
    png_read_end(state.png, nullptr);
    Image* image = state.image.release();
    FreeReadState(state);
    return image;
}

}  // namespace detail

namespace {

struct WriteState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_byte> row;
    std::string name;
};

void FreeWriteState(WriteState& state) {
    png_destroy_write_struct(&state.png, state.info != nullptr ? &state.info : nullptr);
    state = WriteState();
}

bool EncodePNG(const Image& image, const std::string& fileName, std::vector<uint8_t>& out) {
    static thread_local WriteState state;
    state = WriteState();
    state.name = fileName;
    state.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state.name, detail::OnError, detail::OnWarning);
    if (state.png == nullptr) return false;
    state.info = png_create_info_struct(state.png);
    if (state.info == nullptr || setjmp(png_jmpbuf(state.png))) {
        FreeWriteState(state);
        return false;
    }
    png_set_write_fn(state.png, &out, detail::WriteData, detail::FlushData);
    png_set_IHDR(state.png, state.info, static_cast<png_uint_32>(image.mWidth), static_cast<png_uint_32>(image.mHeight),
                 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color_8 significant;
    significant.red = significant.green = significant.blue = significant.alpha = 8;
    significant.gray = 0;
    png_set_sBIT(state.png, state.info, &significant);
    png_write_info(state.png, state.info);
    state.row.assign(size_t(image.mWidth) * 4, 0);
    for (int y = 0; y < image.mHeight; ++y) {
        detail::UnpackRow(image.mBits + size_t(y) * image.mWidth, state.row.data(), image.mWidth);
        png_write_row(state.png, state.row.data());
    }
    png_write_end(state.png, nullptr);
    FreeWriteState(state);
    return true;
}

}  // namespace

bool WritePNGImage(const std::string& fileName, const Image* image) {
    if (image == nullptr || image->mBits == nullptr || image->mWidth <= 0 || image->mHeight <= 0) return false;
    std::vector<uint8_t> bytes;
    if (!EncodePNG(*image, fileName, bytes)) return false;
    return plat::WriteFileAtomic(fileName, bytes.data(), bytes.size());
}

}  // namespace ImageLib
