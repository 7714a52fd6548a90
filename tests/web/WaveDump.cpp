// What the desktop makes of a wave file, for holding the page's music
// against it: the code its open gives, and the frames it plays, as the sound
// card gets them (32-bit floats; 16-bit samples over 32768, as SDL converts
// them).
//
//   web_wave_dump FILE [OUT]   prints "CODE [FRAMES CHANNELS RATE]" and
//                              writes the frames, interleaved, to OUT

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/common/MciCommand.h"
#include "platform/desktop/media/WaveReader.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("usage: web_wave_dump FILE [OUT]\n");
        return 0;
    }
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: web_wave_dump FILE [OUT]\n");
        return 2;
    }
    std::unique_ptr<platform::WaveReader> reader;
    const std::int32_t rc = platform::WaveReader::open(argv[1], reader);
    if (rc != platform::mci::kOk) {
        std::printf("%d\n", rc);
        return 0;
    }
    const int channels = reader->channels();
    const bool shorts = reader->samples() == platform::WaveReader::Samples::Int16;
    std::vector<float> frames;
    std::vector<std::int16_t> block16(4096 * static_cast<std::size_t>(channels));
    std::vector<float> block(4096 * static_cast<std::size_t>(channels));
    for (;;) {
        const std::uint32_t n =
            shorts ? reader->read(block16.data(), 4096) : reader->read(block.data(), 4096);
        if (n == 0) break;
        for (std::size_t i = 0; i < std::size_t{n} * static_cast<unsigned>(channels); ++i) {
            frames.push_back(shorts ? static_cast<float>(block16[i]) * (1.0f / 32768.0f)
                                    : block[i]);
        }
    }
    std::printf("%d %zu %d %d\n", rc, frames.size() / static_cast<unsigned>(channels), channels,
                reader->rate());
    if (argc == 3) {
        std::FILE* out = std::fopen(argv[2], "wb");
        if (out == nullptr) {
            std::fprintf(stderr, "web_wave_dump: cannot write %s\n", argv[2]);
            return 1;
        }
        std::fwrite(frames.data(), sizeof(float), frames.size(), out);
        std::fclose(out);
    }
    return 0;
}
