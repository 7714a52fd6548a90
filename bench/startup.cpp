// Start-up cost of the game against a bare Qt window with one label: the time
// from process start to the first frame painted, and the peak resident memory.
//
//   bench_startup [--runs N]
//
// Each figure is the median of N fresh processes (10 by default), the two
// kinds interleaved so that drift in the machine hits both alike, on Qt's
// offscreen platform and, where Xvfb is installed, on an X server too.
//
// The game is the real one: runPirokko, run from a copy of this program placed
// in a temporary folder with the shipped content beside it, so it finds its
// files exactly as a player's copy does. The bare window is a separate small
// program that links Qt alone, so the baseline loads no more than Qt.
//
// Process start is taken in this program just before the child is spawned,
// so loading the libraries counts. The child reports, over file descriptor 3,
// the clock and its peak resident memory so far once its first top-level
// paint has been handled, and quits. Work that a program leaves until after
// its first frame (the game's music) is not in these figures; bench_idle
// shows the memory once it is done.

#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kReportFd = 3;

// VmHWM of this process, or -1.
long peakResidentKib() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr) return -1;
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, f) != nullptr) {
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
    }
    std::fclose(f);
    return kib;
}

long long monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

// Waits for the first paint of a top-level window, lets it finish, reports the
// time and quits.
class FirstFrame final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint && target->isWidgetType() &&
            static_cast<QWidget*>(target)->isWindow()) {
            seen_ = true;
            const QSize size = static_cast<QWidget*>(target)->size();
            // Queued: runs once this paint, its children's and the flush are done.
            QTimer::singleShot(0, [size] {
                const long long now = monotonicNs();
                char line[96];
                const int n = std::snprintf(line, sizeof line, "%lld %dx%d %ld\n", now,
                                            size.width(), size.height(), peakResidentKib());
                if (write(kReportFd, line, static_cast<size_t>(n)) != n) {
                    // No reader: run by hand. Nothing to report to.
                }
                QCoreApplication::quit();
            });
        }
        return false;
    }

  private:
    bool seen_ = false;
};

void watchFirstFrame() {
    qApp->installEventFilter(new FirstFrame(qApp));
}

}  // namespace

#ifdef PIROKKO_BENCH_BARE

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    watchFirstFrame();
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(681, 289);
    QLabel label(QStringLiteral("\r\nひとつのラベル"), &window);
    label.setGeometry(-16, 16, 433, 257);
    label.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    window.show();
    return app.exec();
}

#else  // the measuring program, and the game child

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Game.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

bool gameChild = false;

// Runs as soon as runPirokko has made its application, before the window.
void hookGameChild() {
    if (gameChild) watchFirstFrame();
}
Q_COREAPP_STARTUP_FUNCTION(hookGameChild)

struct Sample {
    double ms;
    double mib;
};

struct Child {
    std::string program;
    std::vector<std::string> args;
};

// Thrown so that the X server and the temporary folder are still cleaned up.
[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what);
}

// Reads one line, or what comes before the writer closes or the time is up.
std::string readLine(int fd, double timeoutSeconds) {
    std::string out;
    const long long deadline = monotonicNs() + static_cast<long long>(timeoutSeconds * 1e9);
    for (;;) {
        const long long left = deadline - monotonicNs();
        if (left <= 0) break;
        fd_set set;
        FD_ZERO(&set);
        FD_SET(fd, &set);
        timeval tv{static_cast<time_t>(left / 1000000000LL),
                   static_cast<suseconds_t>(left % 1000000000LL / 1000)};
        const int r = select(fd + 1, &set, nullptr, nullptr, &tv);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        char buf[256];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, static_cast<size_t>(n));
        if (out.find('\n') != std::string::npos) break;
    }
    return out;
}

std::vector<std::string> childEnvironment(const std::vector<std::string>& overrides) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        const bool replaced = std::any_of(overrides.begin(), overrides.end(), [&](auto& o) {
            return o.compare(0, name.size() + 1, name + "=") == 0;
        });
        if (!replaced) env.push_back(entry);
    }
    env.insert(env.end(), overrides.begin(), overrides.end());
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (auto& s : strings) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

Sample runOnce(const Child& child, const std::vector<std::string>& env, const fs::path& log) {
    int report[2];
    if (pipe(report) != 0) fail("pipe failed");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Close the read end before the write end takes its number, which may be
    // the same.
    posix_spawn_file_actions_addclose(&actions, report[0]);
    posix_spawn_file_actions_adddup2(&actions, report[1], kReportFd);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);

    std::vector<std::string> argv{child.program};
    argv.insert(argv.end(), child.args.begin(), child.args.end());
    std::vector<std::string> envCopy = env;
    auto argvP = pointers(argv);
    auto envP = pointers(envCopy);

    pid_t pid = 0;
    const long long start = monotonicNs();
    const int err =
        posix_spawn(&pid, child.program.c_str(), &actions, nullptr, argvP.data(), envP.data());
    posix_spawn_file_actions_destroy(&actions);
    close(report[1]);
    if (err != 0) fail("cannot start " + child.program + ": " + std::strerror(err));

    const std::string line = readLine(report[0], 30.0);
    close(report[0]);
    // Both windows are the game's size; anything else (a message box) means
    // the child did not show what it should, and may wait for a click.
    const bool good = line.find(" 681x289") != std::string::npos;
    if (!good) kill(pid, SIGKILL);

    int status = 0;
    rusage usage{};
    for (int waited = 0;; ++waited) {
        const pid_t r = wait4(pid, &status, waited < 1000 ? WNOHANG : 0, &usage);
        if (r == pid) break;
        if (r < 0) fail("wait4 failed");
        if (waited == 999) kill(pid, SIGKILL);  // ten seconds and still not gone
        usleep(10000);
    }
    if (!good || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::ifstream in(log);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        fail(child.program + " painted no 681x289 frame or did not end well (status " +
             std::to_string(status) + ", report \"" + line + "\"):\n" + text);
    }
    // The peak up to the first frame, as the child saw it.
    const std::string afterSize = line.substr(line.find(" 681x289") + 8);
    return {(std::stoll(line) - start) / 1e6, std::stol(afterSize) / 1024.0};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A private X server; the server picks a free display itself.
class Xvfb {
  public:
    static std::optional<std::string> findServer() {
        const char* path = std::getenv("PATH");
        std::string dirs = path ? path : "/usr/bin:/bin";
        size_t at = 0;
        while (at <= dirs.size()) {
            const size_t end = std::min(dirs.find(':', at), dirs.size());
            const fs::path candidate = fs::path(dirs.substr(at, end - at)) / "Xvfb";
            if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
            at = end + 1;
        }
        return std::nullopt;
    }

    explicit Xvfb(const std::string& server) {
        int fds[2];
        if (pipe(fds) != 0) fail("pipe failed");
        std::vector<std::string> argv{server, "-displayfd",   "3",         "-screen",
                                      "0",    "1280x1024x24", "-nolisten", "tcp"};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        auto argvP = pointers(argv);
        const int err =
            posix_spawn(&pid_, server.c_str(), &actions, nullptr, argvP.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (err != 0) fail("cannot start Xvfb");
        std::string number = readLine(fds[0], 15.0);
        close(fds[0]);
        while (!number.empty() && (number.back() == '\n' || number.back() == ' '))
            number.pop_back();
        if (number.empty()) fail("Xvfb did not start");
        display_ = ":" + number;
    }
    ~Xvfb() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    const std::string& display() const { return display_; }

  private:
    pid_t pid_ = 0;
    std::string display_;
};

struct Row {
    std::string platform;
    Sample bare;
    Sample game;
};

Row measure(const std::string& platform, const std::vector<std::string>& env, const Child& bare,
            const Child& game, int runs, const fs::path& work) {
    const fs::path log = work / "child-stderr.txt";
    // One untimed run of each first, so that both start with warm file caches.
    runOnce(bare, env, log);
    runOnce(game, env, log);
    std::vector<double> bareMs, bareMib, gameMs, gameMib;
    for (int i = 0; i < runs; ++i) {
        const Sample b = runOnce(bare, env, log);
        const Sample g = runOnce(game, env, log);
        bareMs.push_back(b.ms);
        bareMib.push_back(b.mib);
        gameMs.push_back(g.ms);
        gameMib.push_back(g.mib);
    }
    return {platform, {median(bareMs), median(bareMib)}, {median(gameMs), median(gameMib)}};
}

void copyContent(const fs::path& from, const fs::path& to) {
    if (!fs::exists(from / "txt" / "opn.txt") || !fs::exists(from / "img" / "opn.gif"))
        fail("no game content in " + from.string() + " (build the target game_content)");
    fs::copy(from / "txt", to / "txt", fs::copy_options::recursive);
    fs::copy(from / "img", to / "img", fs::copy_options::recursive);
    if (fs::exists(from / "bgm.wav")) fs::copy_file(from / "bgm.wav", to / "bgm.wav");
}

int measureAll(int runs) {
    const fs::path self = fs::canonical("/proc/self/exe");
    char pattern[] = "/tmp/bench-startup-XXXXXX";
    if (!mkdtemp(pattern)) fail("cannot make a temporary folder");
    const fs::path work = pattern;
    struct RemoveAtEnd {
        fs::path path;
        ~RemoveAtEnd() { fs::remove_all(path); }
    } removeAtEnd{work};
    const fs::path folder = work / "game";
    const fs::path runtime = work / "runtime";
    fs::create_directories(folder);
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    copyContent(PIROKKO_CONTENT_DIR, folder);
    fs::copy_file(self, folder / "pirokko");

    const Child game{(folder / "pirokko").string(), {"--game"}};
    const Child bare{(self.parent_path() / "bench_startup_bare").string(), {}};
    const std::string xdg = "XDG_RUNTIME_DIR=" + runtime.string();

    std::vector<Row> rows;
    rows.push_back(measure("offscreen", childEnvironment({"QT_QPA_PLATFORM=offscreen", xdg}), bare,
                           game, runs, work));
    const auto server = Xvfb::findServer();
    if (server) {
        Xvfb x(*server);
        rows.push_back(measure("xcb (Xvfb)",
                               childEnvironment({"QT_QPA_PLATFORM=xcb", "DISPLAY=" + x.display(),
                                                 "WAYLAND_DISPLAY=", xdg}),
                               bare, game, runs, work));
    }

    std::printf("Process start to first painted frame, and peak resident memory up to it;\n");
    std::printf("median of %d runs each, bare Qt window with one label as the baseline.\n\n", runs);
    std::printf("%-12s %-14s %12s %14s\n", "platform", "window", "first frame", "peak memory");
    for (const Row& r : rows) {
        std::printf("%-12s %-14s %9.1f ms %10.1f MiB\n", r.platform.c_str(), "bare Qt", r.bare.ms,
                    r.bare.mib);
        std::printf("%-12s %-14s %9.1f ms %10.1f MiB\n", "", "game", r.game.ms, r.game.mib);
        std::printf("%-12s %-14s %10.2f x %12.2f x\n", "", "game / bare", r.game.ms / r.bare.ms,
                    r.game.mib / r.bare.mib);
    }
    if (!server) std::printf("\n(no Xvfb here: the X server rows are left out)\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--game") == 0) {
        gameChild = true;
        int gameArgc = 1;
        return runPirokko(gameArgc, argv);
    }
    int runs = 10;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0)
        runs = std::max(1, std::atoi(argv[2]));
    else if (argc != 1) {
        std::fprintf(stderr, "usage: %s [--runs N]\n", argv[0]);
        return 2;
    }
    try {
        return measureAll(runs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_startup: %s\n", e.what());
        return 1;
    }
}

#endif
