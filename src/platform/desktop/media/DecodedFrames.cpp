#include "platform/desktop/media/DecodedFrames.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <system_error>

#include "platform/common/MciCommand.h"
#include "platform/desktop/media/WaveReader.h"

namespace platform {

namespace {

constexpr std::uint64_t kIndexMask = (std::uint64_t{1} << 48) - 1;

// The most the reader decodes at once, so that it soon sees a new position.
constexpr std::uint32_t kReadFrames = 4096;

constexpr std::uint64_t packWanted(std::uint32_t generation, std::uint32_t frame) {
    return (std::uint64_t{generation} << 32) | frame;
}

constexpr std::uint64_t packAnswer(std::uint32_t generation, std::uint64_t index) {
    return (std::uint64_t{generation & 0xFFFF} << 48) | (index & kIndexMask);
}

}  // namespace

DecodedFrames::DecodedFrames(std::vector<std::uint8_t> pcm, std::uint32_t frameBytes)
    : frameBytes_(std::max<std::uint32_t>(frameBytes, 1)), head_(std::move(pcm)) {
    headFrames_ =
        static_cast<std::uint32_t>(std::min<std::size_t>(head_.size() / frameBytes_, UINT32_MAX));
    frames_ = headFrames_;
    end_.store(frames_, std::memory_order_relaxed);
}

DecodedFrames::DecodedFrames(std::unique_ptr<WaveReader> reader, std::uint32_t frameBytes,
                             std::uint32_t frames)
    : frameBytes_(frameBytes), frames_(frames), reader_(std::move(reader)) {
    end_.store(frames_, std::memory_order_relaxed);
}

std::int32_t DecodedFrames::decode(std::unique_ptr<WaveReader> reader, std::uint32_t headFrames,
                                   std::uint32_t aheadFrames, std::unique_ptr<DecodedFrames>& out,
                                   Checkpoints* checkpoints) {
    const std::uint32_t frameBytes = reader->frameBytes();
    const std::uint32_t want = std::max<std::uint32_t>(std::min(headFrames, reader->frames()), 1);
    std::vector<std::uint8_t> head(std::size_t{want} * frameBytes);
    std::uint32_t got = 0;
    while (got < want) {
        const std::uint32_t n =
            reader->read(head.data() + std::size_t{got} * frameBytes, want - got);
        if (n == 0) break;
        got += n;
    }
    if (got == 0) return mci::kInvalidFile;
    if (got < want || got >= reader->frames()) {
        // All of it (or all that is left of it) fits in the head.
        head.resize(std::size_t{got} * frameBytes);
        out = std::make_unique<DecodedFrames>(std::move(head), frameBytes);
        return mci::kOk;
    }
    const std::uint32_t total = reader->frames();
    std::unique_ptr<DecodedFrames> f(new DecodedFrames(std::move(reader), frameBytes, total));
    f->head_ = std::move(head);
    f->headFrames_ = got;
    f->ringFrames_ = std::max(aheadFrames, 2 * kReadFrames);
    f->ring_.resize(std::size_t{f->ringFrames_} * frameBytes);
    // The reader stands right after the head, where the first pass needs it.
    f->wantedFrame_ = got;
    f->wanted_.store(packWanted(0, got), std::memory_order_relaxed);
    f->answered_.store(packAnswer(0, 0), std::memory_order_relaxed);
    f->checkpoints_ = checkpoints;
    try {
        f->thread_ = std::thread(&DecodedFrames::readAhead, f.get());
    } catch (const std::system_error&) {
        return mci::kOutOfMemory;
    }
    out = std::move(f);
    return mci::kOk;
}

DecodedFrames::~DecodedFrames() {
    if (thread_.joinable()) {
        stopping_.store(true, std::memory_order_release);
        wake();
        thread_.join();
    }
}

void DecodedFrames::wake() {
    wakeups_.fetch_add(1, std::memory_order_release);
    wakeups_.notify_one();
}

void DecodedFrames::readAhead() {
    std::uint32_t generation = 0;
    std::uint64_t written = 0;
    std::uint64_t answeredAt = 0;  // the count written when it turned to this position
    std::uint32_t frame = headFrames_;
    bool done = false;  // nothing more to read for this position
    const auto endHere = [this, &frame, &done] {
        done = true;
        if (frame < end_.load(std::memory_order_relaxed)) {
            end_.store(frame, std::memory_order_release);
        }
    };
    for (;;) {
        const std::uint32_t seen = wakeups_.load(std::memory_order_acquire);
        if (stopping_.load(std::memory_order_acquire)) return;
        const std::uint64_t wanted = wanted_.load(std::memory_order_acquire);
        if (static_cast<std::uint32_t>(wanted >> 32) != generation) {
            reached(Checkpoints::At::ReaderTurns);
            generation = static_cast<std::uint32_t>(wanted >> 32);
            frame = static_cast<std::uint32_t>(wanted);
            done = frame >= end_.load(std::memory_order_relaxed);
            if (!done && !reader_->seek(frame)) endHere();
            answeredAt = written;
            answered_.store(packAnswer(generation, answeredAt), std::memory_order_release);
            continue;
        }
        // What was written before the answer is of no use to the audio thread
        // (it takes from the answer on), so its room is free without waiting
        // for the audio thread to say so.
        const std::uint64_t taken = std::max(taken_.load(std::memory_order_acquire), answeredAt);
        const std::uint64_t room = ringFrames_ - (written - taken);
        if (!done && room > 0) {
            const auto at = static_cast<std::uint32_t>(written % ringFrames_);
            const std::uint32_t n =
                std::min({static_cast<std::uint32_t>(room), ringFrames_ - at, kReadFrames,
                          end_.load(std::memory_order_relaxed) - frame});
            const std::uint32_t got =
                reader_->read(ring_.data() + std::size_t{at} * frameBytes_, n);
            written += got;
            frame += got;
            written_.store(written, std::memory_order_release);
            if (got < n) {
                endHere();  // shortened, emptied or unreadable since the open
            } else if (frame >= end_.load(std::memory_order_relaxed)) {
                done = true;
            }
            continue;
        }
        reached(Checkpoints::At::ReaderSleeps);
        wakeups_.wait(seen, std::memory_order_acquire);
    }
}

void DecodedFrames::jumpTo(std::uint32_t frame) {
    position_ = frame;
    if (ringFrames_ == 0) return;
    const std::uint32_t from = std::max(frame, headFrames_);
    if (from == wantedFrame_ && !tookSinceWanted_) return;  // the read-ahead starts there
    ++generation_;
    wantedFrame_ = from;
    tookSinceWanted_ = false;
    wanted_.store(packWanted(generation_, from), std::memory_order_release);
    wake();
}

std::uint32_t DecodedFrames::take(std::uint8_t* out, std::uint32_t count, bool& ended) {
    ended = false;
    if (position_ < headFrames_) {
        const std::uint32_t n = std::min(count, headFrames_ - position_);
        std::memcpy(out, head_.data() + std::size_t{position_} * frameBytes_,
                    std::size_t{n} * frameBytes_);
        position_ += n;
        return n;
    }
    if (ringFrames_ == 0 || position_ >= end_.load(std::memory_order_acquire)) {
        ended = true;
        return 0;
    }
    const std::uint64_t answer = answered_.load(std::memory_order_acquire);
    if ((answer >> 48) != (generation_ & 0xFFFF)) {
        // The reader has not yet turned to the position asked for. Nothing is
        // taken here: the count written may already hold frames read for the
        // new position after this answer was loaded, and taking past them
        // would leave this thread waiting for frames that never come.
        reached(Checkpoints::At::TakerWaits);
        return 0;
    }
    const std::uint64_t written = written_.load(std::memory_order_acquire);
    std::uint64_t taken = std::max(taken_.load(std::memory_order_relaxed), answer & kIndexMask);
    const std::uint64_t ready = written - taken;
    if (ready == 0) {
        taken_.store(taken, std::memory_order_release);
        if (position_ >= end_.load(std::memory_order_acquire)) {
            ended = true;
        } else {
            wake();
        }
        return 0;
    }
    const auto at = static_cast<std::uint32_t>(taken % ringFrames_);
    const auto n = static_cast<std::uint32_t>(
        std::min<std::uint64_t>({count, ready, std::uint64_t{ringFrames_ - at}}));
    std::memcpy(out, ring_.data() + std::size_t{at} * frameBytes_, std::size_t{n} * frameBytes_);
    taken += n;
    taken_.store(taken, std::memory_order_release);
    position_ += n;
    tookSinceWanted_ = true;
    if (written - taken < ringFrames_ / 2) wake();
    return n;
}

}  // namespace platform
