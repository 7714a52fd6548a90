// Idle cost of the game: CPU used while a page waits at its page-end mark and
// the music loops, against a bare Qt program running the same 1 ms timer.
//
//   bench_idle [--seconds S] [--runs N]
//
// Both run as fresh processes on the offscreen platform, interleaved; CPU is
// read from /proc/<pid>/stat after a warm-up. The music plays on SDL's dummy
// driver, which consumes the sound in real time without a sound card.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

int bare(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(681, 289);
    window.show();
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(1);
    return app.exec();
}

double cpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = all.rfind(')');
    std::istringstream rest(all.substr(close + 2));
    std::string field;
    std::vector<std::string> fields;
    while (rest >> field) fields.push_back(field);
    // utime and stime are fields 14 and 15 of the whole line, 12 and 13 here.
    const double ticks = std::stod(fields.at(11)) + std::stod(fields.at(12));
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Resident memory now, in MiB.
double residentMib(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

struct Sample {
    double cpuPercent;
    double mib;
};

Sample measure(const std::vector<std::string>& command, const fs::path& cwd, double seconds) {
    const pid_t pid = fork();
    if (pid == 0) {
        fs::current_path(cwd);
        std::vector<char*> args;
        for (const auto& a : command) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const double before = cpuSeconds(pid);
    const auto t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double after = cpuSeconds(pid);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double mib = residentMib(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return {100.0 * (after - before) / wall, mib};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--bare") == 0) return bare(argc, argv);
    double seconds = 8;
    int runs = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atof(argv[i + 1]);
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::atoi(argv[i + 1]);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    // The game over the shipped picture and music, with an opening scene
    // that stops at once on a page held by the empty line after it.
    const fs::path build = PIROKKO_BUILD_DIR;
    const fs::path dir = fs::temp_directory_path() / ("pirokko-idle-" + std::to_string(getpid()));
    fs::create_directories(dir / "txt");
    fs::create_directories(dir / "img");
    fs::copy_file(build / "pirokko", dir / "pirokko");
    fs::copy_file(build / "bgm.wav", dir / "bgm.wav");
    fs::copy_file(build / "img" / "opn.gif", dir / "img" / "opn.gif");
    std::ofstream(dir / "txt" / "opn.txt", std::ios::binary)
        << "A page held at its end\r\n\r\nB\r\ntugi\r\n";

    std::vector<double> game, base, gameMib, baseMib;
    for (int i = 0; i < runs; ++i) {
        const Sample b =
            measure({fs::canonical("/proc/self/exe").string(), "--bare"}, dir, seconds);
        const Sample g = measure({(dir / "pirokko").string()}, dir, seconds);
        base.push_back(b.cpuPercent);
        baseMib.push_back(b.mib);
        game.push_back(g.cpuPercent);
        gameMib.push_back(g.mib);
    }
    fs::remove_all(dir);
    const double g = median(game), b = median(base);
    std::printf("idle CPU over %.0f s, median of %d runs (offscreen, 1 ms timer)\n", seconds, runs);
    std::printf("  bare Qt + 1 ms timer : %6.2f %% of a core\n", b);
    std::printf("  game, page held, music looping : %6.2f %% of a core\n", g);
    std::printf("  ratio game / bare : %.2f\n", g / b);
    // The music is loaded by now, unlike at the first frame.
    const double gm = median(gameMib), bm = median(baseMib);
    std::printf("resident memory at the end of that time\n");
    std::printf("  bare : %6.1f MiB   game : %6.1f MiB   ratio : %.2f\n", bm, gm, gm / bm);
    return 0;
}
