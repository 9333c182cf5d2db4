// JPEG reader and writer over libjpeg(-turbo).
//
// The library reports a fatal error through the error manager's exit
// routine. Ours logs the library's message with the file's name (to the debug
// log, as the library's warnings too) and then jumps back to the reader or
// writer, which frees everything and fails; the library never ends the
// process. Between setjmp and the last library call the functions below keep
// everything they own in a thread-local state, so the jump skips no
// destructor.

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/DebugOutput.h"
#include "platform/Files.h"
#include "resources/ImageLibSource.h"

namespace ImageLib {
namespace detail {

namespace {

const size_t kChunk = 4096;

struct ErrorManager {
    jpeg_error_mgr base;
    jmp_buf jump;
    const std::string* name;  // the file's, for the messages
};

void OutputMessage(j_common_ptr info) {
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    const std::string* name = reinterpret_cast<ErrorManager*>(info->err)->name;
    plat::DebugOutput("JPEG message for " + (name != nullptr ? *name : std::string("?")) + ": " + text + "\n");
}

void ErrorExit(j_common_ptr info) {
    (*info->err->output_message)(info);
    longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// The error manager of a new reader or writer, with our exit and message routines.
void InitErrors(ErrorManager& error, const std::string* name) {
    jpeg_std_error(&error.base);
    error.base.error_exit = ErrorExit;
    error.base.output_message = OutputMessage;
    error.name = name;
}

// Reads the file in chunks of 4096 bytes. When the file ends, the very first
// fill is an error (an empty file); later fills warn of a premature end and
// supply a fake end-of-image marker so the library finishes what it has.
struct SourceManager {
    jpeg_source_mgr base;
    Source* source;
    JOCTET buffer[kChunk];
    bool startOfFile;
};

void InitSource(j_decompress_ptr info) { reinterpret_cast<SourceManager*>(info->src)->startOfFile = true; }

boolean FillInputBuffer(j_decompress_ptr info) {
    SourceManager* src = reinterpret_cast<SourceManager*>(info->src);
    size_t got = src->source->Read(src->buffer, kChunk);
    if (got == 0) {
        if (src->startOfFile) ERREXIT(info, JERR_INPUT_EMPTY);
        WARNMS(info, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        got = 2;
    }
    src->base.next_input_byte = src->buffer;
    src->base.bytes_in_buffer = got;
    src->startOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
    SourceManager* src = reinterpret_cast<SourceManager*>(info->src);
    if (count <= 0) return;
    while (count > static_cast<long>(src->base.bytes_in_buffer)) {
        count -= static_cast<long>(src->base.bytes_in_buffer);
        FillInputBuffer(info);
    }
    src->base.next_input_byte += count;
    src->base.bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

// The library's structures (plain C, cleared with memset) and what the reader
// owns besides.
struct ReadState {
    struct Library {
        jpeg_decompress_struct info;
        ErrorManager error;
        SourceManager source;
    } lib;
    std::unique_ptr<Image> image;
    std::vector<JSAMPLE> row;
    std::string name;
};

// Frees the library's structures and the row; the picture goes with them
// unless the reader has taken it.
void FreeRead(ReadState& state) {
    jpeg_destroy_decompress(&state.lib.info);
    state.image.reset();
    state.row = std::vector<JSAMPLE>();
}

}  // namespace

Image* ReadJPEG(Source& source) {
    static thread_local ReadState state;
    std::memset(&state.lib, 0, sizeof state.lib);
    state.name = source.GetName();
    InitErrors(state.lib.error, &state.name);
    state.lib.info.err = &state.lib.error.base;
    if (setjmp(state.lib.error.jump)) {
        FreeRead(state);
        return nullptr;
    }
    jpeg_create_decompress(&state.lib.info);
    state.lib.source.source = &source;
    state.lib.source.base.init_source = InitSource;
    state.lib.source.base.fill_input_buffer = FillInputBuffer;
    state.lib.source.base.skip_input_data = SkipInputData;
    state.lib.source.base.resync_to_restart = jpeg_resync_to_restart;
    state.lib.source.base.term_source = TermSource;
    state.lib.info.src = &state.lib.source.base;

    jpeg_read_header(&state.lib.info, TRUE);
    jpeg_start_decompress(&state.lib.info);
    const int width = static_cast<int>(state.lib.info.output_width);
    const int height = static_cast<int>(state.lib.info.output_height);
    const int components = state.lib.info.output_components;
    state.image.reset(NewImage(width, height));
    if (state.image == nullptr || components < 1) ERREXIT(&state.lib.info, JERR_IMAGE_TOO_BIG);
    state.row.assign(size_t(width) * static_cast<size_t>(components), 0);
    while (state.lib.info.output_scanline < state.lib.info.output_height) {
        const int y = static_cast<int>(state.lib.info.output_scanline);
        JSAMPROW rows[1] = {state.row.data()};
        if (jpeg_read_scanlines(&state.lib.info, rows, 1) != 1) ERREXIT(&state.lib.info, JERR_INPUT_EOF);
        uint32_t* out = state.image->mBits + size_t(y) * width;
        if (components == 1) {
            for (int x = 0; x < width; ++x) {
                const uint32_t g = state.row[x];
                out[x] = 0xFF000000u | (g << 16) | (g << 8) | g;
            }
        } else {
            // Three-component output is R, G, B; a stranger layout (CMYK) is
            // read as its first three samples per pixel.
            const int step = components >= 3 ? components : 1;
            for (int x = 0; x < width; ++x) {
                const JSAMPLE* p = state.row.data() + size_t(x) * step;
                const uint32_t r = p[0];
                const uint32_t g = components >= 3 ? p[1] : p[0];
                const uint32_t b = components >= 3 ? p[2] : p[0];
                out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
            }
        }
    }
    jpeg_finish_decompress(&state.lib.info);
    Image* image = state.image.release();
    FreeRead(state);
    return image;
}

}  // namespace detail

namespace {

// Collects the encoded bytes in a vector, 4096 at a time.
struct DestinationManager {
    jpeg_destination_mgr base;
    std::vector<uint8_t>* out;
    JOCTET buffer[detail::kChunk];
};

void InitDestination(j_compress_ptr info) {
    DestinationManager* dest = reinterpret_cast<DestinationManager*>(info->dest);
    dest->base.next_output_byte = dest->buffer;
    dest->base.free_in_buffer = detail::kChunk;
}

boolean EmptyOutputBuffer(j_compress_ptr info) {
    DestinationManager* dest = reinterpret_cast<DestinationManager*>(info->dest);
    dest->out->insert(dest->out->end(), dest->buffer, dest->buffer + detail::kChunk);
    dest->base.next_output_byte = dest->buffer;
    dest->base.free_in_buffer = detail::kChunk;
    return TRUE;
}

void TermDestination(j_compress_ptr info) {
    DestinationManager* dest = reinterpret_cast<DestinationManager*>(info->dest);
    const size_t used = detail::kChunk - dest->base.free_in_buffer;
    dest->out->insert(dest->out->end(), dest->buffer, dest->buffer + used);
}

struct WriteState {
    struct Library {
        jpeg_compress_struct info;
        detail::ErrorManager error;
        DestinationManager dest;
    } lib;
    std::vector<JSAMPLE> row;
    std::string name;
};

void FreeWrite(WriteState& state) {
    jpeg_destroy_compress(&state.lib.info);
    state.row = std::vector<JSAMPLE>();
}

bool EncodeJPEG(const Image& image, const std::string& fileName, std::vector<uint8_t>* out) {
    static thread_local WriteState state;
    std::memset(&state.lib, 0, sizeof state.lib);
    state.name = fileName;
    detail::InitErrors(state.lib.error, &state.name);
    state.lib.info.err = &state.lib.error.base;
    if (setjmp(state.lib.error.jump)) {
        FreeWrite(state);
        return false;
    }
    jpeg_create_compress(&state.lib.info);
    state.lib.dest.out = out;
    state.lib.dest.base.init_destination = InitDestination;
    state.lib.dest.base.empty_output_buffer = EmptyOutputBuffer;
    state.lib.dest.base.term_destination = TermDestination;
    state.lib.info.dest = &state.lib.dest.base;
    state.lib.info.image_width = static_cast<JDIMENSION>(image.mWidth);
    state.lib.info.image_height = static_cast<JDIMENSION>(image.mHeight);
    state.lib.info.input_components = 3;
    state.lib.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&state.lib.info);
    jpeg_set_quality(&state.lib.info, 80, TRUE);
    jpeg_start_compress(&state.lib.info, TRUE);
    state.row.assign(size_t(image.mWidth) * 3, 0);
    while (state.lib.info.next_scanline < state.lib.info.image_height) {
        const uint32_t* in = image.mBits + size_t(state.lib.info.next_scanline) * image.mWidth;
        for (int x = 0; x < image.mWidth; ++x) {
            state.row[x * 3 + 0] = static_cast<JSAMPLE>(in[x] >> 16);
            state.row[x * 3 + 1] = static_cast<JSAMPLE>(in[x] >> 8);
            state.row[x * 3 + 2] = static_cast<JSAMPLE>(in[x]);
        }
        JSAMPROW rows[1] = {state.row.data()};
        jpeg_write_scanlines(&state.lib.info, rows, 1);
    }
    jpeg_finish_compress(&state.lib.info);
    FreeWrite(state);
    return true;
}

}  // namespace

bool WriteJPEGImage(const std::string& fileName, const Image* image) {
    if (image == nullptr || image->mBits == nullptr || image->mWidth <= 0 || image->mHeight <= 0) return false;
    std::vector<uint8_t> bytes;
    if (!EncodeJPEG(*image, fileName, &bytes)) return false;
    return plat::WriteFileAtomic(fileName, bytes.data(), bytes.size());
}

}  // namespace ImageLib
