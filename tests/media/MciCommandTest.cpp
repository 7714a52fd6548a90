// The command-string parser: each command, each malformed form, the replies.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/MciCommand.h"

using platform::MciCommand;
using platform::MciVerb;
using platform::parseMciCommand;
namespace mci = platform::mci;

namespace {

// Views into `text`: call it with string literals, which outlive the result.
MciCommand parsed(std::string_view text) {
    MciCommand c;
    EXPECT_EQ(parseMciCommand(text, c), mci::kOk) << text;
    return c;
}

std::int32_t error(const std::string& text) {
    MciCommand c;
    return parseMciCommand(text, c);
}

}  // namespace

TEST(MciCommand, OpenWithQuotedPathAndAlias) {
    const auto c = parsed(R"(open "C:\Games\Play\bgm.wav" alias MIDI)");
    EXPECT_EQ(c.verb, MciVerb::Open);
    EXPECT_EQ(c.path, R"(C:\Games\Play\bgm.wav)");
    EXPECT_EQ(c.alias, "MIDI");
    EXPECT_FALSE(c.notify);
}

TEST(MciCommand, OpenPathWithBlanksInQuotes) {
    const auto c = parsed(R"(open "/home/a b/My Game/bgm.wav" alias MIDI)");
    EXPECT_EQ(c.path, "/home/a b/My Game/bgm.wav");
    EXPECT_EQ(c.alias, "MIDI");
}

TEST(MciCommand, OpenUnquotedPathOfOneWord) {
    const auto c = parsed("open /tmp/bgm.wav alias m");
    EXPECT_EQ(c.path, "/tmp/bgm.wav");
    EXPECT_EQ(c.alias, "m");
}

TEST(MciCommand, OpenKeepsNonAsciiPathBytes) {
    const auto c = parsed("open \"/tmp/\xE9\x9F\xB3\xE6\xA5\xBD/bgm.wav\" alias MIDI");
    EXPECT_EQ(c.path, "/tmp/\xE9\x9F\xB3\xE6\xA5\xBD/bgm.wav");
}

TEST(MciCommand, EveryCommandInAnyLetterCase) {
    EXPECT_EQ(parsed(R"(OPEN "x.wav" ALIAS Midi)").verb, MciVerb::Open);
    EXPECT_EQ(parsed(R"(oPeN "x.wav" aLiAs midi NoTiFy)").notify, true);
    EXPECT_EQ(parsed("PLAY MIDI NOTIFY").verb, MciVerb::Play);
    EXPECT_EQ(parsed("Play midi From 0").fromMs, 0u);
    EXPECT_EQ(parsed("SEEK MIDI TO START").verb, MciVerb::Seek);
    EXPECT_EQ(parsed("Seek midi To Start").verb, MciVerb::Seek);
    EXPECT_EQ(parsed("STATUS MIDI MODE").verb, MciVerb::Status);
    EXPECT_EQ(parsed("status midi Mode").verb, MciVerb::Status);
    EXPECT_EQ(parsed("CLOSE MIDI NOTIFY").verb, MciVerb::Close);
    EXPECT_EQ(parsed("close midi").verb, MciVerb::Close);
}

TEST(MciCommand, TheGamesOwnCommandsExactly) {
    auto c = parsed("close MIDI notify");
    EXPECT_EQ(c.verb, MciVerb::Close);
    EXPECT_EQ(c.alias, "MIDI");
    EXPECT_TRUE(c.notify);

    c = parsed("play MIDI notify");
    EXPECT_EQ(c.verb, MciVerb::Play);
    EXPECT_FALSE(c.hasFrom);
    EXPECT_TRUE(c.notify);

    c = parsed("status MIDI mode");
    EXPECT_EQ(c.verb, MciVerb::Status);
    EXPECT_EQ(c.alias, "MIDI");

    c = parsed("seek MIDI to start");
    EXPECT_EQ(c.verb, MciVerb::Seek);
    EXPECT_FALSE(c.notify);

    c = parsed("play MIDI from 0");
    EXPECT_TRUE(c.hasFrom);
    EXPECT_EQ(c.fromMs, 0u);
    EXPECT_FALSE(c.notify);
}

TEST(MciCommand, PlayOptionsInEitherOrder) {
    auto c = parsed("play MIDI notify from 1500");
    EXPECT_TRUE(c.notify);
    EXPECT_TRUE(c.hasFrom);
    EXPECT_EQ(c.fromMs, 1500u);
    c = parsed("play MIDI from 4294967295 notify");
    EXPECT_EQ(c.fromMs, 4294967295u);
}

TEST(MciCommand, BlanksAndTabsAroundWords) {
    const auto c = parsed("  \tstatus   MIDI\t mode \t ");
    EXPECT_EQ(c.verb, MciVerb::Status);
    EXPECT_EQ(c.alias, "MIDI");
}

TEST(MciCommand, EmptyCommands) {
    EXPECT_EQ(error(""), mci::kMissingCommandString);
    EXPECT_EQ(error("   \t "), mci::kMissingCommandString);
}

TEST(MciCommand, UnknownCommands) {
    EXPECT_EQ(error("stop MIDI"), mci::kUnrecognizedCommand);
    EXPECT_EQ(error("pause MIDI"), mci::kUnrecognizedCommand);
    EXPECT_EQ(error("playy MIDI"), mci::kUnrecognizedCommand);
    EXPECT_EQ(error("\"play\" MIDI"), mci::kUnrecognizedCommand);
    EXPECT_EQ(error("statusMIDI mode"), mci::kUnrecognizedCommand);
}

TEST(MciCommand, MissingWords) {
    EXPECT_EQ(error("open"), mci::kFilenameRequired);
    EXPECT_EQ(error("open \"\" alias MIDI"), mci::kFilenameRequired);
    EXPECT_EQ(error("open \"x.wav\""), mci::kMissingParameter);
    EXPECT_EQ(error("open \"x.wav\" alias"), mci::kMissingDeviceName);
    EXPECT_EQ(error("play"), mci::kMissingDeviceName);
    EXPECT_EQ(error("play MIDI from"), mci::kMissingParameter);
    EXPECT_EQ(error("seek"), mci::kMissingDeviceName);
    EXPECT_EQ(error("seek MIDI"), mci::kMissingParameter);
    EXPECT_EQ(error("seek MIDI to"), mci::kMissingParameter);
    EXPECT_EQ(error("status"), mci::kMissingDeviceName);
    EXPECT_EQ(error("status MIDI"), mci::kMissingParameter);
    EXPECT_EQ(error("close"), mci::kMissingDeviceName);
}

TEST(MciCommand, UnknownOrMisplacedWords) {
    EXPECT_EQ(error("open \"x.wav\" type waveaudio alias MIDI"), mci::kUnrecognizedKeyword);
    EXPECT_EQ(error("open \"x.wav\" alias MIDI wait"), mci::kUnrecognizedKeyword);
    EXPECT_EQ(error("open \"x.wav\" \"alias\" MIDI"), mci::kUnrecognizedKeyword);
    EXPECT_EQ(error("play MIDI wait"), mci::kUnrecognizedKeyword);
    EXPECT_EQ(error("play MIDI to 5"), mci::kUnrecognizedKeyword);
    EXPECT_EQ(error("seek MIDI to end"), mci::kUnrecognizedKeyword);
    EXPECT_EQ(error("seek MIDI start"), mci::kUnrecognizedKeyword);
    EXPECT_EQ(error("status MIDI position"), mci::kUnrecognizedKeyword);
    EXPECT_EQ(error("status MIDI mode notify"), mci::kUnrecognizedKeyword);
    EXPECT_EQ(error("status MIDI mode mode"), mci::kUnrecognizedKeyword);
    EXPECT_EQ(error("close MIDI now"), mci::kUnrecognizedKeyword);
}

TEST(MciCommand, RepeatedWords) {
    EXPECT_EQ(error("play MIDI notify notify"), mci::kDuplicateFlags);
    EXPECT_EQ(error("play MIDI from 0 from 1"), mci::kDuplicateFlags);
    EXPECT_EQ(error("close MIDI notify NOTIFY"), mci::kDuplicateFlags);
    EXPECT_EQ(error("seek MIDI to start notify notify"), mci::kDuplicateFlags);
}

TEST(MciCommand, BadPositions) {
    EXPECT_EQ(error("play MIDI from -1"), mci::kBadInteger);
    EXPECT_EQ(error("play MIDI from 1x"), mci::kBadInteger);
    EXPECT_EQ(error("play MIDI from 0x10"), mci::kBadInteger);
    EXPECT_EQ(error("play MIDI from 4294967296"), mci::kBadInteger);
    EXPECT_EQ(error("play MIDI from 99999999999999999999"), mci::kBadInteger);
    EXPECT_EQ(error("play MIDI from \"0\""), mci::kBadInteger);
    EXPECT_EQ(error("play MIDI from notify"), mci::kBadInteger);
}

TEST(MciCommand, QuotationMarks) {
    EXPECT_EQ(error("open \"C:\\Games\\bgm.wav alias MIDI"), mci::kNoClosingQuote);
    EXPECT_EQ(error("open \""), mci::kNoClosingQuote);
    EXPECT_EQ(error("open \"x.wav\"alias MIDI"), mci::kExtraCharacters);
    EXPECT_EQ(error("open x\"y.wav alias MIDI"), mci::kExtraCharacters);
    EXPECT_EQ(error("status \"MIDI\" mode"), mci::kInvalidDeviceName);
    EXPECT_EQ(error("status MIDI \"mode\""), mci::kUnrecognizedKeyword);
}

TEST(MciCommand, UnquotedPathWithBlanksIsAnError) {
    EXPECT_EQ(error("open C:\\My Games\\bgm.wav alias MIDI"), mci::kUnrecognizedKeyword);
    EXPECT_EQ(error("open /home/a b/bgm.wav alias MIDI"), mci::kUnrecognizedKeyword);
}

TEST(MciCommand, ControlAndHighBytesDoNotCrash) {
    std::string all;
    for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
    MciCommand cmd;
    (void)parseMciCommand(all, cmd);
    (void)parseMciCommand("status \x01\xff mode", cmd);
    EXPECT_EQ(parseMciCommand("status \x01\xff mode", cmd), mci::kOk);
    EXPECT_EQ(cmd.alias, "\x01\xff");
}

TEST(MciReply, FitsWithItsNullCharacter) {
    char buf[16];
    std::memset(buf, ' ', sizeof buf);
    EXPECT_EQ(platform::writeMciReply(buf, 15, "stopped"), mci::kOk);
    EXPECT_STREQ(buf, "stopped");
    // The rest of the buffer is left as it was.
    EXPECT_EQ(buf[8], ' ');
    EXPECT_EQ(buf[15], ' ');
}

TEST(MciReply, ExactLength) {
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(platform::writeMciReply(buf, 8, "stopped"), mci::kOk);
    EXPECT_STREQ(buf, "stopped");
}

TEST(MciReply, NeverPastTheLength) {
    for (std::uint32_t len = 1; len <= 7; ++len) {
        char buf[16];
        std::memset(buf, 'x', sizeof buf);
        EXPECT_EQ(platform::writeMciReply(buf, len, "stopped"), mci::kParamOverflow) << len;
        EXPECT_EQ(buf[0], '\0');
        for (std::uint32_t i = 1; i < sizeof buf; ++i) EXPECT_EQ(buf[i], 'x') << len << " " << i;
    }
}

TEST(MciReply, ZeroLengthAndNullBuffer) {
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(platform::writeMciReply(buf, 0, "stopped"), mci::kParamOverflow);
    EXPECT_EQ(buf[0], 'x');
    EXPECT_EQ(platform::writeMciReply(nullptr, 0, "stopped"), mci::kOk);
    EXPECT_EQ(platform::writeMciReply(nullptr, 100, "stopped"), mci::kOk);
}
