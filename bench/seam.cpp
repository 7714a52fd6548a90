// The seam benchmark: plays the looping music through SDL's disk driver with
// the real PollBgm (the body of BgmTim_Timer) polled every millisecond, and
// counts the silent frames inserted at each seam by comparing the rendered
// stream with the music repeated end to end. Two layers in the same run:
//   gapless   SdlMedia as the game uses it (100 ms look-ahead)
//   baseline  plain stop-and-restart: "stopped" once the last frame has gone
//             into the device buffer, the rest of which is silence, and the
//             restart heard from the next buffer (look-ahead 0)
//
//   pirokko_bench_seam [--wav PATH] [--loops N] [--seconds S] [--speed K]
//
// --seconds S plays only the first S seconds of the file as the loop (a
// short loop for a quick run); by default the whole file, 20 seams.
// --speed K lets the disk driver run K times faster than real time (for long
// files); the poll stays at 1 ms of real time, so the restart has K times
// less of the sound's time to arrive in.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "SeamAnalysis.h"
#include "platform/desktop/media/SdlMedia.h"
#include "platform/system/Text.h"
#include "shared/Music.h"

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

struct Wave {
    std::vector<std::uint8_t> header;  // up to the data bytes, 44 bytes
    std::vector<std::uint8_t> pcm;
};

std::uint32_t le32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | p[3] << 24;
}

bool readPcm16Stereo44k(const std::string& path, Wave& w) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> b((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
    if (b.size() < 44 || std::memcmp(b.data(), "RIFF", 4) != 0 ||
        std::memcmp(b.data() + 36, "data", 4) != 0 || le32(&b[24]) != 44100 || b[22] != 2 ||
        b[34] != 16) {
        return false;
    }
    const std::size_t n = std::min<std::size_t>(le32(&b[40]), b.size() - 44);
    w.header.assign(b.begin(), b.begin() + 44);
    w.pcm.assign(b.begin() + 44, b.begin() + 44 + n);
    return true;
}

void writeWave(const std::filesystem::path& p, const Wave& w) {
    std::vector<std::uint8_t> h = w.header;
    const auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) h[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(4, static_cast<std::uint32_t>(36 + w.pcm.size()));
    put(40, static_cast<std::uint32_t>(w.pcm.size()));
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(h.data()), static_cast<std::streamsize>(h.size()));
    out.write(reinterpret_cast<const char*>(w.pcm.data()),
              static_cast<std::streamsize>(w.pcm.size()));
}

struct Run {
    seam::Result result;
    long ticks = 0;
    double tickMeanNs = 0;
    double tickMaxUs = 0;
    double lateTickMs = 0;  // the longest interval between two ticks
};

Run render(const std::filesystem::path& dir, const char* name, const Wave& loop,
           std::uint32_t lookaheadMs, int seams, double speed) {
    const auto wav = dir / (std::string(name) + ".wav");
    const auto raw = dir / (std::string(name) + ".raw");
    writeWave(wav, loop);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.string().c_str(), 1);
    const double loopSeconds = static_cast<double>(loop.pcm.size()) / 4 / 44100;
    const auto howLong = std::chrono::duration<double>(loopSeconds * (seams + 1) / speed + 0.3);

    Run run;
    {
        platform::SdlMedia::Options options;
        options.lookaheadMs = lookaheadMs;
        platform::SdlMedia media(options);
        共用関数 module(media);
        module.BgmOpen(platform::fromUtf8(wav.string()));
        if (module.BgmResult != 0) {
            std::fprintf(stderr, "open failed: %d\n", module.BgmResult);
            std::exit(1);
        }
        module.BgmOn = -1;
        module.BgmPlay();
        const auto start = Clock::now();
        auto last = start;
        double sumNs = 0;
        while (Clock::now() - start < howLong) {
            const auto t0 = Clock::now();
            PollBgm(module);
            const auto t1 = Clock::now();
            const double ns = std::chrono::duration<double, std::nano>(t1 - t0).count();
            sumNs += ns;
            run.tickMaxUs = std::max(run.tickMaxUs, ns / 1000);
            run.lateTickMs = std::max(run.lateTickMs,
                                      std::chrono::duration<double, std::milli>(t0 - last).count());
            last = t0;
            ++run.ticks;
            std::this_thread::sleep_for(1ms);
        }
        run.tickMeanNs = sumNs / static_cast<double>(run.ticks);
        module.BgmClose();
    }
    std::ifstream in(raw, std::ios::binary);
    const std::vector<std::uint8_t> rendered((std::istreambuf_iterator<char>(in)),
                                             std::istreambuf_iterator<char>());
    run.result = seam::analyse(loop.pcm, rendered, 4);
    std::filesystem::remove(raw);
    return run;
}

void report(const char* name, const Run& r, std::size_t loopFrames) {
    const auto& g = r.result.gaps;
    std::size_t total = 0, most = 0, least = g.empty() ? 0 : g[0];
    for (const auto x : g) {
        total += x;
        most = std::max(most, x);
        least = std::min(least, x);
    }
    std::printf("%-9s loop %zu frames, %zu whole passes, %zu seams, corrupt: %s\n", name,
                loopFrames, r.result.wholePasses, g.size(), r.result.corrupt ? "YES" : "no");
    std::printf("          silent frames per seam: min %zu, max %zu, mean %.1f (%.2f ms)\n", least,
                most, g.empty() ? 0.0 : static_cast<double>(total) / g.size(),
                g.empty() ? 0.0 : static_cast<double>(total) / g.size() / 44.1);
    std::printf("          each seam:");
    for (const auto x : g) std::printf(" %zu", x);
    std::printf(
        "\n          ticks %ld, PollBgm mean %.0f ns, max %.1f us, longest tick interval "
        "%.1f ms\n",
        r.ticks, r.tickMeanNs, r.tickMaxUs, r.lateTickMs);
}

}  // namespace

int main(int argc, char** argv) {
    std::string path = PIROKKO_BGM_WAV;
    int seams = 20;
    double seconds = 0;
    double speed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--wav") == 0)
            path = argv[i + 1];
        else if (std::strcmp(argv[i], "--loops") == 0)
            seams = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--speed") == 0)
            speed = std::max(1.0, std::atof(argv[i + 1]));
    }
    Wave wave;
    if (!readPcm16Stereo44k(path, wave)) {
        std::fprintf(stderr, "%s: not a 44.1 kHz 16-bit stereo PCM file\n", path.c_str());
        return 1;
    }
    if (seconds > 0) {
        const std::size_t bytes = static_cast<std::size_t>(seconds * 44100) * 4;
        if (bytes < wave.pcm.size()) wave.pcm.resize(bytes);
    }
    const std::size_t frames = wave.pcm.size() / 4;
    std::printf(
        "seam benchmark: %s, %.3f s loop (%zu frames), %d seams, SDL disk driver, "
        "1024-frame device buffer, PollBgm every 1 ms\n",
        path.c_str(), frames / 44100.0, frames, seams);
    std::fflush(stdout);

    if (speed > 1) {
        // The driver's wait per 1024-frame buffer, in whole milliseconds.
        const int ms = std::max(1, static_cast<int>(1024 * 1000 / 44100 / speed + 0.5));
        speed = 1024.0 * 1000 / 44100 / ms;
        setenv("SDL_DISKAUDIODELAY", std::to_string(ms).c_str(), 1);
        std::printf("disk driver at %.1f times real time\n", speed);
    }
    const auto dir = std::filesystem::temp_directory_path() /
                     ("pirokko-seam-" + std::to_string(static_cast<long>(::getpid())));
    std::filesystem::create_directories(dir);
    const Run gapless =
        render(dir, "gapless", wave, platform::SdlMedia::Options{}.lookaheadMs, seams, speed);
    report("gapless", gapless, frames);
    std::fflush(stdout);
    const Run baseline = render(dir, "baseline", wave, 0, seams, speed);
    report("baseline", baseline, frames);
    std::filesystem::remove_all(dir);

    bool ok = !gapless.result.corrupt && !baseline.result.corrupt &&
              gapless.result.gaps.size() >= static_cast<std::size_t>(seams);
    for (const auto g : gapless.result.gaps) ok = ok && g == 0;
    std::printf("goal (0 silent frames at each of %d seams): %s\n", seams, ok ? "met" : "NOT met");
    return ok ? 0 : 1;
}
