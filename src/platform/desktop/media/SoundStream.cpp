#include "platform/desktop/media/SoundStream.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

constexpr std::uint32_t kSeqMask = 0xFFFFFF;
constexpr std::uint32_t kEpochMask = 0x7F;

constexpr std::uint64_t packRequest(std::uint32_t seq, std::uint32_t epoch, bool play,
                                    std::uint32_t pos) {
    return (std::uint64_t{seq & kSeqMask} << 40) | (std::uint64_t{epoch & kEpochMask} << 33) |
           (std::uint64_t{play ? 1u : 0u} << 32) | pos;
}

constexpr std::uint64_t packStatus(std::uint32_t seq, bool playing) {
    return (std::uint64_t{seq & kSeqMask} << 1) | (playing ? 1u : 0u);
}

}  // namespace

SoundStream::SoundStream(std::unique_ptr<DecodedFrames> frames, std::uint8_t silence,
                         std::uint32_t lookaheadFrames, std::uint32_t maxChunkFrames)
    : source_(std::move(frames)),
      frameBytes_(source_->frameBytes()),
      frames_(source_->frames()),
      silence_(silence),
      lookahead_(lookaheadFrames),
      maxChunk_(std::max<std::uint32_t>(maxChunkFrames, 1)) {
    ringCapacity_ = lookahead_ + maxChunk_;
    ring_.resize(std::size_t{ringCapacity_} * frameBytes_);
}

SoundStream::SoundStream(std::vector<std::uint8_t> pcm, std::uint32_t frameBytes,
                         std::uint8_t silence, std::uint32_t lookaheadFrames,
                         std::uint32_t maxChunkFrames)
    : SoundStream(std::make_unique<DecodedFrames>(std::move(pcm), frameBytes), silence,
                  lookaheadFrames, maxChunkFrames) {}

bool SoundStream::playing() const {
    const std::uint64_t st = status_.load(std::memory_order_acquire);
    if (static_cast<std::uint32_t>((st >> 1) & kSeqMask) == seq_) return (st & 1) != 0;
    return reqPlay_;  // not yet taken up by the audio thread
}

void SoundStream::request(bool interrupt, bool play, std::uint32_t pos) {
    if (interrupt) epoch_ = (epoch_ + 1) & kEpochMask;
    seq_ = (seq_ + 1) & kSeqMask;
    reqPlay_ = play;
    reqPos_ = pos;
    request_.store(packRequest(seq_, epoch_, play, pos), std::memory_order_release);
}

void SoundStream::play(std::uint32_t fromFrame) {
    request(playing(), true, std::min(fromFrame, frames_));
}

void SoundStream::resume() {
    if (playing()) return;
    // Stopped by the end of the file (the last request was a play), or by a
    // seek or the open (the position asked for then).
    request(false, true, reqPlay_ ? frames_ : reqPos_);
}

void SoundStream::seekToStart() {
    request(playing(), false, 0);
}

// Takes up to `frames` frames from the source into the queue; fewer when the
// sound ends (playing turns false) or its reader lags behind.
void SoundStream::fillRing(std::uint32_t frames) {
    while (frames > 0) {
        const std::uint32_t tail = (ringHead_ + ringFrames_) % ringCapacity_;
        bool ended = false;
        const std::uint32_t n = source_->take(ring_.data() + std::size_t{tail} * frameBytes_,
                                              std::min(frames, ringCapacity_ - tail), ended);
        if (ended) aPlaying_ = false;  // the whole sound is handed over
        if (n == 0) return;
        ringFrames_ += n;
        frames -= n;
    }
}

void SoundStream::popRing(std::uint8_t* dst, std::uint32_t frames) {
    while (frames > 0) {
        const std::uint32_t n = std::min(frames, ringCapacity_ - ringHead_);
        std::memcpy(dst, ring_.data() + std::size_t{ringHead_} * frameBytes_,
                    std::size_t{n} * frameBytes_);
        dst += std::size_t{n} * frameBytes_;
        frames -= n;
        ringFrames_ -= n;
        ringHead_ = (ringHead_ + n) % ringCapacity_;
    }
}

void SoundStream::renderChunk(std::uint8_t* out, std::uint32_t n) {
    const std::uint64_t r = request_.load(std::memory_order_acquire);
    const auto seq = static_cast<std::uint32_t>((r >> 40) & kSeqMask);
    if (seq != appliedSeq_) {
        const auto epoch = static_cast<std::uint32_t>((r >> 33) & kEpochMask);
        if (epoch != appliedEpoch_) {  // an interruption: drop what is queued
            ringHead_ = 0;
            ringFrames_ = 0;
            appliedEpoch_ = epoch;
        }
        aPlaying_ = ((r >> 32) & 1) != 0;
        if (aPlaying_) source_->jumpTo(static_cast<std::uint32_t>(r));
        appliedSeq_ = seq;
    }
    // Top the queue up to this buffer plus the look-ahead.
    const std::uint32_t target = n + lookahead_;
    if (aPlaying_ && ringFrames_ < target) fillRing(target - ringFrames_);
    const std::uint32_t k = std::min(ringFrames_, n);
    popRing(out, k);
    std::memset(out + std::size_t{k} * frameBytes_, silence_, std::size_t{n - k} * frameBytes_);
    status_.store(packStatus(appliedSeq_, aPlaying_), std::memory_order_release);
}

void SoundStream::render(std::uint8_t* out, std::size_t bytes) {
    std::size_t frames = bytes / frameBytes_;
    while (frames > 0) {
        const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(frames, maxChunk_));
        renderChunk(out, n);
        out += std::size_t{n} * frameBytes_;
        frames -= n;
    }
    const std::size_t rest = bytes % frameBytes_;
    if (rest > 0) std::memset(out, silence_, rest);
}

}  // namespace platform
