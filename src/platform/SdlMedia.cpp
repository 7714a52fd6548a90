#include "platform/SdlMedia.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/MciCommand.h"

namespace platform {

// ---------------------------------------------------------------------------
// SoundStream

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

SoundStream::SoundStream(std::vector<std::uint8_t> pcm, std::uint32_t frameBytes,
                         std::uint8_t silence, std::uint32_t lookaheadFrames,
                         std::uint32_t maxChunkFrames)
    : pcm_(std::move(pcm)),
      frameBytes_(std::max<std::uint32_t>(frameBytes, 1)),
      frames_(
          static_cast<std::uint32_t>(std::min<std::size_t>(pcm_.size() / frameBytes_, UINT32_MAX))),
      silence_(silence),
      lookahead_(lookaheadFrames),
      maxChunk_(std::max<std::uint32_t>(maxChunkFrames, 1)) {
    ringCapacity_ = lookahead_ + maxChunk_;
    ring_.resize(std::size_t{ringCapacity_} * frameBytes_);
}

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

void SoundStream::pushRing(const std::uint8_t* src, std::uint32_t frames) {
    std::uint32_t tail = (ringHead_ + ringFrames_) % ringCapacity_;
    while (frames > 0) {
        const std::uint32_t n = std::min(frames, ringCapacity_ - tail);
        std::memcpy(ring_.data() + std::size_t{tail} * frameBytes_, src,
                    std::size_t{n} * frameBytes_);
        src += std::size_t{n} * frameBytes_;
        frames -= n;
        ringFrames_ += n;
        tail = (tail + n) % ringCapacity_;
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
        aPos_ = static_cast<std::uint32_t>(r);
        appliedSeq_ = seq;
    }
    // Top the queue up to this buffer plus the look-ahead.
    const std::uint32_t target = n + lookahead_;
    while (aPlaying_ && aPos_ < frames_ && ringFrames_ < target) {
        const std::uint32_t take = std::min(target - ringFrames_, frames_ - aPos_);
        pushRing(pcm_.data() + std::size_t{aPos_} * frameBytes_, take);
        aPos_ += take;
    }
    if (aPos_ >= frames_) aPlaying_ = false;  // the whole file is handed over
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

// ---------------------------------------------------------------------------
// The wave file check

namespace {

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

}  // namespace

std::int32_t checkRiffWave(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < 12) return mci::kInvalidFile;
    if (std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) {
        return mci::kInvalidFile;
    }
    const std::uint64_t riffLength = le32(data + 4);
    if (riffLength < 4 || riffLength > size - 8) return mci::kInvalidFile;  // truncated
    const std::uint64_t end = 8 + riffLength;
    std::uint64_t pos = 12;
    bool fmt = false;
    bool dataChunk = false;
    while (pos + 8 <= end) {
        const std::uint8_t* head = data + pos;
        const std::uint64_t length = le32(head + 4);
        if (length > end - (pos + 8)) return mci::kInvalidFile;  // past the end
        if (std::memcmp(head, "fmt ", 4) == 0) {
            if (length < 16) return mci::kInvalidFile;
            fmt = true;
        } else if (std::memcmp(head, "data", 4) == 0) {
            dataChunk = true;
        }
        pos += 8 + length + (length & 1);
    }
    return (fmt && dataChunk) ? mci::kOk : mci::kInvalidFile;
}

// ---------------------------------------------------------------------------
// SdlMedia

struct SdlMedia::Device {
    std::string alias;
    SDL_AudioDeviceID id = 0;
    int freq = 0;
    std::unique_ptr<SoundStream> stream;

    ~Device() {
        if (id != 0) SDL_CloseAudioDevice(id);  // joins the audio thread
    }

    static void SDLCALL callback(void* user, Uint8* out, int len) {
        auto* device = static_cast<Device*>(user);
        if (device->stream) {
            device->stream->render(out, static_cast<std::size_t>(len));
        }
    }
};

namespace {

// Reads the whole file if it is a regular file of at most `maxBytes` bytes.
std::int32_t readWholeFile(const std::string& path, std::uint64_t maxBytes,
                           std::vector<std::uint8_t>& bytes) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) return mci::kFileNotFound;
    if (!std::filesystem::is_regular_file(status)) return mci::kInvalidFile;
    maxBytes = std::min<std::uint64_t>(maxBytes, INT_MAX);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return mci::kFileNotFound;
    std::int32_t rc = mci::kOk;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size <= 0 || static_cast<std::uint64_t>(size) > maxBytes ||
        std::fseek(file, 0, SEEK_SET) != 0) {
        rc = mci::kInvalidFile;  // empty, too large, or not a plain file
    } else {
        bytes.resize(static_cast<std::size_t>(size));
        if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
            rc = mci::kInvalidFile;
        }
    }
    std::fclose(file);
    if (rc != mci::kOk) std::vector<std::uint8_t>().swap(bytes);
    return rc;
}

struct WavBuffer {
    Uint8* data = nullptr;
    Uint32 length = 0;
    ~WavBuffer() {
        if (data != nullptr) SDL_FreeWAV(data);
    }
};

}  // namespace

SdlMedia::SdlMedia() : SdlMedia(Options{}) {}

SdlMedia::SdlMedia(Options options) : options_(options) {}

SdlMedia::~SdlMedia() {
    if (earlyStart_.joinable()) {
        earlyStart_.join();
        audioStarted_ = audioStarted_ || earlyStartResult_ == 0;
    }
    devices_.clear();
    if (audioStarted_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

SdlMedia::Device* SdlMedia::find(std::string_view alias) {
    for (const auto& d : devices_) {
        if (equalsIgnoringCase(d->alias, alias)) return d.get();
    }
    return nullptr;
}

void SdlMedia::startAudioEarly() {
    if (audioStarted_ || earlyStart_.joinable()) return;
    // Nothing else calls SDL until startAudio() has joined this thread.
    earlyStart_ = std::thread([this] {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        earlyStartResult_ = SDL_InitSubSystem(SDL_INIT_AUDIO);
        // SDL keeps per-thread state (the error text of a failed probe, for
        // one) that it frees only for threads of its own making.
        SDL_TLSCleanup();
    });
}

std::int32_t SdlMedia::startAudio() {
    if (earlyStart_.joinable()) {
        earlyStart_.join();
        audioStarted_ = earlyStartResult_ == 0;
        // A failed early start is tried again below, like any first start.
    }
    if (audioStarted_) return mci::kOk;
    // The window and the process's signals stay Qt's: only audio is started.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return mci::kHardware;
    audioStarted_ = true;
    return mci::kOk;
}

std::int32_t SdlMedia::open(std::string_view path, std::string_view alias) {
    if (find(alias) != nullptr) return mci::kDuplicateAlias;

    std::vector<std::uint8_t> file;
    if (const auto rc = readWholeFile(std::string(path), options_.maxFileBytes, file);
        rc != mci::kOk) {
        return rc;
    }
    if (const auto rc = checkRiffWave(file.data(), file.size()); rc != mci::kOk) return rc;

    SDL_AudioSpec source{};
    WavBuffer wav;
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    if (rw == nullptr) return mci::kOutOfMemory;
    if (SDL_LoadWAV_RW(rw, 1, &source, &wav.data, &wav.length) == nullptr) {
        wav.data = nullptr;
        return mci::kInvalidFile;
    }
    std::vector<std::uint8_t>().swap(file);
    const int sourceFrameBytes = SDL_AUDIO_BITSIZE(source.format) / 8 * source.channels;
    if (sourceFrameBytes <= 0 || wav.length < static_cast<Uint32>(sourceFrameBytes)) {
        return mci::kInvalidFile;  // no sound in it
    }

    if (const auto rc = startAudio(); rc != mci::kOk) return rc;

    auto device = std::make_unique<Device>();
    device->alias = std::string(alias);
    SDL_AudioSpec desired = source;
    desired.samples = options_.deviceBufferFrames;
    desired.callback = &Device::callback;
    desired.userdata = device.get();
    SDL_AudioSpec obtained{};
    // Opens paused: the callback does not run until the stream is in place.
    device->id = SDL_OpenAudioDevice(nullptr, 0, &desired, &obtained, SDL_AUDIO_ALLOW_ANY_CHANGE);
    if (device->id == 0) return mci::kHardware;
    device->freq = obtained.freq;

    // Convert once to the device's format.
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, source.format, source.channels, source.freq, obtained.format,
                          obtained.channels, obtained.freq) < 0) {
        return mci::kInvalidFile;
    }
    std::vector<std::uint8_t> pcm;
    if (cvt.needed) {
        const std::uint64_t room = std::uint64_t{wav.length} * static_cast<unsigned>(cvt.len_mult);
        if (room > INT_MAX) return mci::kOutOfMemory;
        pcm.resize(static_cast<std::size_t>(room));
        std::memcpy(pcm.data(), wav.data, wav.length);
        cvt.buf = pcm.data();
        cvt.len = static_cast<int>(wav.length);
        if (SDL_ConvertAudio(&cvt) != 0) return mci::kInvalidFile;
        pcm.resize(static_cast<std::size_t>(cvt.len_cvt));
        pcm.shrink_to_fit();
    } else {
        pcm.assign(wav.data, wav.data + wav.length);
    }
    SDL_FreeWAV(wav.data);
    wav.data = nullptr;

    const std::uint32_t frameBytes = SDL_AUDIO_BITSIZE(obtained.format) / 8 * obtained.channels;
    if (frameBytes == 0 || pcm.size() < frameBytes) return mci::kInvalidFile;
    const std::uint32_t chunk = std::max<std::uint32_t>(obtained.size / frameBytes, 1);
    const auto lookahead = static_cast<std::uint32_t>(std::uint64_t{options_.lookaheadMs} *
                                                      static_cast<unsigned>(obtained.freq) / 1000);
    device->stream = std::make_unique<SoundStream>(std::move(pcm), frameBytes, obtained.silence,
                                                   lookahead, chunk);
    SDL_PauseAudioDevice(device->id, 0);  // takes SDL's device lock: publishes the stream
    devices_.push_back(std::move(device));
    return mci::kOk;
}

std::int32_t SdlMedia::mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                      std::intptr_t /*callback*/) {
    // No notification is ever delivered: this layer has no window to post to.
    if (reply != nullptr && replyLength > 0) reply[0] = '\0';
    if (command == nullptr) return mci::kMissingCommandString;

    MciCommand cmd;
    if (const auto rc = parseMciCommand(command, cmd); rc != mci::kOk) return rc;

    std::lock_guard<std::mutex> lock(mutex_);
    if (cmd.verb == MciVerb::Open) return open(cmd.path, cmd.alias);

    Device* device = find(cmd.alias);
    if (device == nullptr) return mci::kInvalidDeviceName;
    SoundStream& stream = *device->stream;
    switch (cmd.verb) {
        case MciVerb::Play:
            if (cmd.hasFrom) {
                const std::uint64_t frame =
                    std::uint64_t{cmd.fromMs} * static_cast<unsigned>(device->freq) / 1000;
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
        case MciVerb::Close:
            for (auto it = devices_.begin(); it != devices_.end(); ++it) {
                if (it->get() == device) {
                    devices_.erase(it);
                    break;
                }
            }
            return mci::kOk;
        case MciVerb::Open:
            break;
    }
    return mci::kUnrecognizedCommand;
}

}  // namespace platform
