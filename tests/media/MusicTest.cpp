// BgmOpen, BgmPlay, BgmClose and PollBgm (the body of BgmTim_Timer) against a
// hand-written media layer that records every command and scripts replies.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/system/Text.h"
#include "shared/Music.h"
#include "shared/SharedModule.h"

namespace {

struct Sent {
    std::string command;
    bool hadReply;
    std::uint32_t replyLength;
    std::string replyBefore;  // the buffer as the program handed it over
    std::intptr_t callback;
};

class FakeMedia final : public platform::MediaCommands {
  public:
    std::int32_t mciSendStringA(const char* command, char* reply, std::uint32_t replyLength,
                                std::intptr_t callback) override {
        Sent s{command, reply != nullptr, replyLength, {}, callback};
        if (reply != nullptr) s.replyBefore.assign(reply, replyLength + 1);
        sent.push_back(s);
        if (reply != nullptr) {
            // Write the scripted bytes as they are (no terminator added), but
            // never past the given length.
            const std::size_t n = std::min<std::size_t>(statusBytes.size(), replyLength);
            std::memcpy(reply, statusBytes.data(), n);
            return statusCode;
        }
        return nextCode++;
    }

    std::vector<std::string> commands() const {
        std::vector<std::string> c;
        for (const auto& s : sent) c.push_back(s.command);
        return c;
    }

    std::vector<Sent> sent;
    std::string statusBytes = std::string("playing\0", 8);
    std::int32_t statusCode = 0;
    std::int32_t nextCode = 100;  // each non-status command returns a new code
};

using Commands = std::vector<std::string>;

}  // namespace

TEST(BgmOpen, BgmPlayAndBgmCloseSendTheirCommandsAndKeepTheLastCode) {
    FakeMedia media;
    共用関数 module(media);
    module.BgmResult = 7;
    module.BgmPlay();  // BgmOn is 0
    EXPECT_TRUE(media.sent.empty());
    EXPECT_EQ(module.BgmResult, 7);
    module.BgmOn = 1;
    module.BgmPlay();
    EXPECT_TRUE(media.sent.empty());

    module.BgmOpen(u"C:\\Games\\Play\\bgm.wav");
    EXPECT_EQ(module.BgmResult, 101);  // the open's code overwrites the close's
    module.BgmOpen(u"/home/a b/\u97f3\u697d/bgm.wav");
    module.BgmOn = -1;
    module.BgmPlay();
    EXPECT_EQ(module.BgmResult, 104);
    module.BgmClose();
    EXPECT_EQ(module.BgmResult, 105);
    EXPECT_EQ(media.commands(),
              (Commands{"close MIDI notify", R"(open "C:\Games\Play\bgm.wav" alias MIDI)",
                        "close MIDI notify",
                        "open \"/home/a b/\xE9\x9F\xB3\xE6\xA5\xBD/bgm.wav\" alias MIDI",
                        "play MIDI notify", "close MIDI notify"}));
    for (const auto& s : media.sent) {
        EXPECT_FALSE(s.hadReply);
        EXPECT_EQ(s.replyLength, 0u);
        EXPECT_EQ(s.callback, 0);
    }
}

// One tick against each reply: only the first seven characters, in any letter
// case, spelling "stopped" with the music on restart it; the status code never
// counts.
TEST(PollBgm, RestartsOnlyWhenStoppedAndOn) {
    const std::string stopped("stopped\0", 8);
    const struct {
        std::string reply;
        std::int16_t on = -1;
        std::int32_t statusCode = 0;
        bool restarts = false;
    } cases[] = {
        {stopped, -1, 0, true},
        {stopped, -1, 999, true},
        {std::string("STOPPED\0", 8), -1, 0, true},
        {std::string("Stopped\0", 8), -1, 0, true},
        {std::string("sToPpEd\0", 8), -1, 0, true},
        {std::string("stoppeD\0", 8), -1, 0, true},
        {std::string("stoppedxyz\0", 11), -1, 0, true},
        {"stopped", -1, 0, true},
        {"STOPPED ANYWAY", -1, 0, true},
        {std::string("stopped\0garbage", 15), -1, 0, true},
        {std::string("playing\0", 8)},
        {std::string("paused\0", 7)},
        {std::string("not ready\0", 10)},
        {std::string("stoppe\0", 7)},
        {std::string(" stopped\0", 9)},
        {std::string("stop\0", 5)},
        {std::string("seeking\0", 8)},
        {std::string("", 0)},
        {std::string("\0", 1)},
        {std::string("st\0pped", 7)},
        {"STOPPE"},
        {"", -1, 263},  // a failing layer that writes nothing leaves the blanks
        {stopped, 0},   // the music off
        {stopped, 1},
        {stopped, -2},
        {stopped, 32767},
        {stopped, -32768},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.reply << "\" on " << c.on);
        FakeMedia media;
        共用関数 module(media);
        module.BgmOn = c.on;
        module.BgmResult = 5;
        media.statusBytes = c.reply;
        media.statusCode = c.statusCode;
        PollBgm(module);
        if (c.restarts) {
            EXPECT_EQ(media.commands(),
                      (Commands{"status MIDI mode", "seek MIDI to start", "play MIDI from 0"}));
            EXPECT_EQ(module.BgmResult, 101);  // the play's code, after the seek's
        } else {
            EXPECT_EQ(media.commands(), Commands{"status MIDI mode"});
            EXPECT_EQ(module.BgmResult, 5);
        }
    }
}

TEST(PollBgm, EveryTickAsksWithSixteenBlanksAndEveryStoppedTickRestarts) {
    FakeMedia media;
    共用関数 module(media);
    module.BgmOn = -1;
    PollBgm(module);
    media.statusBytes = std::string("stopped\0", 8);
    PollBgm(module);
    PollBgm(module);
    media.statusBytes = std::string("playing\0", 8);
    PollBgm(module);
    EXPECT_EQ(media.commands(),
              (Commands{"status MIDI mode", "status MIDI mode", "seek MIDI to start",
                        "play MIDI from 0", "status MIDI mode", "seek MIDI to start",
                        "play MIDI from 0", "status MIDI mode"}));
    for (const Sent& s : media.sent) {
        EXPECT_EQ(s.hadReply, s.command == "status MIDI mode");
        if (!s.hadReply) continue;
        EXPECT_EQ(s.replyLength, 15u);
        EXPECT_EQ(s.replyBefore, std::string(16, ' '));
        EXPECT_EQ(s.callback, 0);
    }
}
