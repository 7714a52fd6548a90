// BgmOpen, BgmPlay, BgmClose and PollBgm (the body of BgmTim_Timer) against a
// hand-written media layer that records every command and scripts replies.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/Text.h"
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

const Commands kRestart{"status MIDI mode", "seek MIDI to start", "play MIDI from 0"};
const Commands kQueryOnly{"status MIDI mode"};

}  // namespace

TEST(BgmOpen, ClosesThenOpensTheQuotedPathUnderMIDI) {
    FakeMedia media;
    共用関数 module(media);
    module.BgmOpen(u"C:\\Games\\Play\\bgm.wav");
    EXPECT_EQ(media.commands(),
              (Commands{"close MIDI notify", R"(open "C:\Games\Play\bgm.wav" alias MIDI)"}));
    for (const auto& s : media.sent) {
        EXPECT_FALSE(s.hadReply);
        EXPECT_EQ(s.replyLength, 0u);
        EXPECT_EQ(s.callback, 0);
    }
    EXPECT_EQ(module.BgmResult, 101);  // the open's code overwrites the close's
}

TEST(BgmOpen, PathWithBlanksAndNonAsciiTextIsSentAsUtf8) {
    FakeMedia media;
    共用関数 module(media);
    module.BgmOpen(u"/home/a b/\u97f3\u697d/bgm.wav");
    ASSERT_EQ(media.sent.size(), 2u);
    EXPECT_EQ(media.sent[1].command,
              "open \"/home/a b/\xE9\x9F\xB3\xE6\xA5\xBD/bgm.wav\" alias MIDI");
}

TEST(BgmPlay, SendsPlayOnlyWhenTheMusicIsOn) {
    FakeMedia media;
    共用関数 module(media);
    module.BgmResult = 7;
    module.BgmPlay();  // BgmOn is 0
    EXPECT_TRUE(media.sent.empty());
    EXPECT_EQ(module.BgmResult, 7);
    module.BgmOn = 1;
    module.BgmPlay();
    EXPECT_TRUE(media.sent.empty());
    module.BgmOn = -1;
    module.BgmPlay();
    EXPECT_EQ(media.commands(), Commands{"play MIDI notify"});
    EXPECT_EQ(module.BgmResult, 100);
}

TEST(BgmClose, SendsCloseAndStoresItsCode) {
    FakeMedia media;
    共用関数 module(media);
    module.BgmClose();
    EXPECT_EQ(media.commands(), Commands{"close MIDI notify"});
    EXPECT_EQ(module.BgmResult, 100);
}

TEST(PollBgm, AsksForTheModeWithSixteenBlanksAndLength15) {
    FakeMedia media;
    共用関数 module(media);
    PollBgm(module);
    ASSERT_EQ(media.sent.size(), 1u);
    const Sent& s = media.sent[0];
    EXPECT_EQ(s.command, "status MIDI mode");
    EXPECT_TRUE(s.hadReply);
    EXPECT_EQ(s.replyLength, 15u);
    EXPECT_EQ(s.replyBefore, std::string(16, ' '));
    EXPECT_EQ(s.callback, 0);
}

TEST(PollBgm, RestartsWhenStoppedAndOn) {
    FakeMedia media;
    共用関数 module(media);
    module.BgmOn = -1;
    media.statusBytes = std::string("stopped\0", 8);
    PollBgm(module);
    EXPECT_EQ(media.commands(), kRestart);
    EXPECT_EQ(module.BgmResult, 101);  // the play's code, after the seek's
}

TEST(PollBgm, StoppedInAnyLetterCase) {
    for (const char* word : {"STOPPED", "Stopped", "sToPpEd", "stoppeD"}) {
        FakeMedia media;
        共用関数 module(media);
        module.BgmOn = -1;
        media.statusBytes = std::string(word) + '\0';
        PollBgm(module);
        EXPECT_EQ(media.commands(), kRestart) << word;
    }
}

TEST(PollBgm, OnlyTheFirstSevenCharactersCount) {
    for (const std::string& reply :
         {std::string("stoppedxyz\0", 11), std::string("stopped"), std::string("STOPPED ANYWAY"),
          std::string("stopped\0garbage", 15)}) {
        FakeMedia media;
        共用関数 module(media);
        module.BgmOn = -1;
        media.statusBytes = reply;
        PollBgm(module);
        EXPECT_EQ(media.commands(), kRestart) << reply;
    }
}

TEST(PollBgm, OtherModesDoNotRestart) {
    for (const std::string& reply :
         {std::string("playing\0", 8), std::string("paused\0", 7), std::string("not ready\0", 10),
          std::string("stoppe\0", 7), std::string(" stopped\0", 9), std::string("stop\0", 5),
          std::string("seeking\0", 8), std::string("", 0), std::string("\0", 1),
          std::string("st\0pped", 7), std::string("STOPPE", 6)}) {
        FakeMedia media;
        共用関数 module(media);
        module.BgmOn = -1;
        media.statusBytes = reply;
        PollBgm(module);
        EXPECT_EQ(media.commands(), kQueryOnly) << reply;
    }
}

TEST(PollBgm, ReplyOfBlanksOnlyWhenTheQueryFails) {
    // A failing layer that writes nothing leaves the 16 blanks: no restart.
    FakeMedia media;
    共用関数 module(media);
    module.BgmOn = -1;
    module.BgmResult = 5;
    media.statusBytes.clear();
    media.statusCode = 263;
    PollBgm(module);
    EXPECT_EQ(media.commands(), kQueryOnly);
    EXPECT_EQ(module.BgmResult, 5);  // the status code is discarded
}

TEST(PollBgm, StatusCodeIsDiscardedEvenWhenStopped) {
    FakeMedia media;
    共用関数 module(media);
    module.BgmOn = -1;
    media.statusBytes = std::string("stopped\0", 8);
    media.statusCode = 999;
    PollBgm(module);
    EXPECT_EQ(media.commands(), kRestart);
    EXPECT_EQ(module.BgmResult, 101);
}

TEST(PollBgm, MusicOffNeverRestarts) {
    for (const std::int16_t on : {std::int16_t{0}, std::int16_t{1}, std::int16_t{-2},
                                  std::int16_t{32767}, std::int16_t{-32768}}) {
        FakeMedia media;
        共用関数 module(media);
        module.BgmOn = on;
        module.BgmResult = 42;
        media.statusBytes = std::string("stopped\0", 8);
        for (int tick = 0; tick < 5; ++tick) PollBgm(module);
        EXPECT_EQ(media.commands(), Commands(5, "status MIDI mode")) << on;
        EXPECT_EQ(module.BgmResult, 42);
    }
}

TEST(PollBgm, EveryTickQueriesAndEveryStoppedTickRestarts) {
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
}
