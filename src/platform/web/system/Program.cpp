#include "platform/system/Program.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include "platform/form/Form.h"
#include "platform/system/Dispatch.h"
#include "platform/system/Language.h"
#include "platform/system/Random.h"
#include "platform/web/form/Page.h"
#include "platform/web/media/WebMedia.h"
#include "platform/web/system/WebApplication.h"
#include "platform/web/system/WebTimerHost.h"

namespace platform {

namespace {
struct PageState {
    Form* form = nullptr;
    bool ended = false;
};
PageState& page() {
    static PageState p;
    return p;
}
}  // namespace

// The page's files are laid out under this folder before the game starts.
Text ProgramFolder() {
    return u"/game";
}

bool displayAvailable() {
    return true;
}

void End(int) {
    Dispatcher::halt();
    PageState& p = page();
    if (p.ended) return;
    p.ended = true;
    // Nothing of the game sounds on after it: the desktop's ends with it.
    if (WebMedia* media = currentMedia()) media->closeAll();
    const Text note = fromUtf8(trText("Program", "The game has ended."));
    pk_end(units(note), count(note));
}

struct ConsoleSession::Impl {};
ConsoleSession::ConsoleSession(int&, char**) {
    useSessionLanguage();
}
ConsoleSession::~ConsoleSession() = default;

struct Application::Impl {
    WebTimerHost timers;
    MersenneRandom random;
    WebMedia media;
};

Application::Application(int&, char**) : impl_(std::make_unique<Impl>()) {
    useSessionLanguage();
    Dispatcher::setFaultHandler([](const RuntimeError& e) {
        printFault(e);
        const Text title = fromUtf8(programName());
        const Text message = fromUtf8(e.what());
        const Text ok = fromUtf8(trText("Program", "OK"));
        // The controls go first, as the desktop hides its window: nothing
        // of the game can be clicked behind the message.
        End(1);
        pk_fault(units(title), count(title), units(message), count(message), units(ok), count(ok));
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
    return impl_->media;
}

// The browser runs the loop: the game lives on after this returns.
int Application::exec() {
    return 0;
}

void Application::fail(const RuntimeError& error) {
    Dispatcher::run([&error] { throw error; });
}

void Application::afterFirstFrame(std::function<void()> action) {
    auto* held = new std::function<void()>(std::move(action));
    emscripten_request_animation_frame(
        [](double, void* data) -> EM_BOOL {
            // The frame after this one: the first has then been drawn.
            emscripten_request_animation_frame(
                [](double, void* inner) -> EM_BOOL {
                    auto* f = static_cast<std::function<void()>*>(inner);
                    (*f)();
                    delete f;
                    return EM_FALSE;
                },
                data);
            return EM_FALSE;
        },
        held);
}

void webApplicationOpened(Form& form) {
    page().form = &form;
}

void webApplicationClosed(Form& form) {
    if (page().form == &form) page().form = nullptr;
}

void webApplicationGesture() {
    if (WebMedia* media = currentMedia()) media->playerGestured();
}

void webApplicationClose() {
    if (page().form) page().form->close();
}

}  // namespace platform
