#pragma once
// The media command-string layer over SDL2 audio (no Qt here, so that it can
// be built on its own, for instance under ThreadSanitizer).
//
// Commands: see MciCommand.h. A device plays one wave file, read whole,
// checked, decoded by SDL's WAV loader and converted once to the output
// device's format.
//
// Opening: the open command itself checks what can be told from the file's
// chunk headers (that it exists, is a RIFF WAVE file whose chunks lie inside
// it, in a format SDL reads, with at least one frame of sound) and returns.
// Decoding and bringing up the output (which can take tens of milliseconds
// with a sound server) go on in the background, unless Options::openInBackground
// is off. Until then the device answers as if it were already playing what
// was asked of it; whatever arrives is heard once it is ready. If that
// background work fails, every later command on the device but close returns
// its code, so a poll of the mode sees no mode word.
//
// SDL itself (and the thirty-odd libraries that it pulls in) is loaded when
// audio is first started, not by the dynamic linker before main(); without it
// no output can start, which fails the devices with mci::kHardware.
//
// Modes: "stopped" after the open, "playing" after a play, and "stopped"
// again after a seek or once the whole file has been handed to the output.
// The output keeps a short look-ahead queued (Options::lookaheadMs): the
// file's last frames are still queued, not yet heard, when the mode turns
// "stopped", and a play that arrives while they are queued continues right
// after them, without a gap. A play or seek while "playing" interrupts: the
// queue is dropped and the new position is heard from the next device buffer.
//
// Threads: the audio thread and the caller share nothing but two atomic
// words per device; no command takes SDL's device lock except close. The
// background open hands its device over under a lock of that device, which
// commands take only briefly. Commands are serialised by a mutex of their
// own, which the audio thread never takes; a status query allocates nothing.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/MediaCommands.h"

namespace platform {

struct MciCommand;
class RegularFile;

// The samples of one opened sound and the state that the interface thread
// and the audio thread share. Interface methods (play, seekToStart, playing,
// position bookkeeping) must be called from one thread at a time; render()
// from the audio thread. Usable without SDL, which makes the seam testable
// frame by frame.
class SoundStream {
  public:
    // `pcm`: whole frames of `frameBytes` bytes in the output's format.
    // `silence`: the byte value of silence in that format.
    // `lookaheadFrames`: frames kept queued beyond the current device buffer.
    // `maxChunkFrames`: the largest device buffer expected (larger requests
    // are rendered in pieces).
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
    // True from a play until the whole file has been handed to the output.
    bool playing() const;

    // Audio thread: fills `out` (`bytes` long) with the next frames.
    void render(std::uint8_t* out, std::size_t bytes);

  private:
    void request(bool interrupt, bool play, std::uint32_t pos);
    void renderChunk(std::uint8_t* out, std::uint32_t frames);
    void pushRing(const std::uint8_t* src, std::uint32_t frames);
    void popRing(std::uint8_t* dst, std::uint32_t frames);

    const std::vector<std::uint8_t> pcm_;
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
    std::uint32_t aPos_ = 0;
    std::vector<std::uint8_t> ring_;
    std::uint32_t ringCapacity_ = 0;  // frames
    std::uint32_t ringHead_ = 0;      // frames
    std::uint32_t ringFrames_ = 0;
};

// Checks that `data` is a RIFF WAVE file whose chunks all lie inside it, with
// a "fmt " and a "data" chunk. Returns 0 or mci::kInvalidFile. This keeps
// SDL's loader, which allocates each chunk's stated length before reading it,
// from allocating beyond the file's size.
std::int32_t checkRiffWave(const std::uint8_t* data, std::size_t size);

class SdlMedia final : public MediaCommands {
  public:
    struct Options {
        // Frames kept queued beyond the device buffer: the time that a
        // "play … from 0" has after "stopped" to join without a gap.
        std::uint32_t lookaheadMs = 100;
        // Device buffer asked of SDL, in frames (SDL may change it).
        std::uint16_t deviceBufferFrames = 1024;
        // Largest file accepted.
        std::uint64_t maxFileBytes = 256ull << 20;
        // Off: the open returns only once the device is ready or has failed,
        // with the code of what failed.
        bool openInBackground = true;
        // On: no open starts the output (SDL and its sound drivers) until
        // startAudioInBackground() is called; until then the devices answer
        // as they would while loading. A program uses this to keep loading the
        // sound library out of its start-up.
        bool holdOutput = false;
    };

    SdlMedia();
    explicit SdlMedia(Options options);
    ~SdlMedia() override;
    SdlMedia(const SdlMedia&) = delete;
    SdlMedia& operator=(const SdlMedia&) = delete;

    std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                std::intptr_t callback) override;

    // Starts SDL's audio subsystem on a thread of its own and lets held
    // opens go on. Optional unless Options::holdOutput is on: the first open
    // starts it otherwise.
    void startAudioInBackground();

  private:
    struct Device;
    Device* find(std::string_view alias);
    std::int32_t open(std::string_view path, std::string_view alias);
    std::int32_t deviceCommand(Device& device, const MciCommand& cmd, char* reply,
                               std::uint32_t replyLength);
    void load(Device& device, const RegularFile& file);
    std::int32_t startAudio(const Device& device);
    void close(Device& device);

    Options options_;
    std::mutex mutex_;  // serialises commands
    std::vector<std::unique_ptr<Device>> devices_;

    std::mutex audioMutex_;  // the start of SDL's audio, from any open's thread
    std::condition_variable audioReleased_;
    bool audioRequested_ = false;
    bool audioStarted_ = false;
    std::thread earlyStart_;
    int earlyStartResult_ = 0;
};

}  // namespace platform
