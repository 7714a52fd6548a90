// The frames of a file as the audio thread takes them, with the head kept
// decoded and the rest read ahead by the reader's thread: in order, across
// the restart, when the file changes under the reader, and when the two
// threads meet at a jump in the order a loaded machine makes now and then.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "WaveFiles.h"
#include "platform/common/MciCommand.h"
#include "platform/desktop/media/DecodedFrames.h"
#include "platform/desktop/media/WaveReader.h"

using platform::DecodedFrames;
using platform::WaveReader;
namespace mci = platform::mci;

namespace {

constexpr std::uint32_t kFrames = 40000;  // about 1 s
constexpr std::uint32_t kHead = 3000;
constexpr std::uint32_t kAhead = 8192;

// What the audio thread would get: takes frames until `count` are taken or
// the sound ends. The reader runs on its own thread, so a take may come back
// empty for a moment; that waits (with a deadline) without sleeping.
struct Taken {
    std::vector<std::uint32_t> frames;  // the counting pattern's index of each
    bool ended = false;
};

void append(Taken& t, const std::uint8_t* buf, std::uint32_t n) {
    for (std::uint32_t i = 0; i < n; ++i) {
        std::int16_t left;
        std::memcpy(&left, buf + 4 * i, 2);
        t.frames.push_back(static_cast<std::uint32_t>(left - 1));  // 1 + i % 30000
    }
}

Taken takeFrames(DecodedFrames& d, std::uint32_t count) {
    Taken t;
    std::uint8_t buf[4 * 512];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (t.frames.size() < count && std::chrono::steady_clock::now() < deadline) {
        const auto want = std::min<std::uint32_t>(512, count - t.frames.size());
        const std::uint32_t n = d.take(buf, want, t.ended);
        if (t.ended) break;
        if (n == 0) std::this_thread::yield();
        append(t, buf, n);
    }
    return t;
}

// The frames taken are `from`, `from + 1`, … in the counting pattern.
void expectInOrder(const Taken& t, std::uint32_t from) {
    for (std::size_t i = 0; i < t.frames.size(); ++i) {
        if (t.frames[i] != (from + i) % 30000) {
            ADD_FAILURE() << "frame " << from + i << " holds " << t.frames[i];
            return;
        }
    }
}

// Once armed, makes the next jump meet the reader in this order: the audio
// thread looks before the reader has gone to the new position; the reader
// then goes there, reads all that is left and sleeps; only then does the
// audio thread go on. A wait that takes seconds means the other thread never
// came, which fails the test instead of hanging it.
class JumpMetLate : public DecodedFrames::Checkpoints {
  public:
    void arm() {
        const std::lock_guard<std::mutex> lock(mutex_);
        armed_ = true;
    }
    // Whether the audio thread was held, and neither thread waited in vain.
    bool happened() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return readerAsleep_ && !waitedInVain_;
    }

    void reached(At where) override {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!armed_) return;
        switch (where) {
            case At::ReaderTurns:
                waitFor(lock, takerLooked_);
                readerTurned_ = true;
                break;
            case At::ReaderSleeps:
                if (readerTurned_) readerAsleep_ = true;
                changed_.notify_all();
                break;
            case At::TakerWaits:
                takerLooked_ = true;
                changed_.notify_all();
                waitFor(lock, readerAsleep_);
                armed_ = false;
                break;
        }
    }

  private:
    void waitFor(std::unique_lock<std::mutex>& lock, const bool& flag) {
        if (!changed_.wait_for(lock, std::chrono::seconds(10), [&flag] { return flag; })) {
            waitedInVain_ = true;
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool takerLooked_ = false;
    bool readerTurned_ = false;
    bool readerAsleep_ = false;
    bool waitedInVain_ = false;
};

}  // namespace

TEST(DecodedFrames, ReadsOnAcrossTheRestartAndPastChangesToTheFile) {
    wavefiles::ScratchDir dir("frames");
    const auto path = dir.path() / "bgm.wav";
    const std::size_t header = 44;
    const struct {
        const char* name;
        // Done to the file once 5000 frames have been taken.
        std::function<void()> change;
        bool shortened;  // the sound ends before its last frame
    } cases[] = {
        {"unchanged", [] {}, false},
        {"truncated", [&] { ASSERT_EQ(truncate(path.c_str(), header + 4 * 20000), 0); }, true},
        {"emptied", [&] { ASSERT_EQ(truncate(path.c_str(), 0), 0); }, true},
        {"replaced",
         [&] {
             wavefiles::writeFile(dir.path() / "other.wav", wavefiles::countingWave(100));
             std::filesystem::rename(dir.path() / "other.wav", path);
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wavefiles::writeFile(path, wavefiles::countingWave(kFrames));
        std::unique_ptr<WaveReader> reader;
        ASSERT_EQ(WaveReader::open(path.string(), reader), mci::kOk);
        std::unique_ptr<DecodedFrames> frames;
        ASSERT_EQ(DecodedFrames::decode(std::move(reader), kHead, kAhead, frames), mci::kOk);
        frames->jumpTo(0);

        Taken first = takeFrames(*frames, 5000);
        ASSERT_EQ(first.frames.size(), 5000u);
        expectInOrder(first, 0);
        c.change();
        const Taken rest = takeFrames(*frames, kFrames + 1);
        EXPECT_TRUE(rest.ended);
        expectInOrder(rest, 5000);
        const std::size_t end = 5000 + rest.frames.size();
        if (c.shortened) {
            // What had been read ahead is heard; the rest is not.
            EXPECT_LT(end, kFrames);
        } else {
            EXPECT_EQ(end, kFrames);
        }

        // The restart: the head at once, then as far as the file still goes.
        frames->jumpTo(0);
        const Taken again = takeFrames(*frames, kFrames + 1);
        EXPECT_TRUE(again.ended);
        expectInOrder(again, 0);
        EXPECT_GE(again.frames.size(), kHead);
        EXPECT_LE(again.frames.size(), end);
        if (!c.shortened) {
            EXPECT_EQ(again.frames.size(), kFrames);
        }
    }
}

TEST(DecodedFrames, AJumpIntoTheStreamedPartAndAShortFileKeptWhole) {
    wavefiles::ScratchDir dir("frames-jump");
    const auto path = dir.path() / "bgm.wav";
    wavefiles::writeFile(path, wavefiles::countingWave(kFrames));
    std::unique_ptr<WaveReader> reader;
    ASSERT_EQ(WaveReader::open(path.string(), reader), mci::kOk);
    std::unique_ptr<DecodedFrames> frames;
    ASSERT_EQ(DecodedFrames::decode(std::move(reader), kHead, kAhead, frames), mci::kOk);
    for (const std::uint32_t at : {30000u, 100u, 20000u, 39990u}) {
        frames->jumpTo(at);
        const Taken t = takeFrames(*frames, 100);
        expectInOrder(t, at);
        EXPECT_EQ(t.frames.size(), std::min<std::uint32_t>(100, kFrames - at)) << at;
    }

    // Shorter than the head: decoded whole, the file no longer needed.
    wavefiles::writeFile(path, wavefiles::countingWave(kHead - 1));
    ASSERT_EQ(WaveReader::open(path.string(), reader), mci::kOk);
    ASSERT_EQ(DecodedFrames::decode(std::move(reader), kHead, kAhead, frames), mci::kOk);
    std::filesystem::remove(path);
    frames->jumpTo(0);
    const Taken whole = takeFrames(*frames, kFrames);
    EXPECT_TRUE(whole.ended);
    EXPECT_EQ(whole.frames.size(), kHead - 1);
    expectInOrder(whole, 0);
}

TEST(DecodedFrames, AJumpStartsAtItsFrameWhenTheReaderGetsThereWhileTheAudioThreadLooks) {
    wavefiles::ScratchDir dir("frames-late");
    const auto path = dir.path() / "bgm.wav";
    // What is left after the jump fits in the read-ahead, so the reader reads
    // it all and sleeps without waiting for the audio thread.
    constexpr std::uint32_t kShort = 12000;
    constexpr std::uint32_t kJump = 6000;
    wavefiles::writeFile(path, wavefiles::countingWave(kShort));
    JumpMetLate late;
    std::unique_ptr<WaveReader> reader;
    ASSERT_EQ(WaveReader::open(path.string(), reader), mci::kOk);
    std::unique_ptr<DecodedFrames> frames;
    ASSERT_EQ(DecodedFrames::decode(std::move(reader), kHead, kAhead, frames, &late), mci::kOk);
    frames->jumpTo(0);
    const Taken whole = takeFrames(*frames, kShort + 1);
    ASSERT_TRUE(whole.ended);
    ASSERT_EQ(whole.frames.size(), kShort);

    late.arm();
    frames->jumpTo(kJump);
    std::uint8_t buf[4 * 512];
    bool ended = false;
    EXPECT_EQ(frames->take(buf, 512, ended), 0u);  // the reader was not there yet
    ASSERT_TRUE(late.happened());
    // The reader has read the rest and sleeps: each take now hands out
    // frames until the end, and none comes back empty.
    Taken rest;
    for (std::uint32_t n = 1; n > 0 && !rest.ended;) {
        n = frames->take(buf, 512, rest.ended);
        append(rest, buf, n);
    }
    EXPECT_TRUE(rest.ended) << "stalled after " << rest.frames.size() << " frames";
    EXPECT_EQ(rest.frames.size(), kShort - kJump);
    expectInOrder(rest, kJump);
}
