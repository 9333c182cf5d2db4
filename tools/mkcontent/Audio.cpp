#include "tools/mkcontent/Audio.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <vorbis/vorbisenc.h>

#include "tools/mkcontent/Canvas.h"

namespace mkcontent {

namespace {

const float kTwoPi = 6.28318530718f;

float Envelope(float t, float length, float attack, float decay) {
    float e = attack > 0 ? std::min(1.0f, t / attack) : 1.0f;
    if (decay > 0) e *= std::exp(-t / decay);
    const float tail = 0.01f;  // a short fade at the end avoids a click
    if (t > length - tail) e *= std::max(0.0f, (length - t) / tail);
    return e;
}

void Put16(std::string& out, int v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

size_t SampleCount(float seconds) { return static_cast<size_t>(seconds * static_cast<float>(kSampleRate)); }

Samples Tone(float seconds, float f0, float f1, const std::vector<float>& partials, float attack, float decay) {
    Samples out(SampleCount(seconds));
    float phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(kSampleRate);
        const float f = f0 + (f1 - f0) * (t / seconds);
        phase += kTwoPi * f / static_cast<float>(kSampleRate);
        float v = 0;
        for (size_t k = 0; k < partials.size(); ++k) v += partials[k] * std::sin(phase * static_cast<float>(k + 1));
        out[i] = v * Envelope(t, seconds, attack, decay);
    }
    return out;
}

Samples Noise(float seconds, float cutoff, float attack, float decay, uint32_t seed) {
    Samples out(SampleCount(seconds));
    Lcg random(seed);
    const float k = 1.0f - std::exp(-kTwoPi * cutoff / static_cast<float>(kSampleRate));
    float low = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(kSampleRate);
        low += k * (random.Unit() * 2 - 1 - low);
        out[i] = low * Envelope(t, seconds, attack, decay);
    }
    return out;
}

void MixInto(Samples& a, const Samples& b, float atSeconds, float gain) {
    const size_t offset = SampleCount(atSeconds);
    if (a.size() < offset + b.size()) a.resize(offset + b.size(), 0.0f);
    for (size_t i = 0; i < b.size(); ++i) a[offset + i] += b[i] * gain;
}

void Normalise(Samples& s, float peak) {
    float loudest = 0;
    for (float v : s) loudest = std::max(loudest, std::fabs(v));
    if (loudest <= 0) return;
    for (float& v : s) v *= peak / loudest;
}

bool WriteWav(const std::string& path, const Samples& s, int channels) {
    std::string bytes = "RIFF";
    const uint32_t dataBytes = static_cast<uint32_t>(s.size() * 2);
    Put32(bytes, 36 + dataBytes);
    bytes += "WAVEfmt ";
    Put32(bytes, 16);
    Put16(bytes, 1);
    Put16(bytes, channels);
    Put32(bytes, kSampleRate);
    Put32(bytes, static_cast<uint32_t>(kSampleRate * 2 * channels));
    Put16(bytes, 2 * channels);
    Put16(bytes, 16);
    bytes += "data";
    Put32(bytes, dataBytes);
    for (float v : s) Put16(bytes, static_cast<int>(std::lround(std::max(-1.0f, std::min(1.0f, v)) * 32767.0f)));
    return WriteBytes(path, bytes);
}

bool WriteOgg(const std::string& path, const Samples& interleaved, int channels, float quality) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, kSampleRate, quality) != 0) {
        vorbis_info_clear(&info);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ENCODER", "mkcontent");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x56454C4D);  // fixed serial: the same bytes on every run
    std::string bytes;
    auto flushPages = [&](bool force) {
        ogg_page page;
        while (force ? ogg_stream_flush(&stream, &page) != 0 : ogg_stream_pageout(&stream, &page) != 0) {
            bytes.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
            bytes.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
        }
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    flushPages(true);

    const size_t frames = interleaved.size() / static_cast<size_t>(channels);
    const size_t chunk = 4096;
    for (size_t start = 0;; start += chunk) {
        const size_t n = start < frames ? std::min(chunk, frames - start) : 0;
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            for (size_t i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = interleaved[(start + i) * static_cast<size_t>(channels) + static_cast<size_t>(c)];
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(n));  // 0 marks the end of the stream
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                flushPages(false);
            }
        }
        if (n == 0) break;
    }
    flushPages(true);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return WriteBytes(path, bytes);
}

}  // namespace mkcontent
