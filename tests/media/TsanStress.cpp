// Built with -fsanitize=thread from the media layer's own sources (no Qt):
// the interface threads and SDL's audio thread play, poll, seek and reopen
// concurrently on the dummy driver. ThreadSanitizer fails the run on a race.

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/MciCommand.h"
#include "platform/SdlMedia.h"

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

void writeWave(const std::string& path, std::uint32_t frames) {
    std::vector<std::uint8_t> b;
    auto put16 = [&](std::uint16_t v) {
        b.push_back(static_cast<std::uint8_t>(v));
        b.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(static_cast<std::uint16_t>(v));
        put16(static_cast<std::uint16_t>(v >> 16));
    };
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put32(36 + frames * 4);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(16);
    put16(1);
    put16(2);
    put32(44100);
    put32(44100 * 4);
    put16(4);
    put16(16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put32(frames * 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        put16(static_cast<std::uint16_t>(i * 37));
        put16(static_cast<std::uint16_t>(i * 91));
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
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
    const auto dir = std::filesystem::temp_directory_path() /
                     ("pirokko-tsan-" + std::to_string(static_cast<long>(::getpid())));
    std::filesystem::create_directories(dir);
    const std::string wav = (dir / "bgm.wav").string();
    writeWave(wav, 2205);  // 50 ms: it ends and restarts often
    const std::string open = "open \"" + wav + "\" alias MIDI";

    {
        // Several lookaheads, among them none and one shorter than a buffer.
        for (const std::uint32_t lookahead : {100u, 0u, 5u}) {
            platform::SdlMedia::Options options;
            options.lookaheadMs = lookahead;
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
                unsigned n = 0;
                while (!stop) {
                    switch (n++ % 4) {
                        case 0:
                            media.mciSendStringA("seek MIDI to start", nullptr, 0, 0);
                            break;
                        case 1:
                            media.mciSendStringA("play MIDI from 20", nullptr, 0, 0);
                            break;
                        case 2:
                            media.mciSendStringA("play MIDI", nullptr, 0, 0);
                            break;
                        default: {
                            char r[4];
                            media.mciSendStringA("status MIDI mode", r, sizeof r, 0);
                        }
                    }
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
    std::filesystem::remove_all(dir);
    std::printf("%d passed, %d failed\n", checks - failures, failures);
    return failures == 0 ? 0 : 1;
}
