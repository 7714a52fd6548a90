// What the music costs as it grows longer: the game's resident and peak
// memory 8 s after start with a 10 s, a 5 min and a 20 min bgm.wav, and the
// time from the open to the first sound heard, 10 s against 20 min. The 10 s
// file is the baseline of each row, in the same run; the game without any
// bgm.wav is shown too.
//
//   bench_music [--seconds S] [--runs N] [--build DIR]
//
// --build takes the game (and its bgm.wav) from another build folder, to
// compare with an earlier version of it. `bench_music --write-5min PATH` only
// writes the 5-minute file (for the seam benchmark) and exits.
// The longer files repeat the build's bgm.wav (44.1 kHz 16-bit stereo). The
// game runs as a fresh process on the offscreen platform with SDL's dummy
// driver. The first sound is timed in this process through the media layer
// on SDL's disk driver: from the open command until the first sample that is
// not silence reaches the driver's file.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

#include "platform/desktop/media/SdlMedia.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// A copy of `source` (a 44-byte-header PCM wave) repeated to `seconds`.
void writeLonger(const fs::path& source, const fs::path& out, double seconds) {
    std::ifstream in(source, std::ios::binary);
    const std::vector<char> b((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    const std::vector<char> pcm(b.begin() + 44, b.end());
    const auto bytes = static_cast<std::uint32_t>(seconds * 44100) * 4;
    std::vector<char> header(b.begin(), b.begin() + 44);
    const auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) header[at + i] = static_cast<char>(v >> (8 * i));
    };
    put(4, 36 + bytes);
    put(40, bytes);
    std::ofstream o(out, std::ios::binary);
    o.write(header.data(), 44);
    for (std::uint32_t done = 0; done < bytes;) {
        const auto n =
            std::min<std::uint32_t>(bytes - done, static_cast<std::uint32_t>(pcm.size()));
        o.write(pcm.data(), n);
        done += n;
    }
}

// VmRSS and VmHWM of `pid`, in MiB.
void memory(pid_t pid, double& resident, double& peak) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) == 0) resident = std::stod(line.substr(6)) / 1024.0;
        if (line.rfind("VmHWM:", 0) == 0) peak = std::stod(line.substr(6)) / 1024.0;
    }
}

void gameMemory(const fs::path& dir, double seconds, double& resident, double& peak) {
    const pid_t pid = fork();
    if (pid == 0) {
        fs::current_path(dir);
        const std::string game = (dir / "pirokko").string();
        execl(game.c_str(), game.c_str(), nullptr);
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    memory(pid, resident, peak);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// From the open to the first sample that is not silence on the disk driver.
double firstSoundMs(const fs::path& wav, const fs::path& raw) {
    fs::remove(raw);
    setenv("SDL_DISKAUDIOFILE", raw.string().c_str(), 1);
    platform::SdlMedia media;
    const std::string open = "open \"" + wav.string() + "\" alias MIDI";
    const auto start = Clock::now();
    if (media.mciSendStringA(open.c_str(), nullptr, 0, 0) != 0 ||
        media.mciSendStringA("play MIDI", nullptr, 0, 0) != 0) {
        return -1;
    }
    std::size_t checked = 0;
    while (Clock::now() - start < std::chrono::seconds(5)) {
        std::ifstream in(raw, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(checked));
        char c;
        while (in.get(c)) {
            ++checked;
            if (c != 0)
                return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return -1;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 8;
    int runs = 3;
    fs::path build = PIROKKO_BUILD_DIR;
    if (argc == 3 && std::strcmp(argv[1], "--write-5min") == 0) {
        writeLonger(build / "bgm.wav", argv[2], 300);
        return 0;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atof(argv[i + 1]);
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--build") == 0) build = argv[i + 1];
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const fs::path dir = fs::temp_directory_path() / ("pirokko-music-" + std::to_string(getpid()));
    const struct {
        const char* name;
        double seconds;  // 0: no bgm.wav at all
    } sizes[] = {{"10 s", 10}, {"5 min", 300}, {"20 min", 1200}, {"none", 0}};
    std::vector<fs::path> folders;
    for (const auto& s : sizes) {
        const fs::path d = dir / s.name;
        fs::create_directories(d / "txt");
        fs::create_directories(d / "img");
        fs::copy_file(build / "pirokko", d / "pirokko");
        fs::copy_file(build / "img" / "opn.gif", d / "img" / "opn.gif");
        std::ofstream(d / "txt" / "opn.txt", std::ios::binary)
            << "A page held at its end\r\n\r\nB\r\ntugi\r\n";
        if (s.seconds > 0) writeLonger(build / "bgm.wav", d / "bgm.wav", s.seconds);
        folders.push_back(d);
    }

    std::printf(
        "memory of the game %.0f s after start, median of %d runs (offscreen, dummy driver)\n",
        seconds, runs);
    std::printf("  %-8s %10s %10s %14s %14s\n", "bgm.wav", "resident", "peak", "resident-10s",
                "peak-10s");
    std::vector<double> res0, peak0;
    for (std::size_t k = 0; k < std::size(sizes); ++k) {
        std::vector<double> res, peak;
        for (int r = 0; r < runs; ++r) {
            double a = 0, b = 0;
            gameMemory(folders[k], seconds, a, b);
            res.push_back(a);
            peak.push_back(b);
        }
        if (k == 0) {
            res0 = res;
            peak0 = peak;
        }
        std::printf("  %-8s %6.1f MiB %6.1f MiB %+10.1f MiB %+10.1f MiB\n", sizes[k].name,
                    median(res), median(peak), median(res) - median(res0),
                    median(peak) - median(peak0));
        std::fflush(stdout);
    }

    setenv("SDL_AUDIODRIVER", "disk", 1);
    const fs::path raw = dir / "out.raw";
    firstSoundMs(folders[0] / "bgm.wav", raw);  // loads SDL once, outside the figures
    std::vector<double> shortMs, longMs;
    for (int r = 0; r < 2 * runs + 1; ++r) {
        shortMs.push_back(firstSoundMs(folders[0] / "bgm.wav", raw));
        longMs.push_back(firstSoundMs(folders[2] / "bgm.wav", raw));
    }
    std::printf("open to first sound, median of %d (disk driver)\n", 2 * runs + 1);
    std::printf("  10 s : %6.2f ms   20 min : %6.2f ms   ratio : %.2f\n", median(shortMs),
                median(longMs), median(longMs) / median(shortMs));
    fs::remove_all(dir);
    return 0;
}
