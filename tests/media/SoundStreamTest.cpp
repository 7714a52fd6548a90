// The stream behind a device, frame by frame, without SDL: what is heard at
// the seam, the mode, interruptions. One "frame" here is a 16-bit mono sample
// holding its own index + 1, so the rendered output tells where it came from.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/desktop/media/SoundStream.h"

using platform::SoundStream;

namespace {

std::vector<std::uint8_t> numbered(std::uint32_t frames) {
    std::vector<std::uint8_t> pcm;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto v = static_cast<std::uint16_t>(i + 1);
        pcm.push_back(static_cast<std::uint8_t>(v));
        pcm.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    return pcm;
}

// Renders `frames` frames in device buffers of `chunk` and appends the values.
void render(SoundStream& s, std::uint32_t chunk, std::vector<int>& heard) {
    std::vector<std::uint8_t> buf(std::size_t{chunk} * 2);
    s.render(buf.data(), buf.size());
    for (std::uint32_t i = 0; i < chunk; ++i) heard.push_back(buf[2 * i] | (buf[2 * i + 1] << 8));
}

// Counts the zero frames between the end of one pass (value `frames`) and
// the start of the next (value 1), and checks every pass is whole.
std::vector<int> gapsAtSeams(const std::vector<int>& heard, int frames) {
    std::vector<int> gaps;
    std::size_t i = 0;
    while (i < heard.size() && heard[i] == 0) ++i;
    while (i < heard.size()) {
        for (int k = 1; k <= frames && i < heard.size(); ++k, ++i) {
            if (heard[i] != k) {
                ADD_FAILURE() << "frame " << i << " is " << heard[i] << ", expected " << k;
                return gaps;
            }
        }
        int gap = 0;
        while (i < heard.size() && heard[i] == 0) {
            ++gap;
            ++i;
        }
        if (i < heard.size()) gaps.push_back(gap);
    }
    return gaps;
}

// Plays `passes` passes of a 100-frame file, restarting each as BgmTim_Timer
// does (seek, then play from 0) once everything is handed over and `idle`
// more buffers have been rendered; returns the silent frames at each seam.
std::vector<int> seamGaps(std::uint32_t lookahead, int passes, int idle) {
    SoundStream s(numbered(100), 2, 0, lookahead, 8);
    s.play(0);
    std::vector<int> heard;
    for (int pass = 0; pass < passes; ++pass) {
        while (s.playing()) render(s, 8, heard);
        for (int i = 0; i < idle; ++i) render(s, 8, heard);
        s.seekToStart();
        s.play(0);
    }
    for (int i = 0; i < 40; ++i) render(s, 8, heard);
    return gapsAtSeams(heard, 100);
}

}  // namespace

TEST(SoundStream, PlaysTheWholeFileOnceAndReportsStoppedWhileTheTailIsQueued) {
    SoundStream s(numbered(100), 2, 0, 16, 8);
    s.play(0);
    EXPECT_TRUE(s.playing());
    std::vector<int> heard;
    while (s.playing()) render(s, 8, heard);
    // Everything handed over, but at least the look-ahead less one device
    // buffer is still to be heard.
    EXPECT_LT(heard.size(), 100u);
    EXPECT_GE(100 - static_cast<int>(heard.size()), 16 - 8);
    s.seekToStart();  // after the end: the tail still plays out
    EXPECT_FALSE(s.playing());
    for (int i = 0; i < 10; ++i) render(s, 8, heard);
    for (int k = 0; k < 100; ++k) ASSERT_EQ(heard[k], k + 1);
    for (std::size_t k = 100; k < heard.size(); ++k) ASSERT_EQ(heard[k], 0);
    EXPECT_FALSE(s.playing());
}

TEST(SoundStream, SeamsOfTheRestartedLoop) {
    auto gaps = seamGaps(16, 25, 0);  // restarted in time: no gap
    ASSERT_GE(gaps.size(), 24u);
    for (const int g : gaps) EXPECT_EQ(g, 0);
    // Without look-ahead 100 frames in buffers of 8 end 4 frames into the
    // 13th buffer, whose other 4 frames are silence.
    gaps = seamGaps(0, 5, 0);
    ASSERT_GE(gaps.size(), 4u);
    EXPECT_EQ(gaps[0], 4);
    gaps = seamGaps(16, 1, 10);  // restarted too late: a gap, then a clean start
    ASSERT_EQ(gaps.size(), 1u);
    EXPECT_GT(gaps[0], 0);
}

// What the next buffer holds after a request lands between two buffers.
TEST(SoundStream, RequestsBetweenBuffers) {
    const struct {
        const char* name;
        std::uint32_t frames;
        int buffersBefore;
        void (*request)(SoundStream&);
        int first, last;  // the next buffer's first and last frames
        bool playing;
    } cases[] = {
        {"none: starts stopped", 100, 0, [](SoundStream&) {}, 0, 0, false},
        {"seek while playing", 1000, 1, [](SoundStream& s) { s.seekToStart(); }, 0, 0, false},
        {"play while playing", 1000, 2, [](SoundStream& s) { s.play(500); }, 501, 508, true},
        {"seek then play", 1000, 1,
         [](SoundStream& s) {
             s.seekToStart();
             s.play(0);
         },
         1, 8, true},
        {"play from the end", 100, 0, [](SoundStream& s) { s.play(100); }, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SoundStream s(numbered(c.frames), 2, 0, 16, 8);
        std::vector<int> heard;
        if (c.buffersBefore > 0) s.play(0);
        for (int i = 0; i < c.buffersBefore; ++i) render(s, 8, heard);
        c.request(s);
        heard.clear();
        render(s, 8, heard);
        EXPECT_EQ(heard.front(), c.first);
        EXPECT_EQ(heard.back(), c.last);
        if (c.first == 0) {
            EXPECT_EQ(heard, std::vector<int>(8, 0));
        }
        EXPECT_EQ(s.playing(), c.playing);
    }
}

TEST(SoundStream, ResumeContinuesFromTheStartAfterASeekAndStaysAtTheEndAfterTheEnd) {
    SoundStream s(numbered(100), 2, 0, 16, 8);
    s.resume();  // after the open: from the start
    EXPECT_TRUE(s.playing());
    std::vector<int> heard;
    while (s.playing()) render(s, 8, heard);
    s.resume();  // at the end: nothing more to play
    for (int i = 0; i < 10; ++i) render(s, 8, heard);
    EXPECT_FALSE(s.playing());
    s.seekToStart();
    s.resume();
    EXPECT_TRUE(s.playing());
}

TEST(SoundStream, OddBufferSizesAndTheSilenceOfUnsignedFormats) {
    SoundStream s(numbered(100), 2, 0, 4, 8);
    s.play(0);
    std::vector<std::uint8_t> buf(2 * 50 + 1, 0xEE);
    s.render(buf.data(), buf.size());
    for (int k = 0; k < 50; ++k) EXPECT_EQ(buf[2 * k] | (buf[2 * k + 1] << 8), k + 1);
    EXPECT_EQ(buf[100], 0);  // a part frame is silence

    SoundStream u8(std::vector<std::uint8_t>(10, 200), 1, 0x80, 0, 4);
    std::vector<std::uint8_t> silence(4, 0);
    u8.render(silence.data(), silence.size());
    EXPECT_EQ(silence, std::vector<std::uint8_t>(4, 0x80));
}
