// Writes a short Ogg Vorbis file for the sound tests: a 16-bit stereo sine at 22050 Hz.
// Built and run at build time with the reference encoder, which is kept out of the test
// executable itself (its symbols clash with the integer decoder's).
//
//   make_ogg_fixture <output file> <frames>

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_ogg_fixture <output> <frames>\n");
        return 2;
    }
    FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 1;
    const long frames = std::atol(argv[2]);

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, 22050, 0.4f) != 0) return 1;
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 12345);  // a fixed serial number keeps the file the same on every build

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) {
        std::fwrite(page.header, 1, size_t(page.header_len), out);
        std::fwrite(page.body, 1, size_t(page.body_len), out);
    }

    long written = 0;
    bool done = false;
    while (!done) {
        const long chunk = frames - written < 1024 ? frames - written : 1024;
        if (chunk > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, int(chunk));
            for (long i = 0; i < chunk; ++i) {
                const double t = double(written + i) / 22050.0;
                buffer[0][i] = float(0.5 * std::sin(2 * M_PI * 440.0 * t));
                buffer[1][i] = float(0.5 * std::sin(2 * M_PI * 660.0 * t));
            }
            vorbis_analysis_wrote(&dsp, int(chunk));
            written += chunk;
        } else {
            vorbis_analysis_wrote(&dsp, 0);
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    std::fwrite(page.header, 1, size_t(page.header_len), out);
                    std::fwrite(page.body, 1, size_t(page.body_len), out);
                    if (ogg_page_eos(&page)) done = true;
                }
            }
        }
        if (chunk <= 0 && !done) {
            while (ogg_stream_flush(&stream, &page) != 0) {
                std::fwrite(page.header, 1, size_t(page.header_len), out);
                std::fwrite(page.body, 1, size_t(page.body_len), out);
            }
            done = true;
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return std::fclose(out) == 0 ? 0 : 1;
}
