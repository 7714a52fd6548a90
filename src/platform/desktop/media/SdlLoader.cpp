#include "platform/desktop/media/SdlLoader.h"

#include <dlfcn.h>

#include <system_error>
#include <type_traits>

namespace platform {

namespace {

std::atomic<const SdlApi*> loadedSdl{nullptr};

// Starts SDL's audio subsystem; 0 on success.
int initAudio() {
    const SdlApi* api = sdl();
    if (api == nullptr) return -1;
    // The window and the process's signals stay the toolkit's.
    api->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return api->InitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

const SdlApi* sdl() {
    static const SdlApi* const api = []() -> const SdlApi* {
        void* lib = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (lib == nullptr) return nullptr;
        static SdlApi a;
        bool complete = true;
        const auto bind = [&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
            complete = complete && fn != nullptr;
        };
        bind(a.SetHint, "SDL_SetHint");
        bind(a.InitSubSystem, "SDL_InitSubSystem");
        bind(a.QuitSubSystem, "SDL_QuitSubSystem");
        bind(a.TLSCleanup, "SDL_TLSCleanup");
        bind(a.OpenAudioDevice, "SDL_OpenAudioDevice");
        bind(a.CloseAudioDevice, "SDL_CloseAudioDevice");
        bind(a.PauseAudioDevice, "SDL_PauseAudioDevice");
        loadedSdl.store(complete ? &a : nullptr, std::memory_order_release);
        return complete ? &a : nullptr;
    }();
    return api;
}

const SdlApi* sdlIfLoaded() {
    return loadedSdl.load(std::memory_order_acquire);
}

AudioSubsystem::~AudioSubsystem() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (early_.joinable()) {
        early_.join();
        started_ = started_ || earlyResult_ == 0;
    }
    if (started_) sdl()->QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioSubsystem::startInBackground() {
    std::lock_guard<std::mutex> lock(mutex_);
    requested_ = true;
    released_.notify_all();
    if (started_ || early_.joinable()) return;
    // Nothing else calls SDL until start() has joined this thread.
    try {
        early_ = std::thread([this] {
            earlyResult_ = initAudio();
            // SDL keeps per-thread state (the error text of a failed probe,
            // for one) that it frees only for threads of its own making.
            if (const SdlApi* api = sdl()) api->TLSCleanup();
        });
    } catch (const std::system_error&) {
        // No thread to spare: the first device to need SDL starts it.
    }
}

bool AudioSubsystem::start(bool mayHold, const std::atomic<bool>& abandon) {
    std::unique_lock<std::mutex> lock(mutex_);
    const bool held = hold_ && mayHold;
    released_.wait(lock, [&] { return !held || requested_ || abandon; });
    if (abandon) return false;
    if (early_.joinable()) {
        early_.join();
        started_ = earlyResult_ == 0;
        // A failed early start is tried again below, like any first start.
    }
    if (started_) return true;
    if (initAudio() != 0) return false;
    started_ = true;
    return true;
}

void AudioSubsystem::wakeHeld() {
    // Under the lock, so that a held start cannot miss the wake-up.
    std::lock_guard<std::mutex> lock(mutex_);
    released_.notify_all();
}

}  // namespace platform
