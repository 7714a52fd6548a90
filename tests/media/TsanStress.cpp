// Built with -fsanitize=thread from the media layer's own sources (no Qt):
// the interface threads and SDL's audio thread play, poll, seek and reopen
// concurrently on the dummy driver. ThreadSanitizer fails the run on a race.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "WaveFiles.h"
#include "platform/common/MciCommand.h"
#include "platform/desktop/media/SdlMedia.h"

using namespace std::chrono_literals;

namespace {

int failures = 0;
int checks = 0;

void check(bool ok, const char* what) {
    ++checks;
    if (!ok) {
        ++failures;
        std::fprintf(stderr, "FAILED: %s\n", what);
    }
}

// The tick of BgmTim_Timer, as PollBgm does it.
void poll(platform::MediaCommands& m, std::atomic<int>& restarts) {
    char reply[16];
    std::memset(reply, ' ', sizeof reply);
    (void)m.mciSendStringA("status MIDI mode", reply, 15, 0);
    if (std::strncmp(reply, "stopped", 7) == 0) {
        m.mciSendStringA("seek MIDI to start", nullptr, 0, 0);
        m.mciSendStringA("play MIDI from 0", nullptr, 0, 0);
        ++restarts;
    }
}

}  // namespace

int main() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const wavefiles::ScratchDir dir("tsan");
    const std::string wav = (dir.path() / "bgm.wav").string();
    wavefiles::writeFile(wav, wavefiles::countingWave(2205));  // 50 ms: it ends and restarts often
    const std::string open = "open \"" + wav + "\" alias MIDI";

    {
        // Several lookaheads, among them none and one shorter than a buffer;
        // the last with a head shorter than the file, so that its reader's
        // thread takes part.
        const struct {
            std::uint32_t lookaheadMs, headMs;
        } configurations[] = {{100, 1000}, {0, 1000}, {5, 1000}, {100, 10}};
        for (const auto& c : configurations) {
            platform::SdlMedia::Options options;
            options.lookaheadMs = c.lookaheadMs;
            options.headMs = c.headMs;
            options.readAheadMs = c.headMs;
            options.deviceBufferFrames = 256;
            platform::SdlMedia media(options);
            check(media.mciSendStringA(open.c_str(), nullptr, 0, 0) == 0, "open");
            check(media.mciSendStringA("play MIDI notify", nullptr, 0, 0) == 0, "play");

            std::atomic<bool> stop{false};
            std::atomic<int> restarts{0};
            std::thread ticker([&] {
                while (!stop) {
                    poll(media, restarts);
                    std::this_thread::sleep_for(1ms);
                }
            });
            std::thread meddler([&] {
                const char* const commands[] = {"seek MIDI to start", "play MIDI from 20",
                                                "play MIDI", "status MIDI mode"};
                for (unsigned n = 0; !stop; ++n) {
                    char r[4];
                    media.mciSendStringA(commands[n % 4], r, sizeof r, 0);
                    std::this_thread::sleep_for(3ms);
                }
            });
            std::thread reopener([&] {
                for (int i = 0; i < 5 && !stop; ++i) {
                    std::this_thread::sleep_for(150ms);
                    media.mciSendStringA("close MIDI notify", nullptr, 0, 0);
                    media.mciSendStringA(open.c_str(), nullptr, 0, 0);
                    media.mciSendStringA("play MIDI notify", nullptr, 0, 0);
                }
            });
            std::this_thread::sleep_for(1200ms);
            stop = true;
            ticker.join();
            meddler.join();
            reopener.join();
            check(restarts > 0, "the loop restarted");
            check(media.mciSendStringA("close MIDI notify", nullptr, 0, 0) == 0, "close");
        }
    }
    std::printf("%d passed, %d failed\n", checks - failures, failures);
    return failures == 0 ? 0 : 1;
}
