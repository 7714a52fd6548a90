// How the player copes with huge scripts: the time of the advance that shows
// a 1 MB line (including painting the label), and peak memory for a 1 MB
// line and a 100 MB script, each against a small script in its own process.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "app/Fom.h"
#include "platform/desktop/form/Widgets.h"
#include "platform/system/Program.h"
#include "platform/system/Timer.h"

namespace {

// "あ" in code page 932.
const std::string kA = "\x82\xa0";

void writeScript(const std::string& path, const std::string& kind) {
    std::ofstream out(path, std::ios::binary);
    out << "first\r\n";
    if (kind == "small") {
        out << kA << kA << "\r\n";
    } else if (kind == "megaline") {
        for (int i = 0; i < 512 * 1024; ++i) out << kA;  // 1 MiB of text, one line
        out << "\r\n";
    } else {  // about 100 MB in lines of 100 bytes
        std::string line;
        for (int i = 0; i < 49; ++i) line += kA;
        line += "\r\n";
        for (int i = 0; i < 1024 * 1024; ++i) out << line;
    }
    out << "tugi\r\n";
}

// Child: plays the scene and prints the time of the second advance in ms.
int child(const std::string& kind, const std::string& imgSource) {
    QTemporaryDir dir;
    const QString root = dir.path();
    QDir().mkpath(root + "/txt");
    QDir().mkpath(root + "/img");
    QFile::copy(QString::fromStdString(imgSource), root + "/img/opn.gif");
    writeScript((root + "/txt/opn.txt").toStdString(), kind);

    platform::ManualTimerHost timers;
    platform::MersenneRandom random;
    platform::NoMediaDevice media;
    Fom fom({timers, random, media, root.toStdU16String()});
    fom.Show();
    QApplication::processEvents();
    const auto t0 = std::chrono::steady_clock::now();
    fom.Lbl.raiseClick();
    platform::hostOf(fom)->repaint();
    const auto t1 = std::chrono::steady_clock::now();
    std::printf("%.2f\n", std::chrono::duration<double, std::milli>(t1 - t0).count());
    return 0;
}

struct Result {
    double ms;
    long maxRssKb;
};

Result runChild(const char* self, const char* kind, const char* img) {
    int fds[2];
    if (pipe(fds) != 0) std::exit(1);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        execl(self, self, "--child", kind, img, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char buf[64] = {};
    const ssize_t n = read(fds[0], buf, sizeof buf - 1);
    close(fds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return {n > 0 ? std::atof(buf) : -1, usage.ru_maxrss};
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc >= 4 && std::strcmp(argv[1], "--child") == 0) {
        platform::Application app(argc, argv);
        return child(argv[2], argv[3]);
    }
    const char* img = argc >= 2 ? argv[1] : PIROKKO_BENCH_GIF;
    const int runs = 5;
    std::printf("%-10s %14s %14s %12s\n", "script", "advance (ms)", "peak RSS (MB)", "vs small");
    double smallRss = 0;
    for (const char* kind : {"small", "megaline", "hundredmb"}) {
        double bestMs = 1e9, bestRss = 1e18;
        for (int i = 0; i < runs; ++i) {
            const Result r = runChild(argv[0], kind, img);
            bestMs = std::min(bestMs, r.ms);
            bestRss = std::min(bestRss, r.maxRssKb / 1024.0);
        }
        if (std::strcmp(kind, "small") == 0) smallRss = bestRss;
        std::printf("%-10s %14.2f %14.1f %+11.1f MB\n", kind, bestMs, bestRss, bestRss - smallRss);
    }
    return 0;
}
