#pragma once
// Test helpers: wave files built byte by byte, and a scratch folder.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace wavefiles {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline void putId(Bytes& b, const char* id) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(id[i]));
}

// A RIFF WAVE file with a 16-byte (or longer) fmt chunk and the given data.
inline Bytes wave(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                  const Bytes& data, const Bytes& fmtExtra = {}, std::uint16_t blockAlign = 0) {
    if (blockAlign == 0) blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
    Bytes fmt;
    put16(fmt, tag);
    put16(fmt, channels);
    put32(fmt, rate);
    put32(fmt, rate * blockAlign);
    put16(fmt, blockAlign);
    put16(fmt, bits);
    fmt.insert(fmt.end(), fmtExtra.begin(), fmtExtra.end());
    Bytes b;
    putId(b, "RIFF");
    put32(b, static_cast<std::uint32_t>(4 + 8 + fmt.size() + 8 + data.size() + (data.size() & 1)));
    putId(b, "WAVE");
    putId(b, "fmt ");
    put32(b, static_cast<std::uint32_t>(fmt.size()));
    b.insert(b.end(), fmt.begin(), fmt.end());
    putId(b, "data");
    put32(b, static_cast<std::uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() & 1) b.push_back(0);
    return b;
}

// 16-bit stereo PCM whose every frame is distinct and never silent:
// left = 1 + (i % 30000), right = -(1 + (i / 7 % 30000)).
inline Bytes countingPcm16(std::uint32_t frames) {
    Bytes d;
    d.reserve(std::size_t{frames} * 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        put16(d, static_cast<std::uint16_t>(1 + i % 30000));
        put16(d, static_cast<std::uint16_t>(-static_cast<int>(1 + i / 7 % 30000)));
    }
    return d;
}

inline Bytes countingWave(std::uint32_t frames) {
    return wave(1, 2, 44100, 16, countingPcm16(frames));
}

inline void writeFile(const std::filesystem::path& p, const Bytes& b) {
    std::FILE* f = std::fopen(p.string().c_str(), "wb");
    if (f == nullptr) return;
    if (!b.empty()) std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
}

// A fresh folder under the system's temporary folder, removed at the end.
class ScratchDir {
  public:
    explicit ScratchDir(const std::string& name) {
        path_ = std::filesystem::temp_directory_path() /
                ("pirokko-media-" + name + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace wavefiles
