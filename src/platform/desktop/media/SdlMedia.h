#pragma once
// The media command-string layer: the interpreter of the commands (see
// MciCommand.h) over devices that play wave files through SDL2 audio. No Qt
// here, so that it can be built on its own, for instance under
// ThreadSanitizer.
//
// The parts: MciCommand parses a command; this class keeps the devices by
// alias and sends each command to its device; SoundDevice is one opened file
// and its output; SoundStream what the output plays of it, frame by frame;
// DecodedFrames the frames read ahead of it; WaveReader reads the file
// through libsndfile; SdlLoader loads SDL when audio is first needed.
//
// Opening: the open command itself reads the file's headers with libsndfile
// (that it exists, is a wave file in an encoding libsndfile decodes, with at
// least one frame of sound) and returns. Decoding the head of the sound and
// bringing up the output (which can take tens of milliseconds with a sound
// server) go on in the background, unless Options::openInBackground is off.
// The sound is then read as it plays, so memory does not grow with its
// length.
//
// Threads: commands are serialised by a mutex of their own, which the audio
// thread never takes; no command takes SDL's device lock except close. A
// status query allocates nothing.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/desktop/media/SoundSettings.h"
#include "platform/media/MediaCommands.h"

namespace platform {

class AudioSubsystem;
class SoundDevice;

class SdlMedia final : public MediaCommands {
  public:
    struct Options : SoundSettings {
        // Off: the open returns only once the device is ready or has failed,
        // with the code of what failed.
        bool openInBackground = true;
        // On: no open starts the output (SDL and its sound drivers) until
        // startAudioInBackground() is called; until then the devices answer
        // as they would while loading. A program uses this to keep loading the
        // sound library out of its start-up.
        bool holdOutput = false;
    };

    SdlMedia();
    explicit SdlMedia(Options options);
    ~SdlMedia() override;
    SdlMedia(const SdlMedia&) = delete;
    SdlMedia& operator=(const SdlMedia&) = delete;

    std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                std::intptr_t callback) override;

    // Starts SDL's audio subsystem on a thread of its own and lets held
    // opens go on. Optional unless Options::holdOutput is on: the first open
    // starts it otherwise.
    void startAudioInBackground();

  private:
    SoundDevice* find(std::string_view alias);
    std::int32_t open(std::string_view path, std::string_view alias);
    void close(SoundDevice& device);

    const Options options_;
    std::mutex mutex_;  // serialises commands
    // Declared before the devices, which use it until they are gone.
    const std::unique_ptr<AudioSubsystem> audio_;
    std::vector<std::unique_ptr<SoundDevice>> devices_;
};

}  // namespace platform
