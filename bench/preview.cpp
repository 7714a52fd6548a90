// How soon the author's preview shows a saved script: from the end of a save
// to the new page painted, for each way editors save (in place, a new file
// renamed over the old one, delete and create), 20 saves each. The window is
// the game's own with real timers and the real file watch; the page saved is
// the third of its scene, so each reload plays two pages forward first.
//
// Baseline, in the same run: a bare file watcher with the same quiet period,
// from the end of the same save to the end of its quiet period: what any
// watcher that waits for a burst of writes to end must spend.
//
//   bench_preview [--saves N]

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFileSystemWatcher>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Fom.h"
#include "platform/desktop/form/Widgets.h"
#include "platform/media/MediaCommands.h"
#include "platform/system/Program.h"
#include "platform/system/Random.h"
#include "platform/system/Timer.h"

namespace {

constexpr int kQuietMs = 50;  // as the game's watch

enum class Save { kInPlace, kRenameOver, kDeleteAndCreate };
const char* const kSaveNames[] = {"in place", "rename over", "delete and create"};

// Two full pages, then the page on screen, whose first line carries `mark`.
std::string script(const std::string& mark) {
    std::string s;
    for (int page = 0; page < 2; ++page) {
        for (int i = 1; i <= 15; ++i)
            s += "page " + std::to_string(page) + " line " + std::to_string(i) + "\r\n";
        s += "\r\n";
    }
    s += mark + "\r\nsecond line\r\nthird line\r\ntugi\r\n\r\n";
    return s;
}

void save(const std::string& path, const std::string& bytes, Save how) {
    if (how == Save::kRenameOver) {
        std::ofstream(path + ".new", std::ios::binary) << bytes;
        std::rename((path + ".new").c_str(), path.c_str());
        return;
    }
    if (how == Save::kDeleteAndCreate) std::remove(path.c_str());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Runs the event loop until `done` holds, or `ms` have passed; the game's
// 1 ms music timer wakes it at least every millisecond.
void runUntil(const std::function<bool()>& done, int ms = 2000) {
    QElapsedTimer limit;
    limit.start();
    while (!done() && limit.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

struct Figures {
    double median, worst;
};
Figures figures(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

// Notes the first paint of the label after the caption names the new mark.
struct PaintWatch final : QObject {
    std::function<bool()> pageIsNew;
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && pageIsNew()) painted = true;
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int saves = 20;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--saves") == 0) saves = std::max(1, std::atoi(argv[i + 1]));
    platform::Application app(argc, argv);

    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    const std::string scriptPath = root + "/txt/3.txt";
    std::filesystem::create_directories(root + "/txt");
    std::filesystem::create_directories(root + "/img");
    std::filesystem::copy_file(PIROKKO_BENCH_GIF, root + "/img/3.gif");
    save(scriptPath, script("v0"), Save::kInPlace);

    platform::NoMediaDevice media;
    Fom fom({app.timers(), app.random(), media, platform::fromUtf8(root)});
    fom.PlayPreview({u"3", 33});
    fom.Show();
    std::string mark = "v0";
    PaintWatch paints;
    paints.pageIsNew = [&] {
        const std::string caption = platform::toUtf8(fom.Lbl.Caption());
        return caption.find("\r\n" + mark + "\r\n") == 0 && caption.ends_with("\u25BC");
    };
    platform::widgetOf(fom.Lbl)->installEventFilter(&paints);
    runUntil([&] { return paints.painted; });
    if (!paints.painted) {
        std::fprintf(stderr, "the preview never showed its first page\n");
        return 1;
    }

    // The baseline watches a file of its own beside the script.
    const std::string barePath = root + "/txt/bare.txt";
    save(barePath, "x", Save::kInPlace);
    QFileSystemWatcher bare;
    QTimer quiet;
    quiet.setSingleShot(true);
    quiet.setInterval(kQuietMs);
    const QString bareQ = QString::fromStdString(barePath);
    const auto rewatch = [&] {
        // The same care as the game's watch: a replaced file is a new file.
        bare.removePath(bareQ);
        bare.addPath(bareQ);
        if (bare.directories().isEmpty()) bare.addPath(QString::fromStdString(root + "/txt"));
    };
    rewatch();
    bool bareSettled = false;
    QObject::connect(&bare, &QFileSystemWatcher::fileChanged, [&] { quiet.start(); });
    QObject::connect(&bare, &QFileSystemWatcher::directoryChanged, [&] { quiet.start(); });
    QObject::connect(&quiet, &QTimer::timeout, [&] {
        rewatch();
        bareSettled = true;
    });

    std::printf("Preview: from the end of a save to the new page painted, %d saves each\n", saves);
    std::printf("%-18s %10s %10s   %s\n", "saved", "median", "worst", "baseline median / worst");
    int version = 0;
    for (Save how : {Save::kInPlace, Save::kRenameOver, Save::kDeleteAndCreate}) {
        std::vector<double> game, baseline;
        for (int i = 0; i < saves; ++i) {
            mark = "v" + std::to_string(++version);
            paints.painted = false;
            QElapsedTimer t;
            save(scriptPath, script(mark), how);
            t.start();
            runUntil([&] { return paints.painted; });
            if (!paints.painted) {
                std::fprintf(stderr, "save %d (%s) never showed its page\n", i + 1,
                             kSaveNames[static_cast<int>(how)]);
                return 1;
            }
            game.push_back(t.nsecsElapsed() / 1e6);

            bareSettled = false;
            save(barePath, mark, how);
            t.restart();
            runUntil([&] { return bareSettled; });
            baseline.push_back(t.nsecsElapsed() / 1e6);
            // Let any late notice of either save settle before the next.
            runUntil([] { return false; }, 3 * kQuietMs);
        }
        const Figures g = figures(game), b = figures(baseline);
        std::printf("%-18s %7.1f ms %7.1f ms   %5.1f / %5.1f ms  (median %.2fx)\n",
                    kSaveNames[static_cast<int>(how)], g.median, g.worst, b.median, b.worst,
                    g.median / b.median);
    }
    return 0;
}
