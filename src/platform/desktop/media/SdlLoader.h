#pragma once
// SDL, loaded when audio is first needed rather than by the dynamic linker
// before main(): SDL and the thirty-odd libraries it pulls in would otherwise
// slow every start-up, and the game runs silently on a machine without it.

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform {

// The few SDL functions the media layer calls.
struct SdlApi {
    decltype(&SDL_SetHint) SetHint = nullptr;
    decltype(&SDL_InitSubSystem) InitSubSystem = nullptr;
    decltype(&SDL_QuitSubSystem) QuitSubSystem = nullptr;
    decltype(&SDL_TLSCleanup) TLSCleanup = nullptr;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice = nullptr;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice = nullptr;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice = nullptr;
};

// Loads SDL on the first call; null when it cannot be loaded. It is never
// unloaded: its audio threads may outlive any one user.
const SdlApi* sdl();

// The same, but never the one to load it.
const SdlApi* sdlIfLoaded();

// SDL's audio subsystem, started once for every device of a media layer and
// stopped with it. A program may hold the start back (see hold) until it calls
// startInBackground(), so that probing the sound drivers does not compete
// with its first frame.
class AudioSubsystem {
  public:
    explicit AudioSubsystem(bool hold) : hold_(hold) {}
    ~AudioSubsystem();
    AudioSubsystem(const AudioSubsystem&) = delete;
    AudioSubsystem& operator=(const AudioSubsystem&) = delete;

    // Starts it on a thread of its own and releases held starts.
    void startInBackground();

    // Starts it, or waits for the start in progress. A start that may be held
    // (`mayHold`) waits until released or until `abandon` is set. True once
    // started.
    bool start(bool mayHold, const std::atomic<bool>& abandon);

    // Wakes held starts so that they see their `abandon`.
    void wakeHeld();

  private:
    const bool hold_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool requested_ = false;
    bool started_ = false;
    std::thread early_;
    int earlyResult_ = 0;
};

}  // namespace platform
