#include "platform/web/media/StreamedWave.h"

#include <emscripten.h>
#include <sndfile.h>

#include <algorithm>
#include <climits>

#include "platform/common/MciCommand.h"
#include "platform/decoders/WaveFormat.h"
#include "platform/web/media/AudioPage.h"
#include "platform/web/media/StreamedFiles.h"

namespace platform {

namespace {

// The window: about three seconds of CD sound, enough to ride out a slow
// answer from the site, and still small beside what the page weighs.
constexpr std::size_t kWindowBytes = 512 * 1024;
// What is kept behind the reader, for libsndfile to go back over a block
// of the compressed encodings when it seeks.
constexpr std::uint64_t kKeepBehind = 32 * 1024;
// Pieces smaller than this are not asked for: the window fills in fewer
// turns, and what it keeps is moved down once a quarter has been read rather
// than at every piece.
constexpr std::size_t kSmallestPiece = kWindowBytes / 4;
// What a read may take beyond its frames' share of the file (a block).
constexpr std::uint64_t kReadMargin = 16 * 1024;

std::uintptr_t keyOf(const StreamedWave* wave) {
    return reinterpret_cast<std::uintptr_t>(wave);
}

}  // namespace

// libsndfile's virtual I/O over the window.
struct StreamedWaveIo {
    static StreamedWave::Io& io(void* user) { return *static_cast<StreamedWave::Io*>(user); }
    static sf_count_t length(void* user) { return static_cast<sf_count_t>(io(user).wave->length_); }
    static sf_count_t seek(sf_count_t offset, int whence, void* user) {
        auto& i = io(user);
        sf_count_t base = 0;
        if (whence == SEEK_CUR) base = static_cast<sf_count_t>(i.offset);
        if (whence == SEEK_END) base = static_cast<sf_count_t>(i.wave->length_);
        if (offset < -base) return -1;
        i.offset = static_cast<std::uint64_t>(base + offset);
        return static_cast<sf_count_t>(i.offset);
    }
    static sf_count_t read(void* out, sf_count_t count, void* user) {
        return io(user).wave->ioRead(out, count);
    }
    static sf_count_t write(const void*, sf_count_t, void*) { return 0; }
    static sf_count_t tell(void* user) { return static_cast<sf_count_t>(io(user).offset); }
};

StreamedWave::StreamedWave(const StreamedFile& file)
    : name_(file.name), length_(file.length), window_(std::max(kWindowBytes, file.head.size())) {
    io_.wave = this;
    std::copy(file.head.begin(), file.head.end(), window_.reserve(file.head.size(), 0));
    window_.commit(file.head.size());
    if (file.head.size() >= length_) finished_ = true;
}

StreamedWave::~StreamedWave() {
    if (sf_ != nullptr) sf_close(sf_);
    pk_audio_fetch_end(keyOf(this));
}

std::int32_t StreamedWave::check(const StreamedFile& file) {
    if (!file.found) return mci::kFileNotFound;
    if (file.length == 0) return mci::kInvalidFile;
    return mci::kOk;
}

std::int32_t StreamedWave::open(const StreamedFile& file, std::unique_ptr<StreamedWave>& out) {
    if (const auto rc = check(file); rc != mci::kOk) return rc;
    std::unique_ptr<StreamedWave> w(new StreamedWave(file));
    static SF_VIRTUAL_IO io = {&StreamedWaveIo::length, &StreamedWaveIo::seek,
                               &StreamedWaveIo::read, &StreamedWaveIo::write,
                               &StreamedWaveIo::tell};
    SF_INFO info{};
    w->sf_ = sf_open_virtual(&io, SFM_READ, &info, &w->io_);
    if (w->sf_ == nullptr) return mci::kInvalidFile;
    if (!isPlayableWave(info)) return mci::kInvalidFile;
    w->frames_ = static_cast<std::uint32_t>(std::min<sf_count_t>(info.frames, UINT32_MAX));
    w->channels_ = info.channels;
    w->rate_ = info.samplerate;
    // The whole file over its frames: never less than a frame takes.
    const std::uint64_t known = file.length == kUnknownLength ? 0 : file.length;
    w->bytesPerFrame_ = static_cast<std::uint32_t>(
        std::max<std::uint64_t>((known + w->frames_ - 1) / w->frames_,
                                std::uint64_t{8} * static_cast<unsigned>(info.channels)));
    // Headers can look right over data that does not decode: the first
    // frames are tried now, as the desktop does, when the head holds them.
    float probe[16 * kWaveMaxChannels];
    w->starved_ = false;
    const sf_count_t got = sf_readf_float(w->sf_, probe, 16);
    if (got <= 0 && !w->starved_) return mci::kInvalidFile;
    w->starved_ = false;
    if (sf_seek(w->sf_, 0, SEEK_SET) != 0 && !w->starved_) return mci::kInvalidFile;
    if (w->starved_) {
        w->seekWanted_ = true;
        w->seekTo_ = 0;
    }
    out = std::move(w);
    return mci::kOk;
}

std::uint64_t StreamedWave::limit() const {
    return std::min(length_, endsAt_);
}

std::uint64_t StreamedWave::keepFrom() const {
    return io_.offset > kKeepBehind ? io_.offset - kKeepBehind : 0;
}

std::int64_t StreamedWave::ioRead(void* out, std::int64_t count) {
    if (count <= 0) return 0;
    const auto n =
        static_cast<std::int64_t>(window_.read(io_.offset, out, static_cast<std::size_t>(count)));
    io_.offset += static_cast<std::uint64_t>(n);
    // Short of the end: the bytes are not here yet.
    if (n < count && io_.offset < limit()) {
        if (!starved_) starvedAt_ = io_.offset;
        starved_ = true;
    }
    return n;
}

void StreamedWave::seek(std::uint32_t frame) {
    seekWanted_ = true;
    seekTo_ = std::min(frame, frames_);
    // A fetch that ended early is tried again for the new position.
    endsAt_ = ~std::uint64_t{0};
}

bool StreamedWave::trySeek() {
    starved_ = false;
    const sf_count_t r = sf_seek(sf_, seekTo_, SEEK_SET);
    if (starved_) {
        want(starvedAt_);
        return false;
    }
    seekWanted_ = false;
    // A position that cannot be reached ends the sound there.
    position_ = r == static_cast<sf_count_t>(seekTo_) ? seekTo_ : frames_;
    return true;
}

std::uint32_t StreamedWave::read(float* out, std::uint32_t count, bool& ended) {
    ended = false;
    if (seekWanted_ && !trySeek()) return 0;
    count = std::min(count, frames_ - position_);
    if (count == 0) {
        ended = true;
        return 0;
    }
    // Decode only what the window surely holds.
    const std::uint64_t need = std::min<std::uint64_t>(
        std::uint64_t{count} * bytesPerFrame_ + kReadMargin, window_.capacity() / 2);
    const std::uint64_t until = std::min(io_.offset + need, limit());
    if (io_.offset < until && window_.availableFrom(io_.offset) < until - io_.offset) {
        want(io_.offset);
        return 0;
    }
    starved_ = false;
    const sf_count_t n = sf_readf_float(sf_, out, count);
    if (starved_) {
        // Thrown away, and read again from here once the bytes are in.
        seekWanted_ = true;
        seekTo_ = position_;
        want(starvedAt_);
        return 0;
    }
    const auto got = static_cast<std::uint32_t>(std::max<sf_count_t>(n, 0));
    position_ += got;
    if (got < count) {
        // The file ends early, or fails to decode: the sound ends here.
        position_ = frames_;
        ended = got == 0;
    }
    pull();
    return got;
}

void StreamedWave::want(std::uint64_t offset) {
    if (offset >= limit()) return;
    const bool running = fetching_ && !finished_;
    const std::uint64_t end = window_.end();
    if (running && offset >= window_.start() && offset <= end + window_.capacity() / 4) {
        pull();
        return;
    }
    if (!running && window_.availableFrom(offset) > 0 && end >= limit()) return;
    fetchFrom(offset);
}

void StreamedWave::fetchFrom(std::uint64_t offset) {
    ++generation_;
    window_.reset(offset);
    fetching_ = true;
    pulling_ = false;
    finished_ = false;
    pk_audio_fetch(keyOf(this), name_.c_str(), static_cast<double>(offset), generation_);
    pull();
}

void StreamedWave::pull() {
    if (!fetching_ || finished_ || pulling_) return;
    const std::size_t room = window_.roomKeeping(keepFrom());
    if (room < kSmallestPiece) return;
    pulling_ = true;
    pk_audio_pull(keyOf(this), generation_, static_cast<int>(room));
}

std::uint8_t* StreamedWave::space(int generation, int bytes) {
    if (generation != generation_ || !fetching_ || bytes < 0) return nullptr;
    std::uint8_t* at = window_.reserve(static_cast<std::size_t>(bytes), keepFrom());
    if (at == nullptr) fetching_ = false;  // the page drops this fetch; the next want starts anew
    return at;
}

void StreamedWave::arrived(int generation, int bytes, bool finished) {
    if (generation != generation_) return;
    pulling_ = false;
    if (bytes > 0) window_.commit(static_cast<std::size_t>(bytes));
    if (finished) {
        finished_ = true;
        fetching_ = false;
        if (window_.end() < length_) endsAt_ = window_.end();
        return;
    }
    pull();
}

}  // namespace platform

extern "C" {

EMSCRIPTEN_KEEPALIVE std::uint8_t* pk_audio_space(std::uintptr_t key, int generation, int bytes) {
    return reinterpret_cast<platform::StreamedWave*>(key)->space(generation, bytes);
}

EMSCRIPTEN_KEEPALIVE void pk_audio_arrived(std::uintptr_t key, int generation, int bytes,
                                           int finished) {
    reinterpret_cast<platform::StreamedWave*>(key)->arrived(generation, bytes, finished != 0);
}
}
