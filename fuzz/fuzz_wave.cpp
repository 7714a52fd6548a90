// Fuzz target: the file reader (WaveReader, libsndfile over the descriptor)
// and the read-ahead (DecodedFrames) over any bytes put where bgm.wav lies.
//
// The input is the file. When it opens, its frames are taken as the audio
// thread takes them, with a small head and read-ahead so that the reader's
// thread takes part: from the start to the end, then from a frame the input
// chooses, then from the start again. What must hold: the open gives kOk or
// kInvalidFile; no frame beyond the headers' count is ever handed out; every
// pass ends (no hang: the run's timeout catches one); the reader's format is
// one that a device plays.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "FuzzCheck.h"
#include "platform/common/MciCommand.h"
#include "platform/decoders/WaveFormat.h"
#include "platform/desktop/media/DecodedFrames.h"
#include "platform/desktop/media/WaveReader.h"

namespace {

using platform::DecodedFrames;
using platform::WaveReader;
namespace mci = platform::mci;

std::string gPath;

// Takes frames from `frame` on until the sound ends; returns how many.
std::uint64_t pass(DecodedFrames& d, std::uint32_t frame) {
    d.jumpTo(frame);
    std::vector<std::uint8_t> buf(std::size_t{256} * d.frameBytes());
    std::uint64_t taken = 0;
    for (;;) {
        bool ended = false;
        const std::uint32_t n = d.take(buf.data(), 256, ended);
        if (ended) return taken;
        if (n == 0) std::this_thread::yield();  // the reader has not caught up
        taken += n;
        FUZZ_CHECK(frame + taken <= d.frames());
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    gPath = fuzz::scratchFolder("pirokko-fuzz-wave") + "/bgm.wav";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::FILE* f = std::fopen(gPath.c_str(), "wb");
        FUZZ_CHECK(f != nullptr);
        FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, f) == size);
        std::fclose(f);
    }
    std::unique_ptr<WaveReader> reader;
    const std::int32_t rc = WaveReader::open(gPath, reader);
    if (fuzz::tracing()) std::fprintf(stderr, "open -> %d\n", rc);
    FUZZ_CHECK(rc == mci::kOk || rc == mci::kInvalidFile);
    if (rc != mci::kOk) return 0;
    FUZZ_CHECK(reader->channels() >= 1 && reader->channels() <= platform::kWaveMaxChannels);
    FUZZ_CHECK(reader->rate() >= 1 && reader->rate() <= platform::kWaveMaxRate);
    FUZZ_CHECK(reader->frames() >= 1);

    std::unique_ptr<DecodedFrames> frames;
    const std::int32_t decoded = DecodedFrames::decode(std::move(reader), 300, 1000, frames);
    FUZZ_CHECK(decoded == mci::kOk || decoded == mci::kInvalidFile);
    if (decoded != mci::kOk) return 0;
    const std::uint64_t whole = pass(*frames, 0);
    const std::uint32_t from =
        size >= 4 ? (data[size - 1] | data[size - 2] << 8) % (frames->frames() + 1) : 0;
    pass(*frames, from);
    const std::uint64_t again = pass(*frames, 0);
    if (fuzz::tracing()) {
        std::fprintf(stderr, "%u frames in the headers, %llu taken, %llu again\n", frames->frames(),
                     static_cast<unsigned long long>(whole),
                     static_cast<unsigned long long>(again));
    }
    // The file does not change here: the second pass from the start is the first.
    FUZZ_CHECK(again == whole);
    return 0;
}
