#include "platform/system/Program.h"

#include <QApplication>
#include <QEvent>
#include <QStyleFactory>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "platform/desktop/media/SdlMedia.h"
#include "platform/desktop/system/CloseOnSignal.h"
#include "platform/desktop/system/FaultBox.h"
#include "platform/desktop/system/QtTimerHost.h"
#include "platform/system/Dispatch.h"
#include "platform/system/Language.h"
#include "platform/system/Random.h"

namespace platform {

Text ProgramFolder() {
    // applicationDirPath reads /proc/self/exe, which already resolves links.
    QString dir = QCoreApplication::applicationDirPath();
    if (dir.isEmpty()) dir = QStringLiteral(".");
    return dir.toStdU16String();
}

bool displayAvailable() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("offscreen") || platform.startsWith("minimal")) return false;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

struct ConsoleSession::Impl {
    Impl(int& argc, char** argv) : app(argc, argv) {}
    QCoreApplication app;
};

ConsoleSession::ConsoleSession(int& argc, char** argv) : impl_(std::make_unique<Impl>(argc, argv)) {
    useSessionLanguage();
}

ConsoleSession::~ConsoleSession() = default;

namespace {
struct Ending {
    bool ended = false;
    int code = 0;
};
Ending& ending() {
    static Ending e;
    return e;
}
void markEnded(int code) {
    if (!ending().ended) ending() = Ending{true, code};
}
}  // namespace

void End(int exitCode) {
    markEnded(exitCode);
    Dispatcher::halt();
    for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
    QCoreApplication::exit(exitCode);
}

struct Application::Impl {
    explicit Impl(int& argc, char** argv) : app(argc, argv) {}
    // Made before the application and gone after it: the sound outlives
    // every window that could still ask for it.
    std::unique_ptr<SdlMedia> media;
    QApplication app;
    QtTimerHost timers;
    MersenneRandom random;
};

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>(argc, argv)) {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setQuitOnLastWindowClosed(false);
    useSessionLanguage();
    closeWindowsOnTerminationSignals();
    Dispatcher::setFaultHandler([](const RuntimeError& e) {
        printFault(e);
        // Nothing of the game runs any more, but the box itself needs the
        // event loop; hide the window so that it cannot be clicked meanwhile.
        for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
        const auto box = makeFaultBox(e);
        markEnded(1);
        box->exec();
        QCoreApplication::exit(1);
        return Dispatcher::AfterFault::kHalt;
    });
}

Application::~Application() {
    Dispatcher::setFaultHandler(nullptr);
}

TimerHost& Application::timers() {
    return impl_->timers;
}

RandomSource& Application::random() {
    return impl_->random;
}

MediaCommands& Application::media() {
    if (!impl_->media) {
        // Loading the sound library and probing its drivers would compete
        // with the window for the machine; the music waits for the first
        // frame.
        SdlMedia::Options sound;
        sound.holdOutput = true;
        impl_->media = std::make_unique<SdlMedia>(sound);
        afterFirstFrame([media = impl_->media.get()] { media->startAudioInBackground(); });
    }
    return *impl_->media;
}

namespace {

class FirstFrameWatch final : public QObject {
  public:
    FirstFrameWatch(QObject* parent, std::function<void()> action)
        : QObject(parent), action_(std::move(action)) {
        QTimer::singleShot(500, this, [this] { fire(); });
    }

  protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (event->type() == QEvent::Paint && target->isWidgetType() &&
            static_cast<QWidget*>(target)->isWindow()) {
            // Queued: runs once this paint and its flush to the screen are done.
            QTimer::singleShot(0, this, [this] { fire(); });
            qApp->removeEventFilter(this);
        }
        return false;
    }

  private:
    void fire() {
        if (!action_) return;
        auto action = std::move(action_);
        action_ = nullptr;
        action();
    }
    std::function<void()> action_;
};

}  // namespace

void Application::afterFirstFrame(std::function<void()> action) {
    qApp->installEventFilter(new FirstFrameWatch(qApp, std::move(action)));
}

void Application::fail(const RuntimeError& error) {
    Dispatcher::run([&error] { throw error; });
}

int Application::exec() {
    // The program may have ended, or failed, before the loop started; an exit
    // requested then would be lost.
    if (ending().ended) return ending().code;
    const int code = QApplication::exec();
    return ending().ended ? ending().code : code;
}

}  // namespace platform
