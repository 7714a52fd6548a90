#pragma once
// One opened sound as the output plays it: the requests of the interface
// thread (play from a frame, seek to the start) and the frames the audio
// thread renders for them. Usable without SDL, which makes the seam testable
// frame by frame.
//
// Modes: stopped after the open, playing after a play, and stopped again
// after a seek or once the whole sound has been handed to the output. A short
// look-ahead stays queued beyond the device buffer: the sound's last frames
// are still queued, not yet heard, when the mode turns stopped, and a play
// that arrives while they are queued continues right after them, without a
// gap. A play or seek while playing interrupts: the queue is dropped and the
// new position is heard from the next device buffer.
//
// The two threads share two atomic words; neither ever waits for the other.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/desktop/media/DecodedFrames.h"

namespace platform {

// Interface methods (play, resume, seekToStart, playing) must be called from
// one thread at a time; render() from the audio thread.
class SoundStream {
  public:
    // `frames`: the sound, in the output's format.
    // `silence`: the byte value of silence in that format.
    // `lookaheadFrames`: frames kept queued beyond the current device buffer.
    // `maxChunkFrames`: the largest device buffer expected (larger requests
    // are rendered in pieces).
    SoundStream(std::unique_ptr<DecodedFrames> frames, std::uint8_t silence,
                std::uint32_t lookaheadFrames, std::uint32_t maxChunkFrames);
    // The same over whole frames of `frameBytes` bytes held in memory.
    SoundStream(std::vector<std::uint8_t> pcm, std::uint32_t frameBytes, std::uint8_t silence,
                std::uint32_t lookaheadFrames, std::uint32_t maxChunkFrames);
    SoundStream(const SoundStream&) = delete;
    SoundStream& operator=(const SoundStream&) = delete;

    std::uint32_t frames() const { return frames_; }
    std::uint32_t frameBytes() const { return frameBytes_; }

    // Interface thread.
    // Starts playing at `fromFrame` (<= frames()). While stopped, playback
    // continues right after whatever is still queued.
    void play(std::uint32_t fromFrame);
    // Plays on from the current position: nothing changes while playing;
    // from the start after a seek or the open; at the end (so it stops at
    // once) after the file has played to its end.
    void resume();
    // Stops and goes back to the first frame.
    void seekToStart();
    // True from a play until the whole file (or all of it that could be
    // read) has been handed to the output.
    bool playing() const;

    // Audio thread: fills `out` (`bytes` long) with the next frames.
    void render(std::uint8_t* out, std::size_t bytes);

  private:
    void request(bool interrupt, bool play, std::uint32_t pos);
    void renderChunk(std::uint8_t* out, std::uint32_t frames);
    void fillRing(std::uint32_t frames);
    void popRing(std::uint8_t* dst, std::uint32_t frames);

    const std::unique_ptr<DecodedFrames> source_;
    const std::uint32_t frameBytes_;
    const std::uint32_t frames_;
    const std::uint8_t silence_;
    const std::uint32_t lookahead_;
    const std::uint32_t maxChunk_;

    // Written by the interface, read by the audio thread:
    // seq (24 bits) | epoch (7) | play (1) | position (32).
    std::atomic<std::uint64_t> request_{0};
    // Written by the audio thread: applied seq (24 bits) | playing (1).
    std::atomic<std::uint64_t> status_{0};

    // Interface thread only.
    std::uint32_t seq_ = 0;
    std::uint32_t epoch_ = 0;
    bool reqPlay_ = false;
    std::uint32_t reqPos_ = 0;

    // Audio thread only.
    std::uint32_t appliedSeq_ = 0;
    std::uint32_t appliedEpoch_ = 0;
    bool aPlaying_ = false;
    std::vector<std::uint8_t> ring_;
    std::uint32_t ringCapacity_ = 0;  // frames
    std::uint32_t ringHead_ = 0;      // frames
    std::uint32_t ringFrames_ = 0;
};

}  // namespace platform
