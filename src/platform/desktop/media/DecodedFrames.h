#pragma once
// The frames of an opened sound as the audio thread takes them: its head kept
// decoded for as long as it is open, the rest decoded a little ahead by a
// thread of its own. Memory is the head and the read-ahead, whatever the
// file's length.
//
// Keeping the head is what makes the loop seamless: a restart from the
// beginning is served from memory at once, while the reader goes back to the
// end of the head, which it has a whole head's time to reach.
//
// The reader thread only ever fills the read-ahead; the audio thread takes
// from it without waiting and without locks. When the reader lags (a slow
// disk) the audio thread gets nothing for a while and stays where it is; when
// the file ends early (shortened, emptied, a read error) the frames end
// there as if the file did, and a read that fails stays failed: the thread
// then sleeps until asked for another position.

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace platform {

class WaveReader;

class DecodedFrames {
  public:
    // Where the two threads stand, told to a test so that it can hold either
    // one there and bring about an interleaving on purpose. The audio thread
    // tells only while a jump waits for the reader, never on its steady path.
    class Checkpoints {
      public:
        enum class At : std::uint8_t {
            ReaderTurns,   // the reader is about to go to a new position and say so
            ReaderSleeps,  // the reader goes to sleep: nothing to read, or no room
            TakerWaits,    // take() finds the reader not yet at the position asked
        };
        virtual void reached(At where) = 0;

      protected:
        ~Checkpoints() = default;
    };

    // A whole sound already in memory: `pcm` holds whole frames.
    DecodedFrames(std::vector<std::uint8_t> pcm, std::uint32_t frameBytes);

    // Decodes up to `headFrames` frames of `reader` now and, if the sound is
    // longer, starts the thread that reads the rest `aheadFrames` ahead.
    // Returns mci::kOk, mci::kInvalidFile (nothing decodes) or
    // mci::kOutOfMemory (no thread to spare). `checkpoints`, if any, must
    // outlive the frames.
    static std::int32_t decode(std::unique_ptr<WaveReader> reader, std::uint32_t headFrames,
                               std::uint32_t aheadFrames, std::unique_ptr<DecodedFrames>& out,
                               Checkpoints* checkpoints = nullptr);

    ~DecodedFrames();
    DecodedFrames(const DecodedFrames&) = delete;
    DecodedFrames& operator=(const DecodedFrames&) = delete;

    std::uint32_t frameBytes() const { return frameBytes_; }
    // The frames the sound has (from its headers; it may end earlier).
    std::uint32_t frames() const { return frames_; }

    // Audio thread. The next take() starts at `frame`.
    void jumpTo(std::uint32_t frame);
    // Copies up to `count` frames from the current position into `out` and
    // moves on. Returns how many: 0 with `ended` set at the end of the sound,
    // 0 without it while the reader has not caught up.
    std::uint32_t take(std::uint8_t* out, std::uint32_t count, bool& ended);

  private:
    DecodedFrames(std::unique_ptr<WaveReader> reader, std::uint32_t frameBytes,
                  std::uint32_t frames);
    void readAhead();
    void wake();
    void reached(Checkpoints::At where) const {
        if (checkpoints_ != nullptr) checkpoints_->reached(where);
    }

    const std::uint32_t frameBytes_;
    std::uint32_t frames_ = 0;
    std::vector<std::uint8_t> head_;
    std::uint32_t headFrames_ = 0;

    // The read-ahead: frames numbered by the count ever written into it.
    std::unique_ptr<WaveReader> reader_;
    std::vector<std::uint8_t> ring_;
    std::uint32_t ringFrames_ = 0;
    std::atomic<std::uint64_t> written_{0};  // by the reader
    // By the audio thread, only ever a count it has seen written for the
    // position the reader answered last.
    std::atomic<std::uint64_t> taken_{0};
    // The audio thread asks for a position: generation (32 bits) | frame.
    std::atomic<std::uint64_t> wanted_{0};
    // The reader answers: generation (16 bits) | the count written when it
    // began reading for it (48 bits).
    std::atomic<std::uint64_t> answered_{0};
    // Where the sound ends: frames_, or earlier once a read came up short.
    std::atomic<std::uint32_t> end_{0};
    std::atomic<std::uint32_t> wakeups_{0};
    std::atomic<bool> stopping_{false};
    Checkpoints* checkpoints_ = nullptr;
    std::thread thread_;

    // Audio thread only.
    std::uint32_t position_ = 0;
    std::uint32_t generation_ = 0;
    std::uint32_t wantedFrame_ = 0;
    bool tookSinceWanted_ = false;
};

}  // namespace platform
