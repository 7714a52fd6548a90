// The generated background music: its format and length, and an end that
// joins its start without a click.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<std::uint8_t> readBgm() {
    std::ifstream in(PIROKKO_BGM_WAV, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t le32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | p[3] << 24;
}
std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

}  // namespace

TEST(BgmWav, Is44100Hz16BitStereoPcmOf8To16Seconds) {
    const auto b = readBgm();
    ASSERT_GT(b.size(), 44u) << PIROKKO_BGM_WAV;
    EXPECT_EQ(le16(&b[20]), 1);  // PCM
    EXPECT_EQ(le16(&b[22]), 2);
    EXPECT_EQ(le32(&b[24]), 44100u);
    EXPECT_EQ(le16(&b[34]), 16);
    ASSERT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    const double seconds = le32(&b[40]) / 4.0 / 44100.0;
    EXPECT_GE(seconds, 8.0);
    EXPECT_LE(seconds, 16.0);
}

TEST(BgmWav, EndJoinsStartWithoutAClick) {
    const auto b = readBgm();
    ASSERT_GT(b.size(), 44u);
    const std::size_t frames = le32(&b[40]) / 4;
    for (int ch = 0; ch < 2; ++ch) {
        std::vector<int> x(frames);
        for (std::size_t i = 0; i < frames; ++i) {
            x[i] = static_cast<std::int16_t>(le16(&b[44 + 4 * i + 2 * ch]));
        }
        std::vector<int> steps;
        long long sum = 0;
        int peak = 0;
        for (std::size_t i = 0; i + 1 < frames; ++i) {
            steps.push_back(std::abs(x[i + 1] - x[i]));
            sum += x[i];
            peak = std::max(peak, std::abs(x[i]));
        }
        std::sort(steps.begin(), steps.end());
        const int p99 = steps[steps.size() * 99 / 100];
        // The step across the seam is an ordinary one, and so is its change
        // (no corner in the waveform either).
        const int wrap = std::abs(x[0] - x[frames - 1]);
        EXPECT_LE(wrap, p99) << "channel " << ch;
        const int curveWrap = std::abs((x[0] - x[frames - 1]) - (x[frames - 1] - x[frames - 2]));
        EXPECT_LE(curveWrap, p99) << "channel " << ch;
        // Audible, not clipped, no offset.
        EXPECT_GT(peak, 8000);
        EXPECT_LT(peak, 32000);
        EXPECT_LT(std::llabs(sum / static_cast<long long>(frames)), 50);
    }
}
