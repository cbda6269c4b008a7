#include "pskcore/WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace tarvis::pskcore {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

std::uint32_t Le(const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = (v << 8) | p[i];
    }
    return v;
}

void PutLe(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

float SampleAt(const unsigned char* p, std::uint16_t format, int bits) {
    if (format == kFormatFloat) {
        if (bits == 32) {
            float f;
            std::uint32_t v = Le(p, 4);
            std::memcpy(&f, &v, 4);
            return f;
        }
        std::uint64_t v = Le(p, 4) | (static_cast<std::uint64_t>(Le(p + 4, 4)) << 32);
        double d;
        std::memcpy(&d, &v, 8);
        return static_cast<float>(d);
    }
    switch (bits) {
    case 8:
        return (static_cast<int>(p[0]) - 128) / 128.0f;
    case 16:
        return static_cast<std::int16_t>(Le(p, 2)) / 32768.0f;
    case 24: {
        std::int32_t v = static_cast<std::int32_t>(Le(p, 3) << 8) >> 8;
        return static_cast<float>(v / 8388608.0);
    }
    default:
        return static_cast<float>(static_cast<std::int32_t>(Le(p, 4)) / 2147483648.0);
    }
}

} // namespace

bool ReadWav(const std::string& path, WavAudio& audio, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be opened";
        return false;
    }
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    if (data.size() < 12 || data.compare(0, 4, "RIFF") != 0 || data.compare(8, 4, "WAVE") != 0) {
        error = path + ": not a WAV file";
        return false;
    }
    std::uint16_t format = 0;
    int channels = 0;
    int bits = 0;
    int rate = 0;
    bool haveFormat = false;
    std::size_t pos = 12;
    while (pos + 8 <= data.size()) {
        const std::string id = data.substr(pos, 4);
        const std::size_t size = Le(bytes + pos + 4, 4);
        const std::size_t body = pos + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > data.size()) {
                error = path + ": the WAV format description is cut short";
                return false;
            }
            format = static_cast<std::uint16_t>(Le(bytes + body, 2));
            channels = static_cast<int>(Le(bytes + body + 2, 2));
            rate = static_cast<int>(Le(bytes + body + 4, 4));
            bits = static_cast<int>(Le(bytes + body + 14, 2));
            if (format == kFormatExtensible && size >= 26 && body + 26 <= data.size()) {
                format = static_cast<std::uint16_t>(Le(bytes + body + 24, 2));
            }
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) {
                error = path + ": the WAV file has its audio before its format description";
                return false;
            }
            const bool pcm =
                format == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
            const bool floating = format == kFormatFloat && (bits == 32 || bits == 64);
            if (!pcm && !floating) {
                error = path + ": unsupported WAV encoding (format " + std::to_string(format) +
                        ", " + std::to_string(bits) +
                        " bits); use PCM of 8 to 32 bits or floating point";
                return false;
            }
            if (channels < 1) {
                error = path + ": the WAV file has no channels";
                return false;
            }
            if (rate != 8000) {
                error = path + ": " + std::to_string(rate) +
                        " samples a second; PSK31 audio must be 8000 samples a second";
                return false;
            }
            if (body + size > data.size()) {
                error = path + ": the WAV file is truncated (its audio is cut short)";
                return false;
            }
            const std::size_t frameBytes = static_cast<std::size_t>(channels) * (bits / 8);
            const std::size_t frames = size / frameBytes;
            audio.sampleRate = rate;
            audio.samples.assign(frames, 0.0f);
            for (std::size_t f = 0; f < frames; ++f) {
                float sum = 0.0f;
                for (int c = 0; c < channels; ++c) {
                    sum += SampleAt(bytes + body + f * frameBytes + c * (bits / 8), format, bits);
                }
                const float v = sum / channels;
                audio.samples[f] = std::isfinite(v) ? v : 0.0f;
            }
            return true;
        }
        pos = body + size + (size & 1);
    }
    error = path + (haveFormat ? ": the WAV file holds no audio" : ": not a WAV file");
    return false;
}

bool WriteWav(const std::string& path, const WavAudio& audio, std::string& error) {
    std::string out;
    const auto dataBytes = static_cast<std::uint32_t>(audio.samples.size() * 2);
    out += "RIFF";
    PutLe(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    PutLe(out, 16, 4);
    PutLe(out, kFormatPcm, 2);
    PutLe(out, 1, 2);
    PutLe(out, static_cast<std::uint32_t>(audio.sampleRate), 4);
    PutLe(out, static_cast<std::uint32_t>(audio.sampleRate * 2), 4);
    PutLe(out, 2, 2);
    PutLe(out, 16, 2);
    out += "data";
    PutLe(out, dataBytes, 4);
    for (const float s : audio.samples) {
        const float v = std::clamp(std::isfinite(s) ? s : 0.0f, -1.0f, 1.0f);
        PutLe(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 32767.0f))),
              2);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file || !file.write(out.data(), static_cast<std::streamsize>(out.size())) ||
        !file.flush()) {
        error = path + ": cannot be written";
        return false;
    }
    return true;
}

} // namespace tarvis::pskcore
