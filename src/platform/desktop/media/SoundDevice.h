#pragma once
// One opened sound file and the output that plays it: what a device alias of
// the media layer stands for.
//
// The open checks the file with its reader and returns; the head of the sound
// is decoded, the audio subsystem started and the output opened by load(),
// usually on a thread of the device's own. Until then the device answers as
// if it were already playing what was asked of it; whatever arrives is heard
// once it is ready. If loading fails, every later command but close returns
// its code, so a poll of the mode sees no mode word.
//
// The output takes the sound's own sample format, channels and rate; SDL
// converts to what the sound card wants.

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/desktop/media/SoundSettings.h"
#include "platform/desktop/media/SoundStream.h"

namespace platform {

struct MciCommand;
class AudioSubsystem;
class WaveReader;

class SoundDevice {
  public:
    SoundDevice(std::string alias, std::unique_ptr<WaveReader> reader, SoundSettings settings);
    // Waits for the loading and closes the output.
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    const std::string& alias() const { return alias_; }

    // Loads on a thread of its own; false if there is no thread to spare.
    bool loadInBackground(AudioSubsystem& audio);
    // Loads here and now; returns mci::kOk or the code of what failed.
    std::int32_t load(AudioSubsystem& audio);

    // Marks the device as closing, so that loading gives up.
    void abandon() { closing_ = true; }

    // Play, seek and status; any other verb is not for a device.
    std::int32_t command(const MciCommand& cmd, char* reply, std::uint32_t replyLength);

  private:
    enum class State { Loading, Ready, Failed };

    void fail(std::int32_t code);
    static void SDLCALL callback(void* user, Uint8* out, int len);

    const std::string alias_;
    const SoundSettings settings_;
    std::unique_ptr<WaveReader> reader_;  // until loaded
    std::thread loader_;
    bool inBackground_ = false;
    std::atomic<bool> closing_{false};

    // Guarded by `lock_` (taken by the loader once, to hand the device over).
    std::mutex lock_;
    State state_ = State::Loading;
    std::int32_t failure_ = 0;
    // What was asked while loading: play from `wantFromMs`, or stay stopped
    // at the start.
    bool wantPlay_ = false;
    std::uint32_t wantFromMs_ = 0;
    std::uint64_t durationMs_ = 0;  // from the headers, for the range of a play
    // Set by the loader before the state turns Ready, fixed afterwards.
    SDL_AudioDeviceID id_ = 0;
    int freq_ = 0;
    std::unique_ptr<SoundStream> stream_;
};

}  // namespace platform
