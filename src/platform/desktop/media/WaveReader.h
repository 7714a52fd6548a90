#pragma once
// A wave file decoded by libsndfile: its headers at the open, then its frames
// in order, block by block, so that nothing but a block is ever in memory.
//
// It reads the descriptor that RegularFile opened (never the path again), so a
// file replaced under the same name is read on from the one opened, and a
// pipe or device put there is refused without blocking. A file that shrinks
// or fails to read while it is being read simply ends early: read() returns
// fewer frames than asked.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/common/RegularFile.h"

struct sf_private_tag;

namespace platform {

class WaveReader {
  public:
    // How the frames are handed out: 16-bit for what holds no more (8- and
    // 16-bit PCM, A-law, µ-law, ADPCM), 32-bit float for the rest, so that
    // nothing is lost and the common file is copied as it is.
    enum class Samples : std::uint8_t { Int16, Float32 };

    // Opens `path` and reads its headers. Returns mci::kOk and sets `out`, or
    // mci::kFileNotFound (cannot be opened) or mci::kInvalidFile (not a wave
    // file, an encoding libsndfile does not decode, no sound in it, more
    // channels or a higher rate than a device plays, or its first frames fail to decode).
    static std::int32_t open(const std::string& path, std::unique_ptr<WaveReader>& out);

    ~WaveReader();
    WaveReader(const WaveReader&) = delete;
    WaveReader& operator=(const WaveReader&) = delete;

    // Frames the headers announce (capped at 2^32 - 1, more than a day).
    std::uint32_t frames() const { return frames_; }
    int channels() const { return channels_; }
    int rate() const { return rate_; }
    Samples samples() const { return samples_; }
    std::uint32_t frameBytes() const;
    // The encoding, as libsndfile names it (SF_FORMAT_… bits).
    int format() const { return format_; }

    // Reads up to `count` frames into `out` from the current position.
    // Returns the frames read: fewer at the end of the file, also an early
    // end (shortened, unreadable).
    std::uint32_t read(void* out, std::uint32_t count);
    // Goes to `frame`. False if it cannot (the file has changed).
    bool seek(std::uint32_t frame);

    // What libsndfile's virtual I/O reads through (the descriptor and a
    // position of its own).
    struct Io {
        RegularFile file;
        std::uint64_t offset = 0;
    };

  private:
    explicit WaveReader(RegularFile file);

    Io io_;
    sf_private_tag* sf_ = nullptr;
    std::uint32_t frames_ = 0;
    int channels_ = 0;
    int rate_ = 0;
    int format_ = 0;
    Samples samples_ = Samples::Int16;
};

}  // namespace platform
