#include "platform/SdlMedia.h"

#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/MciCommand.h"
#include "platform/RegularFile.h"

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
// SDL, loaded on first use

namespace {

struct SdlApi {
    decltype(&SDL_SetHint) SetHint = nullptr;
    decltype(&SDL_InitSubSystem) InitSubSystem = nullptr;
    decltype(&SDL_QuitSubSystem) QuitSubSystem = nullptr;
    decltype(&SDL_TLSCleanup) TLSCleanup = nullptr;
    decltype(&SDL_RWFromConstMem) RWFromConstMem = nullptr;
    decltype(&SDL_LoadWAV_RW) LoadWAV_RW = nullptr;
    decltype(&SDL_FreeWAV) FreeWAV = nullptr;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice = nullptr;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice = nullptr;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice = nullptr;
    decltype(&SDL_BuildAudioCVT) BuildAudioCVT = nullptr;
    decltype(&SDL_ConvertAudio) ConvertAudio = nullptr;
};

std::atomic<const SdlApi*> loadedSdl{nullptr};

// Null when the library cannot be loaded. It is never unloaded: its audio
// threads may outlive any one user.
const SdlApi* sdl() {
    static const SdlApi* const api = []() -> const SdlApi* {
        void* lib = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (lib == nullptr) return nullptr;
        static SdlApi a;
        bool complete = true;
        const auto bind = [&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
            complete = complete && fn != nullptr;
        };
        bind(a.SetHint, "SDL_SetHint");
        bind(a.InitSubSystem, "SDL_InitSubSystem");
        bind(a.QuitSubSystem, "SDL_QuitSubSystem");
        bind(a.TLSCleanup, "SDL_TLSCleanup");
        bind(a.RWFromConstMem, "SDL_RWFromConstMem");
        bind(a.LoadWAV_RW, "SDL_LoadWAV_RW");
        bind(a.FreeWAV, "SDL_FreeWAV");
        bind(a.OpenAudioDevice, "SDL_OpenAudioDevice");
        bind(a.CloseAudioDevice, "SDL_CloseAudioDevice");
        bind(a.PauseAudioDevice, "SDL_PauseAudioDevice");
        bind(a.BuildAudioCVT, "SDL_BuildAudioCVT");
        bind(a.ConvertAudio, "SDL_ConvertAudio");
        loadedSdl.store(complete ? &a : nullptr, std::memory_order_release);
        return complete ? &a : nullptr;
    }();
    return api;
}

// The same, but never the one to load it.
const SdlApi* sdlIfLoaded() {
    return loadedSdl.load(std::memory_order_acquire);
}

// Starts SDL's audio subsystem; 0 on success.
int initAudio() {
    const SdlApi* api = sdl();
    if (api == nullptr) return -1;
    // The window and the process's signals stay the toolkit's.
    api->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return api->InitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

// ---------------------------------------------------------------------------
// The wave file check

namespace {

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// What the chunk headers tell.
struct WaveLayout {
    std::uint8_t fmt[16] = {};  // the fixed part of the "fmt " chunk
    bool hasFmt = false;
    bool hasData = false;
    std::uint64_t dataBytes = 0;
};

// Walks the chunks of a RIFF WAVE file of `size` bytes. `read(pos, out, n)`
// gives n bytes at pos (all inside the file) or fails. The walk visits at
// most `maxChunks` chunks; a wave file holds a handful.
template <typename Read>
std::int32_t walkRiffWave(std::uint64_t size, std::uint64_t maxChunks, Read read, WaveLayout& out) {
    std::uint8_t head[12];
    if (size < 12 || !read(0, head, 12)) return mci::kInvalidFile;
    if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) {
        return mci::kInvalidFile;
    }
    const std::uint64_t riffLength = le32(head + 4);
    if (riffLength < 4 || riffLength > size - 8) return mci::kInvalidFile;  // truncated
    const std::uint64_t end = 8 + riffLength;
    std::uint64_t pos = 12;
    for (std::uint64_t chunks = 0; pos + 8 <= end; ++chunks) {
        if (chunks == maxChunks) return mci::kInvalidFile;
        std::uint8_t chunk[8];
        if (!read(pos, chunk, 8)) return mci::kInvalidFile;
        const std::uint64_t length = le32(chunk + 4);
        if (length > end - (pos + 8)) return mci::kInvalidFile;  // past the end
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || !read(pos + 8, out.fmt, 16)) return mci::kInvalidFile;
            out.hasFmt = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            out.hasData = true;
            out.dataBytes = length;
        }
        pos += 8 + length + (length & 1);
    }
    return (out.hasFmt && out.hasData) ? mci::kOk : mci::kInvalidFile;
}

// The formats that SDL's loader decodes, with field values it can use, and
// at least one block of sound.
std::int32_t checkWaveFormat(const WaveLayout& w) {
    const std::uint16_t tag = le16(w.fmt);
    const std::uint16_t channels = le16(w.fmt + 2);
    const std::uint32_t rate = le32(w.fmt + 4);
    const std::uint16_t blockAlign = le16(w.fmt + 12);
    const std::uint16_t bits = le16(w.fmt + 14);
    if (channels == 0 || rate == 0 || blockAlign == 0) return mci::kInvalidFile;
    if (w.dataBytes < blockAlign) return mci::kInvalidFile;  // no sound in it
    switch (tag) {
        case 0x0001:  // PCM
            return (bits == 8 || bits == 16 || bits == 24 || bits == 32) ? mci::kOk
                                                                         : mci::kInvalidFile;
        case 0x0003:  // IEEE float
            return bits == 32 ? mci::kOk : mci::kInvalidFile;
        case 0x0006:  // A-law
        case 0x0007:  // mu-law
            return bits == 8 ? mci::kOk : mci::kInvalidFile;
        case 0x0002:  // MS ADPCM
        case 0x0011:  // IMA ADPCM
            return bits == 4 ? mci::kOk : mci::kInvalidFile;
        case 0xFFFE:  // extensible: the sub-format is left to the loader
            return mci::kOk;
        default:
            return mci::kInvalidFile;
    }
}

// Enough for any real file; a crafted one of tiny chunks is refused before
// its walk takes noticeable time.
constexpr std::uint64_t kMaxChunks = 4096;

// Opens the file for the device: a regular file of 1 to `maxBytes` bytes.
std::int32_t openWaveFile(const RegularFile& file, std::uint64_t maxBytes) {
    if (!file.opened()) return mci::kFileNotFound;
    if (!file.regular() || file.size() == 0 ||
        file.size() > std::min<std::uint64_t>(maxBytes, INT_MAX)) {
        return mci::kInvalidFile;
    }
    return mci::kOk;
}

// The open's own check of a file, from its chunk headers alone.
std::int32_t checkWaveHeaders(const RegularFile& file, WaveLayout& layout) {
    const auto read = [fd = file.fd()](std::uint64_t pos, std::uint8_t* out, std::size_t n) {
        return pread(fd, out, n, static_cast<off_t>(pos)) == static_cast<ssize_t>(n);
    };
    if (const auto rc = walkRiffWave(file.size(), kMaxChunks, read, layout); rc != mci::kOk) {
        return rc;
    }
    return checkWaveFormat(layout);
}

}  // namespace

std::int32_t checkRiffWave(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) return mci::kInvalidFile;
    WaveLayout layout;
    const auto read = [data](std::uint64_t pos, std::uint8_t* out, std::size_t n) {
        std::memcpy(out, data + pos, n);
        return true;
    };
    return walkRiffWave(size, UINT64_MAX, read, layout);
}

// ---------------------------------------------------------------------------
// SdlMedia

struct SdlMedia::Device {
    enum class State { Loading, Ready, Failed };

    std::string alias;
    std::thread loader;
    bool inBackground = false;
    std::atomic<bool> closing{false};

    // Guarded by `lock` (taken by the loader once, to hand the device over).
    std::mutex lock;
    State state = State::Loading;
    std::int32_t failure = mci::kOk;
    // What was asked while loading: play from `wantFromMs`, or stay stopped
    // at the start.
    bool wantPlay = false;
    std::uint32_t wantFromMs = 0;
    std::uint64_t durationMs = 0;  // from the header, for the range of a play
    // Set by the loader before the state turns Ready, fixed afterwards.
    SDL_AudioDeviceID id = 0;
    int freq = 0;
    std::unique_ptr<SoundStream> stream;

    ~Device() {
        closing = true;
        if (loader.joinable()) loader.join();
        if (id != 0) sdl()->CloseAudioDevice(id);  // joins the audio thread
    }

    static void SDLCALL callback(void* user, Uint8* out, int len) {
        auto* device = static_cast<Device*>(user);
        if (device->stream) {
            device->stream->render(out, static_cast<std::size_t>(len));
        }
    }
};

namespace {

// Reads the whole of a file opened by openWaveFile.
std::int32_t readWholeFile(const RegularFile& file, std::vector<std::uint8_t>& bytes) {
    bytes.resize(static_cast<std::size_t>(file.size()));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            pread(file.fd(), bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // shortened since the open
        done += static_cast<std::size_t>(n);
    }
    if (done != bytes.size()) {
        std::vector<std::uint8_t>().swap(bytes);
        return mci::kInvalidFile;
    }
    return mci::kOk;
}

struct WavBuffer {
    Uint8* data = nullptr;
    Uint32 length = 0;
    ~WavBuffer() {
        if (data != nullptr) sdl()->FreeWAV(data);
    }
};

// The output device, closed again unless handed over.
struct OpenedDevice {
    SDL_AudioDeviceID id = 0;
    ~OpenedDevice() {
        if (id != 0) sdl()->CloseAudioDevice(id);
    }
};

}  // namespace

SdlMedia::SdlMedia() : SdlMedia(Options{}) {}

SdlMedia::SdlMedia(Options options) : options_(options) {}

SdlMedia::~SdlMedia() {
    while (!devices_.empty()) close(*devices_.back());
    std::lock_guard<std::mutex> lock(audioMutex_);
    if (earlyStart_.joinable()) {
        earlyStart_.join();
        audioStarted_ = audioStarted_ || earlyStartResult_ == 0;
    }
    if (audioStarted_) sdl()->QuitSubSystem(SDL_INIT_AUDIO);
}

SdlMedia::Device* SdlMedia::find(std::string_view alias) {
    for (const auto& d : devices_) {
        if (equalsIgnoringCase(d->alias, alias)) return d.get();
    }
    return nullptr;
}

void SdlMedia::startAudioInBackground() {
    std::lock_guard<std::mutex> lock(audioMutex_);
    audioRequested_ = true;
    audioReleased_.notify_all();
    if (audioStarted_ || earlyStart_.joinable()) return;
    // Nothing else calls SDL until startAudio() has joined this thread.
    try {
        earlyStart_ = std::thread([this] {
            earlyStartResult_ = initAudio();
            // SDL keeps per-thread state (the error text of a failed probe,
            // for one) that it frees only for threads of its own making.
            if (const SdlApi* api = sdl()) api->TLSCleanup();
        });
    } catch (const std::system_error&) {
        // No thread to spare: the first open to need SDL starts it.
    }
}

std::int32_t SdlMedia::startAudio(const Device& d) {
    std::unique_lock<std::mutex> lock(audioMutex_);
    // An open that the caller waits for cannot be held.
    const bool held = options_.holdOutput && d.inBackground;
    audioReleased_.wait(lock, [&] { return !held || audioRequested_ || d.closing; });
    if (d.closing) return mci::kHardware;
    if (earlyStart_.joinable()) {
        earlyStart_.join();
        audioStarted_ = earlyStartResult_ == 0;
        // A failed early start is tried again below, like any first start.
    }
    if (audioStarted_) return mci::kOk;
    if (initAudio() != 0) return mci::kHardware;
    audioStarted_ = true;
    return mci::kOk;
}

std::int32_t SdlMedia::open(std::string_view path, std::string_view alias) {
    if (find(alias) != nullptr) return mci::kDuplicateAlias;
    // Opened once: the check here and the loading read the same file.
    auto file = std::make_shared<RegularFile>(std::string(path));
    if (const auto rc = openWaveFile(*file, options_.maxFileBytes); rc != mci::kOk) return rc;
    WaveLayout layout;
    if (const auto rc = checkWaveHeaders(*file, layout); rc != mci::kOk) return rc;

    auto device = std::make_unique<Device>();
    device->alias = std::string(alias);
    const std::uint32_t bytesPerSecond = le32(layout.fmt + 8);
    device->durationMs =
        bytesPerSecond == 0 ? UINT64_MAX : layout.dataBytes * 1000 / bytesPerSecond;
    Device& d = *device;
    if (options_.openInBackground) {
        try {
            d.inBackground = true;
            d.loader = std::thread([this, &d, file] {
                load(d, *file);
                if (const SdlApi* api = sdlIfLoaded()) api->TLSCleanup();  // as for the early start
            });
            devices_.push_back(std::move(device));
            return mci::kOk;
        } catch (const std::system_error&) {
            d.inBackground = false;  // no thread to spare: load it here and now
        }
    }
    load(d, *file);
    if (d.state == Device::State::Failed) return d.failure;
    devices_.push_back(std::move(device));
    return mci::kOk;
}

void SdlMedia::load(Device& d, const RegularFile& wave) {
    // Runs while the opener goes on: everything it makes stays local until
    // the hand-over at the end.
    const auto fail = [&d](std::int32_t code) {
        std::lock_guard<std::mutex> lock(d.lock);
        d.state = Device::State::Failed;
        d.failure = code;
    };
    std::vector<std::uint8_t> file;
    if (const auto rc = readWholeFile(wave, file); rc != mci::kOk) return fail(rc);
    if (const auto rc = checkRiffWave(file.data(), file.size()); rc != mci::kOk) return fail(rc);
    if (const auto rc = startAudio(d); rc != mci::kOk) return fail(rc);
    const SdlApi& api = *sdl();

    SDL_AudioSpec source{};
    WavBuffer wav;
    SDL_RWops* rw = api.RWFromConstMem(file.data(), static_cast<int>(file.size()));
    if (rw == nullptr) return fail(mci::kOutOfMemory);
    if (api.LoadWAV_RW(rw, 1, &source, &wav.data, &wav.length) == nullptr) {
        wav.data = nullptr;
        return fail(mci::kInvalidFile);
    }
    std::vector<std::uint8_t>().swap(file);
    const int sourceFrameBytes = SDL_AUDIO_BITSIZE(source.format) / 8 * source.channels;
    if (sourceFrameBytes <= 0 || wav.length < static_cast<Uint32>(sourceFrameBytes)) {
        return fail(mci::kInvalidFile);  // no sound in it
    }
    if (d.closing) return;

    SDL_AudioSpec desired = source;
    desired.samples = options_.deviceBufferFrames;
    desired.callback = &Device::callback;
    desired.userdata = &d;
    SDL_AudioSpec obtained{};
    // Opens paused: the callback does not run until the stream is in place.
    OpenedDevice output;
    output.id = api.OpenAudioDevice(nullptr, 0, &desired, &obtained, SDL_AUDIO_ALLOW_ANY_CHANGE);
    if (output.id == 0) return fail(mci::kHardware);

    // Convert once to the device's format.
    SDL_AudioCVT cvt;
    if (api.BuildAudioCVT(&cvt, source.format, source.channels, source.freq, obtained.format,
                          obtained.channels, obtained.freq) < 0) {
        return fail(mci::kInvalidFile);
    }
    std::vector<std::uint8_t> pcm;
    if (cvt.needed) {
        const std::uint64_t room = std::uint64_t{wav.length} * static_cast<unsigned>(cvt.len_mult);
        if (room > INT_MAX) return fail(mci::kOutOfMemory);
        pcm.resize(static_cast<std::size_t>(room));
        std::memcpy(pcm.data(), wav.data, wav.length);
        cvt.buf = pcm.data();
        cvt.len = static_cast<int>(wav.length);
        if (api.ConvertAudio(&cvt) != 0) return fail(mci::kInvalidFile);
        pcm.resize(static_cast<std::size_t>(cvt.len_cvt));
        pcm.shrink_to_fit();
    } else {
        pcm.assign(wav.data, wav.data + wav.length);
    }
    api.FreeWAV(wav.data);
    wav.data = nullptr;

    const std::uint32_t frameBytes = SDL_AUDIO_BITSIZE(obtained.format) / 8 * obtained.channels;
    if (frameBytes == 0 || pcm.size() < frameBytes) return fail(mci::kInvalidFile);
    const std::uint32_t chunk = std::max<std::uint32_t>(obtained.size / frameBytes, 1);
    const auto lookahead = static_cast<std::uint32_t>(std::uint64_t{options_.lookaheadMs} *
                                                      static_cast<unsigned>(obtained.freq) / 1000);
    auto stream = std::make_unique<SoundStream>(std::move(pcm), frameBytes, obtained.silence,
                                                lookahead, chunk);

    std::lock_guard<std::mutex> lock(d.lock);
    d.freq = obtained.freq;
    d.stream = std::move(stream);
    d.id = output.id;
    output.id = 0;
    if (d.wantPlay) {
        const std::uint64_t frame =
            std::uint64_t{d.wantFromMs} * static_cast<unsigned>(d.freq) / 1000;
        d.stream->play(
            static_cast<std::uint32_t>(std::min<std::uint64_t>(frame, d.stream->frames())));
    }
    d.state = Device::State::Ready;
    api.PauseAudioDevice(d.id, 0);  // takes SDL's device lock: publishes the stream
}

void SdlMedia::close(Device& d) {
    d.closing = true;
    {
        // Under the lock, so that a held open cannot miss the wake-up.
        std::lock_guard<std::mutex> lock(audioMutex_);
        audioReleased_.notify_all();
    }
    for (auto it = devices_.begin(); it != devices_.end(); ++it) {
        if (it->get() == &d) {
            devices_.erase(it);  // waits for its background work
            return;
        }
    }
}

std::int32_t SdlMedia::deviceCommand(Device& d, const MciCommand& cmd, char* reply,
                                     std::uint32_t replyLength) {
    std::lock_guard<std::mutex> lock(d.lock);
    if (d.state == Device::State::Failed) return d.failure;
    if (d.state == Device::State::Loading) {
        // Kept for the hand-over; the position is in milliseconds until the
        // output's rate is known.
        switch (cmd.verb) {
            case MciVerb::Play:
                if (cmd.hasFrom) {
                    if (cmd.fromMs > d.durationMs) return mci::kOutOfRange;
                    d.wantFromMs = cmd.fromMs;
                } else if (!d.wantPlay) {
                    d.wantFromMs = 0;  // stopped means at the start while loading
                }
                d.wantPlay = true;
                return mci::kOk;
            case MciVerb::Seek:
                d.wantPlay = false;
                d.wantFromMs = 0;
                return mci::kOk;
            case MciVerb::Status:
                return writeMciReply(reply, replyLength, d.wantPlay ? "playing" : "stopped");
            default:
                return mci::kUnrecognizedCommand;
        }
    }
    SoundStream& stream = *d.stream;
    switch (cmd.verb) {
        case MciVerb::Play:
            if (cmd.hasFrom) {
                const std::uint64_t frame =
                    std::uint64_t{cmd.fromMs} * static_cast<unsigned>(d.freq) / 1000;
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
    if (cmd.verb == MciVerb::Close) {
        close(*device);
        return mci::kOk;
    }
    return deviceCommand(*device, cmd, reply, replyLength);
}

}  // namespace platform
