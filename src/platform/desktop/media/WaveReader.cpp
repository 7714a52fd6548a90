#include "platform/desktop/media/WaveReader.h"

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/common/MciCommand.h"
#include "platform/decoders/WaveFormat.h"

namespace platform {

namespace {

// libsndfile's virtual I/O over the descriptor: reads at an offset of our own
// with pread, so nothing else shares the descriptor's position.
struct VirtualIo {
    static sf_count_t length(void* user) {
        return static_cast<sf_count_t>(static_cast<WaveReader::Io*>(user)->file.size());
    }
    static sf_count_t seek(sf_count_t offset, int whence, void* user) {
        auto& io = *static_cast<WaveReader::Io*>(user);
        sf_count_t base = 0;
        if (whence == SEEK_CUR) base = static_cast<sf_count_t>(io.offset);
        if (whence == SEEK_END) base = static_cast<sf_count_t>(io.file.size());
        if (offset < -base) return -1;
        io.offset = static_cast<std::uint64_t>(base + offset);
        return static_cast<sf_count_t>(io.offset);
    }
    static sf_count_t read(void* out, sf_count_t count, void* user) {
        auto& io = *static_cast<WaveReader::Io*>(user);
        auto* dst = static_cast<char*>(out);
        sf_count_t done = 0;
        while (done < count) {
            const ssize_t n =
                pread(io.file.fd(), dst + done, static_cast<std::size_t>(count - done),
                      static_cast<off_t>(io.offset));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;  // the end, or a read error: both end the file here
            done += n;
            io.offset += static_cast<std::uint64_t>(n);
        }
        return done;
    }
    static sf_count_t write(const void*, sf_count_t, void*) { return 0; }
    static sf_count_t tell(void* user) {
        return static_cast<sf_count_t>(static_cast<WaveReader::Io*>(user)->offset);
    }
};

WaveReader::Samples samplesFor(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_24:
        case SF_FORMAT_PCM_32:
        case SF_FORMAT_FLOAT:
        case SF_FORMAT_DOUBLE:
            return WaveReader::Samples::Float32;
        default:
            return WaveReader::Samples::Int16;
    }
}

}  // namespace

WaveReader::WaveReader(RegularFile file) : io_{std::move(file)} {}

WaveReader::~WaveReader() {
    if (sf_ != nullptr) sf_close(sf_);
}

std::int32_t WaveReader::open(const std::string& path, std::unique_ptr<WaveReader>& out) {
    RegularFile file(path);
    if (!file.opened()) return mci::kFileNotFound;
    if (!file.regular() || file.size() == 0) return mci::kInvalidFile;
    std::unique_ptr<WaveReader> r(new WaveReader(std::move(file)));
    static SF_VIRTUAL_IO io = {&VirtualIo::length, &VirtualIo::seek, &VirtualIo::read,
                               &VirtualIo::write, &VirtualIo::tell};
    SF_INFO info{};
    r->sf_ = sf_open_virtual(&io, SFM_READ, &info, &r->io_);
    if (r->sf_ == nullptr) return mci::kInvalidFile;
    if (!isPlayableWave(info)) return mci::kInvalidFile;
    r->frames_ = static_cast<std::uint32_t>(std::min<sf_count_t>(info.frames, UINT32_MAX));
    r->channels_ = info.channels;
    r->rate_ = info.samplerate;
    r->format_ = info.format;
    r->samples_ = samplesFor(info.format);
    // Headers can look right over data that does not decode: try the first
    // frames now, so that such a file fails here and not once it plays.
    float probe[16 * kWaveMaxChannels];
    if (r->read(probe, sizeof probe / r->frameBytes()) == 0 || !r->seek(0)) {
        return mci::kInvalidFile;
    }
    out = std::move(r);
    return mci::kOk;
}

std::uint32_t WaveReader::frameBytes() const {
    const int sampleBytes = samples_ == Samples::Int16 ? 2 : 4;
    return static_cast<std::uint32_t>(sampleBytes * channels_);
}

std::uint32_t WaveReader::read(void* out, std::uint32_t count) {
    const sf_count_t n = samples_ == Samples::Int16
                             ? sf_readf_short(sf_, static_cast<short*>(out), count)
                             : sf_readf_float(sf_, static_cast<float*>(out), count);
    return n > 0 ? static_cast<std::uint32_t>(n) : 0;
}

bool WaveReader::seek(std::uint32_t frame) {
    return sf_seek(sf_, frame, SEEK_SET) == static_cast<sf_count_t>(frame);
}

}  // namespace platform
