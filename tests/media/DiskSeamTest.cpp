// The seam, heard: a short loop rendered through SDL's disk driver with the
// real PollBgm polling every millisecond. With the look-ahead no frame of
// silence is inserted at any seam; the plain stop-and-restart (no look-ahead)
// inserts the rest of the device buffer in which the file ended.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "SeamAnalysis.h"
#include "WaveFiles.h"
#include "platform/desktop/media/SdlMedia.h"
#include "platform/system/Text.h"
#include "shared/Music.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

seam::Result renderLoops(const wavefiles::ScratchDir& dir, platform::SdlMedia::Options options,
                         std::uint32_t loopFrames, Clock::duration howLong) {
    const auto wav = dir.path() / "bgm.wav";
    const auto out = dir.path() / "out.raw";
    const auto pcm = wavefiles::countingPcm16(loopFrames);
    wavefiles::writeFile(wav, wavefiles::wave(1, 2, 44100, 16, pcm));
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.string().c_str(), 1);
    {
        platform::SdlMedia media(options);
        共用関数 module(media);
        module.BgmOpen(platform::fromUtf8(wav.string()));
        EXPECT_EQ(module.BgmResult, 0);
        module.BgmOn = -1;
        module.BgmPlay();
        const auto start = Clock::now();
        while (Clock::now() - start < howLong) {
            PollBgm(module);
            std::this_thread::sleep_for(1ms);
        }
        module.BgmClose();
    }
    std::ifstream in(out, std::ios::binary);
    const std::vector<std::uint8_t> rendered((std::istreambuf_iterator<char>(in)),
                                             std::istreambuf_iterator<char>());
    return seam::analyse(pcm, rendered, 4);
}

}  // namespace

TEST(DiskSeam, GaplessWithTheLookahead) {
    wavefiles::ScratchDir dir("seam");
    // 11025 frames (0.25 s) do not fill a whole number of 1024-frame buffers.
    // Kept whole in memory, and read as it plays past a head of 50 ms.
    platform::SdlMedia::Options streamed;
    streamed.headMs = 50;
    streamed.readAheadMs = 50;
    for (const auto& options : {platform::SdlMedia::Options{}, streamed}) {
        SCOPED_TRACE(options.headMs);
        const auto r = renderLoops(dir, options, 11025, 1700ms);
        EXPECT_FALSE(r.corrupt) << "at frame " << r.corruptAt;
        EXPECT_GE(r.wholePasses, 5u);
        for (const auto g : r.gaps) EXPECT_EQ(g, 0u);
    }
}

TEST(DiskSeam, StopAndRestartLeavesTheRestOfTheBuffer) {
    wavefiles::ScratchDir dir("seam-baseline");
    platform::SdlMedia::Options noLookahead;
    noLookahead.lookaheadMs = 0;
    const auto r = renderLoops(dir, noLookahead, 11025, 1200ms);
    EXPECT_FALSE(r.corrupt) << "at frame " << r.corruptAt;
    ASSERT_GE(r.gaps.size(), 3u);
    // 11025 = 10 * 1024 + 785: 239 frames of silence, or a whole buffer more
    // when a poll comes late.
    for (const auto g : r.gaps) EXPECT_EQ(g % 1024, 239u) << g;
}
