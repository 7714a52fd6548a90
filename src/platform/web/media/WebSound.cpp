#include "platform/web/media/WebSound.h"

#include <emscripten.h>
#include <emscripten/eventloop.h>

#include <algorithm>
#include <cmath>

#include "platform/common/MciCommand.h"
#include "platform/web/media/AudioPage.h"
#include "platform/web/media/StreamedWave.h"

namespace platform {

namespace {

// The most frames one source node plays.
constexpr std::uint32_t kSliceFrames = 4096;
// How far ahead of the output's clock the sound is queued: the time a
// "play from 0" has after "stopped" to join without a gap, and what a busy
// page may hold up the pump without a drop-out.
constexpr double kLookaheadSeconds = 1.0;
// Where a sound starts when nothing is queued: soon enough to be heard at
// once, late enough that its start is not already past.
constexpr double kLeadSeconds = 0.05;
constexpr double kHeadSeconds = 1.0;
constexpr int kPumpMs = 50;

std::uintptr_t keyOf(const WebSound* sound) {
    return reinterpret_cast<std::uintptr_t>(sound);
}

}  // namespace

WebSound::WebSound(std::string alias, std::unique_ptr<StreamedWave> wave)
    : alias_(std::move(alias)),
      wave_(std::move(wave)),
      frames_(wave_->frames()),
      channels_(wave_->channels()),
      rate_(wave_->rate()) {
    output_ = pk_audio_open(keyOf(this), rate_, channels_) != 0;
    if (!output_) return;
    headFrames_ = std::min(frames_, static_cast<std::uint32_t>(kHeadSeconds * rate_));
    head_.resize(std::size_t{headFrames_} * static_cast<unsigned>(channels_));
    slice_.resize(std::size_t{kSliceFrames} * static_cast<unsigned>(channels_));
    pumpTimer_ = emscripten_set_interval([](void* self) { static_cast<WebSound*>(self)->pump(); },
                                         kPumpMs, this);
    pump();
}

WebSound::~WebSound() {
    if (pumpTimer_ != 0) emscripten_clear_interval(pumpTimer_);
    if (output_) pk_audio_close(keyOf(this));
}

void WebSound::fillHead() {
    // Only while the stream stands where the head goes on.
    while (headDecoded_ < headFrames_ && wave_->position() == headDecoded_) {
        bool ended = false;
        float* at = head_.data() + std::size_t{headDecoded_} * static_cast<unsigned>(channels_);
        const std::uint32_t n =
            wave_->read(at, std::min(kSliceFrames, headFrames_ - headDecoded_), ended);
        if (n == 0) {
            // A sound that ends within its head is all head.
            if (ended) headFrames_ = headDecoded_;
            return;
        }
        headDecoded_ += n;
    }
}

std::uint32_t WebSound::next(std::uint32_t count, const float*& frames, bool& ended) {
    ended = false;
    if (position_ >= frames_) {
        ended = true;
        return 0;
    }
    if (position_ < headFrames_) {
        if (position_ >= headDecoded_) {
            if (wave_->position() != headDecoded_) wave_->seek(headDecoded_);
            fillHead();
        }
        if (position_ < headDecoded_) {
            frames = head_.data() + std::size_t{position_} * static_cast<unsigned>(channels_);
            return std::min(count, headDecoded_ - position_);
        }
        if (position_ < headFrames_) return 0;  // its bytes are on their way
    }
    if (wave_->position() != position_) wave_->seek(position_);
    const std::uint32_t n = wave_->read(slice_.data(), count, ended);
    frames = slice_.data();
    return n;
}

void WebSound::pump() {
    if (!output_) return;
    const double now = pk_audio_now(keyOf(this));
    const double lookahead = kLookaheadSeconds * rate_;
    while (playing_ && queuedEnd_ < now + lookahead) {
        const float* frames = nullptr;
        bool ended = false;
        const std::uint32_t n = next(kSliceFrames, frames, ended);
        if (n == 0) {
            if (ended) {
                // All handed over. A restart from the beginning is the likely
                // next request: the stream turns to what follows the head.
                playing_ = false;
                position_ = frames_;
                if (headFrames_ < frames_) wave_->seek(headFrames_);
            }
            break;
        }
        // Nothing queued to join (the first play, or a pump held up longer
        // than the look-ahead): start a moment from now.
        const double earliest = now + kLeadSeconds * rate_;
        if (queuedEnd_ < earliest) queuedEnd_ = std::floor(earliest);
        pk_audio_schedule(keyOf(this), frames, static_cast<int>(n), queuedEnd_);
        queuedEnd_ += n;
        position_ += n;
    }
    // Idle turns go to the head, which a restart will need at once.
    fillHead();
}

void WebSound::interrupt() {
    pk_audio_drop(keyOf(this));
    queuedEnd_ = 0;
}

void WebSound::play(std::uint32_t fromFrame) {
    if (playing_) interrupt();
    playing_ = true;
    askedPlay_ = true;
    askedFrom_ = fromFrame;
    position_ = fromFrame;
    pump();
}

std::int32_t WebSound::command(const MciCommand& cmd, char* reply, std::uint32_t replyLength) {
    if (!output_) return mci::kHardware;
    switch (cmd.verb) {
        case MciVerb::Play:
            if (cmd.hasFrom) {
                const std::uint64_t frame =
                    std::uint64_t{cmd.fromMs} * static_cast<unsigned>(rate_) / 1000;
                if (frame > frames_) return mci::kOutOfRange;
                play(static_cast<std::uint32_t>(frame));
            } else if (!playing_) {
                // On from where it stands: the start after a seek or the
                // open, the end after the sound has played to it.
                play(askedPlay_ ? frames_ : askedFrom_);
            }
            return mci::kOk;
        case MciVerb::Seek:
            if (playing_) interrupt();
            playing_ = false;
            askedPlay_ = false;
            askedFrom_ = 0;
            position_ = 0;
            return mci::kOk;
        case MciVerb::Status:
            return writeMciReply(reply, replyLength, playing_ ? "playing" : "stopped");
        default:
            return mci::kUnrecognizedCommand;
    }
}

}  // namespace platform
