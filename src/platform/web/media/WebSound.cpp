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
constexpr std::uint32_t kSliceFrames = 16384;
// The most frames one source node plays from the head, whose slices the page
// keeps: a kept sound loops on a few long nodes.
constexpr std::uint32_t kKeptSliceFrames = 65536;
// How far ahead of the output's clock the sound is queued: the time a
// "play from 0" has after "stopped" to join without a gap, and what a busy
// page may hold up the pump without a drop-out.
constexpr double kLookaheadSeconds = 1.0;
// Where a sound starts when nothing is queued: soon enough to be heard at
// once, late enough that its start is not already past. The least lead: an
// output that renders in larger bursts needs more (pk_audio_lead).
constexpr double kLeadSeconds = 0.05;
constexpr double kHeadSeconds = 1.0;
// A sound that decodes to no more than this is kept whole as its head: a
// short loop, the usual music, then costs no decoding and no fetching after
// its first pass, and the page plays it again from buffers it keeps.
constexpr std::uint64_t kWholeBytes = 4 * 1024 * 1024;
constexpr int kPumpMs = 250;

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
    output_ = pk_audio_can_play() != 0;
    if (!output_) return;
    const std::uint64_t decodedBytes =
        std::uint64_t{frames_} * static_cast<unsigned>(channels_) * sizeof(float);
    headFrames_ = decodedBytes <= kWholeBytes
                      ? frames_
                      : std::min(frames_, static_cast<std::uint32_t>(kHeadSeconds * rate_));
    // Left unfilled: what is read from them has always been written first,
    // and zeroing megabytes as the game starts holds up its first line.
    headSamples_ = std::size_t{headFrames_} * static_cast<unsigned>(channels_);
    head_.reset(new float[headSamples_]);
    slice_.reset(new float[std::size_t{kSliceFrames} * static_cast<unsigned>(channels_)]);
    planar_.reset(new float[std::size_t{kKeptSliceFrames} * static_cast<unsigned>(channels_)]);
    // The output is made on a later turn of the pump, once the page has
    // drawn the first line (pk_audio_open refuses until then): the game opens
    // its music as it starts, and nothing is heard before the player's first
    // gesture anyway, so the first line need not wait for an AudioContext.
    pumpTimer_ = emscripten_set_interval(
        [](void* self) {
            auto* sound = static_cast<WebSound*>(self);
            if (!sound->opened_) {
                sound->opened_ = pk_audio_open(keyOf(sound), sound->rate_, sound->channels_) != 0;
                if (sound->opened_)
                    sound->leadFrames_ =
                        std::max(kLeadSeconds * sound->rate_, pk_audio_lead(keyOf(sound)));
            }
            sound->pump();
        },
        kPumpMs, this);
}

WebSound::~WebSound() {
    if (pumpTimer_ != 0) emscripten_clear_interval(pumpTimer_);
    if (opened_) pk_audio_close(keyOf(this));
}

void WebSound::fillHead() {
    // Only while the stream stands where the head goes on.
    while (headDecoded_ < headFrames_ && wave_->position() == headDecoded_) {
        bool ended = false;
        float* at = head_.get() + std::size_t{headDecoded_} * static_cast<unsigned>(channels_);
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
            frames = head_.get() + std::size_t{position_} * static_cast<unsigned>(channels_);
            return std::min(count, headDecoded_ - position_);
        }
        if (position_ < headFrames_) return 0;  // its bytes are on their way
    }
    if (wave_->position() != position_) wave_->seek(position_);
    const std::uint32_t n = wave_->read(slice_.get(), count, ended);
    frames = slice_.get();
    return n;
}

void WebSound::pump() {
    // A page that could not make its output after all plays silently.
    if (!opened_) return;
    const double now = pk_audio_now(keyOf(this));
    const double lookahead = kLookaheadSeconds * rate_;
    while (playing_ && queuedEnd_ < now + lookahead) {
        const float* frames = nullptr;
        bool ended = false;
        const std::uint32_t n =
            next(position_ < headDecoded_ ? kKeptSliceFrames : kSliceFrames, frames, ended);
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
        const double earliest = now + leadFrames_;
        if (queuedEnd_ < earliest) queuedEnd_ = std::floor(earliest);
        // A whole slice of the head never changes: the page keeps it once
        // made. (The head's first pass may come in shorter pieces, as it is
        // decoded.)
        const bool keep = frames >= head_.get() && frames < head_.get() + headSamples_ &&
                          (n == kKeptSliceFrames || position_ + n == headFrames_);
        const double kept = keep ? position_ : -1;
        if (!keep || !pk_audio_schedule_kept(keyOf(this), kept, static_cast<int>(n), queuedEnd_)) {
            // Split into channels here, where it is a plain loop, not in the
            // page's script.
            const auto channels = static_cast<std::size_t>(channels_);
            for (std::size_t c = 0; c < channels; ++c)
                for (std::size_t i = 0; i < n; ++i) planar_[c * n + i] = frames[i * channels + c];
            pk_audio_schedule(keyOf(this), planar_.get(), static_cast<int>(n), queuedEnd_, kept);
        }
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
