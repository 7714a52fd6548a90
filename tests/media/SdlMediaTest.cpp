// The SDL media layer: device states through open, play, status, seek and
// close on SDL's dummy driver; replies; error codes; the start of SDL.

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "AllocationCount.h"
#include "WaveFiles.h"
#include "platform/common/MciCommand.h"
#include "platform/desktop/media/SdlMedia.h"
#include "platform/system/Text.h"
#include "shared/Music.h"

using platform::SdlMedia;
namespace mci = platform::mci;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

class SdlMediaTest : public ::testing::Test {
  protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }

    std::string writeWave(const std::string& name, const wavefiles::Bytes& bytes) {
        const auto p = dir_.path() / name;
        wavefiles::writeFile(p, bytes);
        return p.string();
    }

    static std::int32_t send(SdlMedia& m, const std::string& command) {
        return m.mciSendStringA(command.c_str(), nullptr, 0, 0);
    }

    static std::string mode(SdlMedia& m, const char* alias = "MIDI") {
        char reply[16];
        std::memset(reply, ' ', sizeof reply);
        const std::string command = std::string("status ") + alias + " mode";
        if (m.mciSendStringA(command.c_str(), reply, 15, 0) != mci::kOk) return "<error>";
        return reply;
    }

    static SdlMedia::Options openingAtOnce() {
        SdlMedia::Options o;
        o.openInBackground = false;
        return o;
    }

    // Polls until the mode is `want` or `limit` passes; returns the time taken.
    static Clock::duration waitForMode(SdlMedia& m, const std::string& want,
                                       Clock::duration limit = 5s) {
        const auto start = Clock::now();
        while (mode(m) != want && Clock::now() - start < limit) std::this_thread::sleep_for(1ms);
        return Clock::now() - start;
    }

    wavefiles::ScratchDir dir_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

std::string openCommand(const std::string& path, const char* alias = "MIDI") {
    return "open \"" + path + "\" alias " + alias;
}

}  // namespace

TEST_F(SdlMediaTest, OpenPlayStatusSeekPlayClose) {
    const auto path = writeWave("bgm.wav", wavefiles::countingWave(44100 * 3 / 10));  // 0.3 s
    SdlMedia media;
    EXPECT_EQ(send(media, "close MIDI notify"), mci::kInvalidDeviceName);  // nothing open yet
    ASSERT_EQ(send(media, openCommand(path)), mci::kOk);
    EXPECT_EQ(mode(media), "stopped");  // opened at its start, not playing

    EXPECT_EQ(send(media, "play MIDI notify"), mci::kOk);
    EXPECT_EQ(mode(media), "playing");
    const auto played = waitForMode(media, "stopped");
    EXPECT_EQ(mode(media), "stopped");
    // Handed over in full no earlier than the file's length less the
    // look-ahead (100 ms) and a device buffer (23 ms).
    EXPECT_GE(played, 150ms);
    EXPECT_LT(played, 2s);
    // It stays stopped, also when played on from the end.
    EXPECT_EQ(send(media, "play MIDI notify"), mci::kOk);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(mode(media), "stopped");

    EXPECT_EQ(send(media, "seek MIDI to start"), mci::kOk);
    EXPECT_EQ(mode(media), "stopped");
    EXPECT_EQ(send(media, "play MIDI from 0"), mci::kOk);
    EXPECT_EQ(mode(media), "playing");
    EXPECT_EQ(send(media, "seek MIDI to start"), mci::kOk);  // a seek while playing stops
    EXPECT_EQ(mode(media), "stopped");
    EXPECT_EQ(send(media, "play MIDI"), mci::kOk);  // from the start again
    EXPECT_EQ(mode(media), "playing");
    EXPECT_EQ(send(media, "play MIDI from 100"), mci::kOk);  // restart while playing
    EXPECT_EQ(mode(media), "playing");

    EXPECT_EQ(send(media, "close MIDI notify"), mci::kOk);
    EXPECT_EQ(mode(media), "<error>");
    EXPECT_EQ(send(media, "close MIDI notify"), mci::kInvalidDeviceName);
    EXPECT_EQ(send(media, "play MIDI notify"), mci::kInvalidDeviceName);
}

TEST_F(SdlMediaTest, ReopeningAfterCloseAndDuplicateAlias) {
    const auto path = writeWave("bgm.wav", wavefiles::countingWave(4410));
    SdlMedia media(openingAtOnce());
    ASSERT_EQ(send(media, openCommand(path)), mci::kOk);
    EXPECT_EQ(send(media, openCommand(path)), mci::kDuplicateAlias);
    EXPECT_EQ(send(media, openCommand(path, "midi")), mci::kDuplicateAlias);
    // SDL's dummy driver has one output, already taken: a second device
    // fails with a code and the first one goes on.
    EXPECT_EQ(send(media, openCommand(path, "other")), mci::kHardware);
    EXPECT_EQ(mode(media, "other"), "<error>");
    EXPECT_EQ(send(media, "play MIDI"), mci::kOk);
    EXPECT_EQ(mode(media), "playing");
    EXPECT_EQ(send(media, "close MIDI"), mci::kOk);
    EXPECT_EQ(send(media, openCommand(path)), mci::kOk);
    EXPECT_EQ(mode(media), "stopped");
}

TEST_F(SdlMediaTest, AnEarlyStartOfAudioServesTheFirstOpenOrNone) {
    const auto path = writeWave("bgm.wav", wavefiles::countingWave(4410));
    {
        SdlMedia media;
        media.startAudioInBackground();
        media.startAudioInBackground();  // a second call changes nothing
        ASSERT_EQ(send(media, openCommand(path)), mci::kOk);
        EXPECT_EQ(send(media, "play MIDI"), mci::kOk);
        EXPECT_EQ(mode(media), "playing");
    }
    {
        SdlMedia unused;  // started early and never opened: stopped cleanly
        unused.startAudioInBackground();
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

// A non-ASCII path, notify with or without a callback, unknown aliases, and
// a reply buffer that any command empties and writes no more into.
TEST_F(SdlMediaTest, ReplyNotifyAndAliasesAroundAnOpenDevice) {
    std::filesystem::create_directories(dir_.path() / "\xE9\x9F\xB3\xE6\xA5\xBD");
    const auto path = writeWave("\xE9\x9F\xB3\xE6\xA5\xBD/bgm.wav", wavefiles::countingWave(4410));
    SdlMedia media;
    for (const char* command : {"nonsense", "status NOPE mode", "close NOPE", "\"", ""}) {
        char reply[8];
        std::memset(reply, 'x', sizeof reply);
        EXPECT_NE(media.mciSendStringA(command, reply, 4, 0), mci::kOk) << command;
        EXPECT_EQ(std::string(reply, 8), std::string("\0xxxxxxx", 8)) << command;
    }
    char reply[8];
    std::memset(reply, 'x', sizeof reply);
    EXPECT_EQ(media.mciSendStringA((openCommand(path) + " notify").c_str(), reply, 8, 0), mci::kOk);
    EXPECT_EQ(reply[0], '\0');
    EXPECT_EQ(send(media, "play MIDI2"), mci::kInvalidDeviceName);
    EXPECT_EQ(send(media, "seek MID to start"), mci::kInvalidDeviceName);
    EXPECT_EQ(send(media, "status x mode"), mci::kInvalidDeviceName);
    EXPECT_EQ(send(media, "close MIDIMIDI"), mci::kInvalidDeviceName);
    EXPECT_EQ(media.mciSendStringA("play MIDI notify", nullptr, 0, 1234), mci::kOk);
    EXPECT_EQ(media.mciSendStringA("close MIDI notify", nullptr, 0, 1234), mci::kOk);
}

TEST_F(SdlMediaTest, PlayFromAPositionInMilliseconds) {
    const auto path = writeWave("bgm.wav", wavefiles::countingWave(44100));  // 1 s
    SdlMedia media;
    ASSERT_EQ(send(media, openCommand(path)), mci::kOk);
    EXPECT_EQ(send(media, "play MIDI from 1001"), mci::kOutOfRange);
    EXPECT_EQ(mode(media), "stopped");
    EXPECT_EQ(send(media, "play MIDI from 1000"), mci::kOk);  // the end: stops at once
    waitForMode(media, "stopped", 1s);
    EXPECT_EQ(mode(media), "stopped");
    EXPECT_EQ(send(media, "play MIDI from 800"), mci::kOk);
    EXPECT_EQ(mode(media), "playing");
    const auto took = waitForMode(media, "stopped");
    EXPECT_LT(took, 1s);
}

TEST_F(SdlMediaTest, OnlyTheAudioSubsystemIsStartedAndItStopsAfterwards) {
    const auto path = writeWave("bgm.wav", wavefiles::countingWave(4410));
    {
        SdlMedia media(openingAtOnce());
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);  // not before the first open
        ASSERT_EQ(send(media, openCommand(path)), mci::kOk);
        EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
        EXPECT_EQ(SDL_WasInit(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER | SDL_INIT_HAPTIC |
                              SDL_INIT_SENSOR | SDL_INIT_TIMER),
                  0u);
        EXPECT_STREQ(SDL_GetCurrentAudioDriver(), "dummy");
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST_F(SdlMediaTest, NoSoundDeviceFailsEveryCommandOnceTheOpenHasFinished) {
    const auto path = writeWave("bgm.wav", wavefiles::countingWave(4410));
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        SdlMedia media(openingAtOnce());
        EXPECT_EQ(send(media, openCommand(path)), mci::kHardware);
        EXPECT_EQ(send(media, "play MIDI notify"), mci::kInvalidDeviceName);
    }
    SdlMedia::Options held;  // as the game opens it: output started after the first frame
    held.holdOutput = true;
    SdlMedia media(held);
    共用関数 module(media);
    module.BgmOpen(platform::fromUtf8(path));
    EXPECT_EQ(module.BgmResult, 0);  // the file itself is fine
    module.BgmOn = -1;
    module.BgmPlay();
    EXPECT_EQ(module.BgmResult, 0);
    // Meanwhile it answers as the music that is starting...
    EXPECT_EQ(mode(media), "playing");
    media.startAudioInBackground();
    const auto failed = waitForMode(media, "<error>");
    EXPECT_LT(failed, 1s);
    EXPECT_EQ(send(media, "play MIDI from 0"), mci::kHardware);
    // ...and then, as at start-up without a device, the ticks query and
    // nothing restarts.
    module.BgmResult = 0;
    for (int i = 0; i < 10; ++i) PollBgm(module);
    EXPECT_EQ(module.BgmResult, 0);
}

// Commands sent right after the open usually reach the device while it is
// still being decoded and brought up; they must come to what they would
// have come to once it was ready.
TEST_F(SdlMediaTest, CommandsRightAfterTheOpenActAsOnAReadyDevice) {
    const auto path = writeWave("bgm.wav", wavefiles::countingWave(44100 * 4));  // 4 s
    {
        SdlMedia media;
        ASSERT_EQ(send(media, openCommand(path)), mci::kOk);
        EXPECT_EQ(mode(media), "stopped");
        EXPECT_EQ(send(media, "play MIDI from 4001"), mci::kOutOfRange);
        EXPECT_EQ(send(media, "play MIDI from 3900"), mci::kOk);
        EXPECT_EQ(mode(media), "playing");
        EXPECT_LT(waitForMode(media, "stopped"), 1s);  // the last 100 ms only
    }
    {
        SdlMedia media;
        ASSERT_EQ(send(media, openCommand(path)), mci::kOk);
        EXPECT_EQ(send(media, "play MIDI from 3900"), mci::kOk);
        EXPECT_EQ(send(media, "seek MIDI to start"), mci::kOk);
        EXPECT_EQ(mode(media), "stopped");
        EXPECT_EQ(send(media, "play MIDI"), mci::kOk);  // from the start: the whole 4 s
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(mode(media), "playing");
    }
    {
        SdlMedia media;
        ASSERT_EQ(send(media, openCommand(path)), mci::kOk);
        EXPECT_EQ(send(media, "play MIDI from 3900"), mci::kOk);
        EXPECT_EQ(send(media, "play MIDI"), mci::kOk);  // goes on from where it plays
        EXPECT_LT(waitForMode(media, "stopped"), 1s);
        EXPECT_EQ(send(media, "close MIDI"), mci::kOk);
    }
}

TEST_F(SdlMediaTest, AHeldOutputStartsOnlyWhenReleasedAndNeverHoldsUpAClose) {
    const auto path = writeWave("bgm.wav", wavefiles::countingWave(4410));  // 100 ms
    SdlMedia::Options held;
    held.holdOutput = true;
    {
        SdlMedia media(held);
        ASSERT_EQ(send(media, openCommand(path)), mci::kOk);
        EXPECT_EQ(send(media, "play MIDI notify"), mci::kOk);
        std::this_thread::sleep_for(200ms);  // twice the file: it would have ended
        EXPECT_EQ(mode(media), "playing");
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        media.startAudioInBackground();
        EXPECT_LT(waitForMode(media, "stopped"), 2s);
    }
    const auto start = Clock::now();
    {
        SdlMedia media(held);  // never released
        ASSERT_EQ(send(media, openCommand(path)), mci::kOk);
        ASSERT_EQ(send(media, openCommand(path, "other")), mci::kOk);
        EXPECT_EQ(send(media, "close MIDI"), mci::kOk);
    }
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST_F(SdlMediaTest, TickAllocatesNothing) {
    const auto path = writeWave("bgm.wav", wavefiles::countingWave(2205));  // 50 ms
    SdlMedia media;
    共用関数 module(media);
    ASSERT_EQ(send(media, openCommand(path)), mci::kOk);
    module.BgmOn = -1;
    module.BgmPlay();
    alloccount::Tally tally;
    {
        alloccount::Counting counting;
        const auto start = Clock::now();
        while (Clock::now() - start < 300ms) {  // several restarts among the ticks
            PollBgm(module);
            std::this_thread::sleep_for(1ms);
        }
        tally = counting.tally();
    }
    EXPECT_EQ(tally.count, 0u);
    EXPECT_EQ(module.BgmResult, 0);
}

TEST_F(SdlMediaTest, PollBgmLoopsTheMusic) {
    // A forwarding layer counts the restarts that the real one leads to.
    class Counting final : public platform::MediaCommands {
      public:
        explicit Counting(platform::MediaCommands& inner) : inner_(inner) {}
        std::int32_t mciSendStringA(const char* c, char* r, std::uint32_t n,
                                    std::intptr_t cb) override {
            if (std::strcmp(c, "play MIDI from 0") == 0) ++restarts;
            return inner_.mciSendStringA(c, r, n, cb);
        }
        int restarts = 0;

      private:
        platform::MediaCommands& inner_;
    };
    const auto path = writeWave("bgm.wav", wavefiles::countingWave(4410));  // 100 ms
    SdlMedia media;
    Counting counting(media);
    共用関数 module(counting);
    module.BgmOpen(platform::fromUtf8(path));
    EXPECT_EQ(module.BgmResult, 0);
    module.BgmOn = -1;
    module.BgmPlay();
    EXPECT_EQ(module.BgmResult, 0);
    const auto start = Clock::now();
    while (Clock::now() - start < 1s) {
        PollBgm(module);
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_GE(counting.restarts, 3);
    EXPECT_LE(counting.restarts, 12);
    EXPECT_EQ(module.BgmResult, 0);
    module.BgmClose();
    EXPECT_EQ(module.BgmResult, 0);
}
