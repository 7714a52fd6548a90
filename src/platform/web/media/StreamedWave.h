#pragma once
// A wave file of the site decoded by libsndfile as its bytes arrive: the
// open reads the headers from the prefetched head, then the frames are read
// in order from a window of the file that a fetch keeps filled, so that
// neither the file nor its sound is ever whole in memory.
//
// libsndfile reads synchronously; a read it makes beyond the bytes fetched
// so far is "starved": what it decoded then is thrown away and the read is
// made again once the bytes are there. Before each read the window is made to
// hold more than the frames asked can take, so that this stays rare.
//
// The fetch asks the site for the bytes from a position on (an HTTP Range
// request); a site that ignores it sends the whole file, which the page skips
// through without keeping it. A fetch that ends early ends the sound there,
// as a file cut short does, until a seek asks for another position.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/web/media/ByteWindow.h"

struct sf_private_tag;

namespace platform {

struct StreamedFile;

class StreamedWave {
  public:
    // The most channels and the highest rate taken, as on the desktop.
    // Reads the headers of `file` and decodes its first frames. Returns
    // mci::kOk and sets `out`, mci::kFileNotFound (the site has no such file)
    // or mci::kInvalidFile (not a wave file libsndfile decodes, no sound in
    // it, too many channels, too high a rate, or its first frames fail).
    static std::int32_t open(const StreamedFile& file, std::unique_ptr<StreamedWave>& out);
    // What open() can tell of `file` without reading it: mci::kFileNotFound,
    // mci::kInvalidFile for an empty file, or mci::kOk.
    static std::int32_t check(const StreamedFile& file);

    ~StreamedWave();
    StreamedWave(const StreamedWave&) = delete;
    StreamedWave& operator=(const StreamedWave&) = delete;

    std::uint32_t frames() const { return frames_; }
    int channels() const { return channels_; }
    int rate() const { return rate_; }

    // The frame the next read() starts at.
    std::uint32_t position() const { return seekWanted_ ? seekTo_ : position_; }
    // Goes on from `frame` (fetching its bytes if they are not here).
    void seek(std::uint32_t frame);
    // Decodes up to `count` frames as interleaved floats into `out`. Returns
    // how many: 0 with `ended` set at the end of the sound (or of what the
    // site gave of it), 0 without it while the bytes are on their way.
    std::uint32_t read(float* out, std::uint32_t count, bool& ended);

    // The page's fetch: where a piece of `bytes` bytes may be written (null
    // when the fetch is no longer wanted), then that it was (or, with
    // `bytes` 0 and `finished`, that the fetch ended).
    std::uint8_t* space(int generation, int bytes);
    void arrived(int generation, int bytes, bool finished);

    // What libsndfile's virtual I/O reads through.
    struct Io {
        StreamedWave* wave = nullptr;
        std::uint64_t offset = 0;
    };

  private:
    explicit StreamedWave(const StreamedFile& file);
    std::int64_t ioRead(void* out, std::int64_t count);
    std::uint64_t limit() const;
    bool trySeek();
    // The bytes from `offset` on are needed: a fetch brings them.
    void want(std::uint64_t offset);
    void fetchFrom(std::uint64_t offset);
    void pull();
    std::uint64_t keepFrom() const;

    friend struct StreamedWaveIo;

    const std::string name_;
    const std::uint64_t length_;
    ByteWindow window_;
    Io io_;
    sf_private_tag* sf_ = nullptr;
    std::uint32_t frames_ = 0;
    int channels_ = 0;
    int rate_ = 0;
    std::uint32_t bytesPerFrame_ = 1;  // at least what a frame takes in the file

    std::uint32_t position_ = 0;
    bool seekWanted_ = false;
    std::uint32_t seekTo_ = 0;
    bool starved_ = false;  // a read of libsndfile's found the bytes missing
    std::uint64_t starvedAt_ = 0;

    // The fetch filling the window.
    int generation_ = 0;
    bool fetching_ = false;
    bool pulling_ = false;
    bool finished_ = false;                     // the fetch ended
    std::uint64_t endsAt_ = ~std::uint64_t{0};  // where it ended short of the file
};

}  // namespace platform
