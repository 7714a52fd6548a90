// Every encoding a wave file may hold, decoded against the signal it was made
// from (tests/media/make_encodings.py writes the files), and opened as a
// device that plays it.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/common/MciCommand.h"
#include "platform/desktop/media/SdlMedia.h"
#include "platform/desktop/media/WaveReader.h"

using platform::WaveReader;
namespace mci = platform::mci;

namespace {

// As in make_encodings.py.
constexpr int kRate = 8000;
constexpr std::uint32_t kFrames = 2000;

double expected(std::uint32_t frame, int channel) {
    return 0.5 * std::sin(2 * M_PI * (channel + 1) * 440.0 * frame / kRate);
}

// All frames of `reader` as numbers from -1 to 1.
std::vector<double> decodeAll(WaveReader& reader) {
    std::vector<std::uint8_t> bytes(std::size_t{reader.frames() + 64} * reader.frameBytes());
    std::uint32_t got = 0;
    while (const std::uint32_t n = reader.read(
               bytes.data() + std::size_t{got} * reader.frameBytes(), reader.frames() + 64 - got)) {
        got += n;
    }
    std::vector<double> out(std::size_t{got} * static_cast<unsigned>(reader.channels()));
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (reader.samples() == WaveReader::Samples::Int16) {
            std::int16_t v;
            std::memcpy(&v, bytes.data() + 2 * i, 2);
            out[i] = v / 32768.0;
        } else {
            float v;
            std::memcpy(&v, bytes.data() + 4 * i, 4);
            out[i] = v;
        }
    }
    return out;
}

}  // namespace

TEST(Encodings, EachDecodesToItsSignalAndPlays) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const struct {
        const char* name;
        int channels;
        WaveReader::Samples samples;
        double tolerance;  // the encoding's own root-mean-square error on this signal
    } cases[] = {
        {"pcm-u8-mono", 1, WaveReader::Samples::Int16, 1.0 / 128},
        {"pcm-s16-stereo", 2, WaveReader::Samples::Int16, 1.0 / 32768},
        {"pcm-s24-stereo", 2, WaveReader::Samples::Float32, 1e-6},
        {"pcm-s32-mono", 1, WaveReader::Samples::Float32, 1e-6},
        {"float32-stereo", 2, WaveReader::Samples::Float32, 1e-7},
        {"float64-mono", 1, WaveReader::Samples::Float32, 1e-7},
        {"alaw-mono", 1, WaveReader::Samples::Int16, 1.0 / 64},
        {"ulaw-mono", 1, WaveReader::Samples::Int16, 1.0 / 64},
        {"ima-adpcm-1", 1, WaveReader::Samples::Int16, 0.03},
        {"ima-adpcm-2", 2, WaveReader::Samples::Int16, 0.03},
        {"ms-adpcm-1", 1, WaveReader::Samples::Int16, 0.03},
        {"ms-adpcm-2", 2, WaveReader::Samples::Int16, 0.03},
        {"extensible-s16-5.1", 6, WaveReader::Samples::Int16, 1.0 / 32768},
        {"extensible-s24-stereo", 2, WaveReader::Samples::Float32, 1e-6},
        {"extensible-float32-stereo", 2, WaveReader::Samples::Float32, 1e-7},
        {"w64-s16-stereo", 2, WaveReader::Samples::Int16, 1.0 / 32768},
        {"rf64-s16-stereo", 2, WaveReader::Samples::Int16, 1.0 / 32768},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = std::string(PIROKKO_ENCODINGS_DIR) + "/" + c.name + ".wav";
        std::unique_ptr<WaveReader> reader;
        ASSERT_EQ(WaveReader::open(path, reader), mci::kOk);
        EXPECT_EQ(reader->channels(), c.channels);
        EXPECT_EQ(reader->rate(), kRate);
        EXPECT_EQ(reader->samples(), c.samples);
        const auto decoded = decodeAll(*reader);
        // ADPCM pads its last block: at least the frames written, at most a block more.
        ASSERT_GE(decoded.size(), std::size_t{kFrames} * c.channels);
        // A sample decoded wrongly, or a block out of place, stands out
        // against the error of the encoding itself.
        double squares = 0;
        for (std::uint32_t i = 0; i < kFrames; ++i) {
            for (int ch = 0; ch < c.channels; ++ch) {
                const double e = decoded[i * c.channels + ch] - expected(i, ch);
                squares += e * e;
            }
        }
        EXPECT_LE(std::sqrt(squares / (kFrames * c.channels)), c.tolerance);

        platform::SdlMedia::Options atOnce;
        atOnce.openInBackground = false;
        platform::SdlMedia media(atOnce);
        const std::string open = "open \"" + path + "\" alias MIDI";
        EXPECT_EQ(media.mciSendStringA(open.c_str(), nullptr, 0, 0), mci::kOk);
        EXPECT_EQ(media.mciSendStringA("play MIDI", nullptr, 0, 0), mci::kOk);
    }
}
