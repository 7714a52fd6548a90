#include "platform/desktop/media/SoundDevice.h"

#include <algorithm>
#include <system_error>

#include "platform/common/MciCommand.h"
#include "platform/desktop/media/DecodedFrames.h"
#include "platform/desktop/media/SdlLoader.h"
#include "platform/desktop/media/WaveReader.h"

namespace platform {

namespace {

// The output, closed again unless handed over.
struct OpenedOutput {
    SDL_AudioDeviceID id = 0;
    ~OpenedOutput() {
        if (id != 0) sdl()->CloseAudioDevice(id);
    }
};

std::uint32_t framesIn(std::uint32_t ms, int rate) {
    return static_cast<std::uint32_t>(std::uint64_t{ms} * static_cast<unsigned>(rate) / 1000);
}

}  // namespace

SoundDevice::SoundDevice(std::string alias, std::unique_ptr<WaveReader> reader,
                         SoundSettings settings)
    : alias_(std::move(alias)), settings_(settings), reader_(std::move(reader)) {
    durationMs_ = std::uint64_t{reader_->frames()} * 1000 / static_cast<unsigned>(reader_->rate());
}

SoundDevice::~SoundDevice() {
    closing_ = true;
    if (loader_.joinable()) loader_.join();
    if (id_ != 0) sdl()->CloseAudioDevice(id_);  // joins the audio thread
}

bool SoundDevice::loadInBackground(AudioSubsystem& audio) {
    try {
        inBackground_ = true;
        loader_ = std::thread([this, &audio] {
            load(audio);
            // SDL keeps per-thread state that it frees only for threads of
            // its own making.
            if (const SdlApi* api = sdlIfLoaded()) api->TLSCleanup();
        });
        return true;
    } catch (const std::system_error&) {
        inBackground_ = false;
        return false;
    }
}

void SoundDevice::fail(std::int32_t code) {
    std::lock_guard<std::mutex> lock(lock_);
    state_ = State::Failed;
    failure_ = code;
}

std::int32_t SoundDevice::load(AudioSubsystem& audio) {
    // Runs while the opener goes on: everything it makes stays local until
    // the hand-over at the end.
    const int rate = reader_->rate();
    const int channels = reader_->channels();
    const bool floats = reader_->samples() == WaveReader::Samples::Float32;
    std::unique_ptr<DecodedFrames> frames;
    if (const auto rc = DecodedFrames::decode(std::move(reader_), framesIn(settings_.headMs, rate),
                                              framesIn(settings_.readAheadMs, rate), frames);
        rc != mci::kOk) {
        fail(rc);
        return rc;
    }
    // An output that the caller waits for cannot be held.
    if (!audio.start(inBackground_, closing_)) {
        fail(mci::kHardware);
        return mci::kHardware;
    }
    const SdlApi& api = *sdl();
    if (closing_) return mci::kHardware;

    SDL_AudioSpec desired{};
    desired.freq = rate;
    desired.format = floats ? AUDIO_F32SYS : AUDIO_S16SYS;
    desired.channels = static_cast<Uint8>(channels);
    desired.samples = settings_.deviceBufferFrames;
    desired.callback = &SoundDevice::callback;
    desired.userdata = this;
    SDL_AudioSpec obtained{};
    // Opens paused: the callback does not run until the stream is in place.
    // No change allowed: SDL converts the sound to what the card takes.
    OpenedOutput output;
    output.id = api.OpenAudioDevice(nullptr, 0, &desired, &obtained, 0);
    if (output.id == 0) {
        fail(mci::kHardware);
        return mci::kHardware;
    }
    const std::uint32_t chunk = std::max<std::uint32_t>(obtained.samples, 1);
    auto stream = std::make_unique<SoundStream>(std::move(frames), obtained.silence,
                                                framesIn(settings_.lookaheadMs, rate), chunk);

    std::lock_guard<std::mutex> lock(lock_);
    freq_ = rate;
    stream_ = std::move(stream);
    id_ = output.id;
    output.id = 0;
    if (wantPlay_) {
        stream_->play(std::min(framesIn(wantFromMs_, freq_), stream_->frames()));
    }
    state_ = State::Ready;
    api.PauseAudioDevice(id_, 0);  // takes SDL's device lock: publishes the stream
    return mci::kOk;
}

void SDLCALL SoundDevice::callback(void* user, Uint8* out, int len) {
    auto* device = static_cast<SoundDevice*>(user);
    if (device->stream_) device->stream_->render(out, static_cast<std::size_t>(len));
}

std::int32_t SoundDevice::command(const MciCommand& cmd, char* reply, std::uint32_t replyLength) {
    std::lock_guard<std::mutex> lock(lock_);
    if (state_ == State::Failed) return failure_;
    if (state_ == State::Loading) {
        // Kept for the hand-over; the position is in milliseconds until the
        // output's rate is known.
        switch (cmd.verb) {
            case MciVerb::Play:
                if (cmd.hasFrom) {
                    if (cmd.fromMs > durationMs_) return mci::kOutOfRange;
                    wantFromMs_ = cmd.fromMs;
                } else if (!wantPlay_) {
                    wantFromMs_ = 0;  // stopped means at the start while loading
                }
                wantPlay_ = true;
                return mci::kOk;
            case MciVerb::Seek:
                wantPlay_ = false;
                wantFromMs_ = 0;
                return mci::kOk;
            case MciVerb::Status:
                return writeMciReply(reply, replyLength, wantPlay_ ? "playing" : "stopped");
            default:
                return mci::kUnrecognizedCommand;
        }
    }
    SoundStream& stream = *stream_;
    switch (cmd.verb) {
        case MciVerb::Play:
            if (cmd.hasFrom) {
                const std::uint64_t frame =
                    std::uint64_t{cmd.fromMs} * static_cast<unsigned>(freq_) / 1000;
                if (frame > stream.frames()) return mci::kOutOfRange;
                stream.play(static_cast<std::uint32_t>(frame));
            } else {
                stream.resume();
            }
            return mci::kOk;
        case MciVerb::Seek:
            stream.seekToStart();
            return mci::kOk;
        case MciVerb::Status:
            return writeMciReply(reply, replyLength, stream.playing() ? "playing" : "stopped");
        default:
            return mci::kUnrecognizedCommand;
    }
}

}  // namespace platform
