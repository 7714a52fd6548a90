// The command-string parser: each command, each malformed form, the replies.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/common/MciCommand.h"

using platform::MciCommand;
using platform::MciVerb;
using platform::parseMciCommand;
namespace mci = platform::mci;

TEST(MciCommand, ParsesEveryFormTheGameAndItsPlayersWrite) {
    const struct {
        const char* text;
        MciVerb verb;
        const char* alias;
        const char* path = "";
        bool notify = false;
        bool hasFrom = false;
        std::uint32_t fromMs = 0;
    } cases[] = {
        {R"(open "C:\Games\Play\bgm.wav" alias MIDI)", MciVerb::Open, "MIDI",
         R"(C:\Games\Play\bgm.wav)"},
        {R"(open "/home/a b/My Game/bgm.wav" alias MIDI)", MciVerb::Open, "MIDI",
         "/home/a b/My Game/bgm.wav"},
        {"open /tmp/bgm.wav alias m", MciVerb::Open, "m", "/tmp/bgm.wav"},
        {"open \"/tmp/\xE9\x9F\xB3\xE6\xA5\xBD/bgm.wav\" alias MIDI", MciVerb::Open, "MIDI",
         "/tmp/\xE9\x9F\xB3\xE6\xA5\xBD/bgm.wav"},
        // The game's own commands, exactly.
        {"close MIDI notify", MciVerb::Close, "MIDI", "", true},
        {"play MIDI notify", MciVerb::Play, "MIDI", "", true},
        {"status MIDI mode", MciVerb::Status, "MIDI"},
        {"seek MIDI to start", MciVerb::Seek, "MIDI"},
        {"play MIDI from 0", MciVerb::Play, "MIDI", "", false, true, 0},
        // Any letter case.
        {R"(OPEN "x.wav" ALIAS Midi)", MciVerb::Open, "Midi", "x.wav"},
        {R"(oPeN "x.wav" aLiAs midi NoTiFy)", MciVerb::Open, "midi", "x.wav", true},
        {"PLAY MIDI NOTIFY", MciVerb::Play, "MIDI", "", true},
        {"Play midi From 0", MciVerb::Play, "midi", "", false, true, 0},
        {"SEEK MIDI TO START", MciVerb::Seek, "MIDI"},
        {"Seek midi To Start", MciVerb::Seek, "midi"},
        {"STATUS MIDI MODE", MciVerb::Status, "MIDI"},
        {"status midi Mode", MciVerb::Status, "midi"},
        {"CLOSE MIDI NOTIFY", MciVerb::Close, "MIDI", "", true},
        {"close midi", MciVerb::Close, "midi"},
        // Options in either order, the largest position, blanks and tabs.
        {"play MIDI notify from 1500", MciVerb::Play, "MIDI", "", true, true, 1500},
        {"play MIDI from 4294967295 notify", MciVerb::Play, "MIDI", "", true, true, 4294967295u},
        {"  \tstatus   MIDI\t mode \t ", MciVerb::Status, "MIDI"},
        {"status \x01\xff mode", MciVerb::Status, "\x01\xff"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        MciCommand m;
        ASSERT_EQ(parseMciCommand(c.text, m), mci::kOk);
        EXPECT_EQ(m.verb, c.verb);
        EXPECT_EQ(m.alias, c.alias);
        EXPECT_EQ(m.path, c.path);
        EXPECT_EQ(m.notify, c.notify);
        EXPECT_EQ(m.hasFrom, c.hasFrom);
        EXPECT_EQ(m.fromMs, c.fromMs);
    }
}

TEST(MciCommand, RejectsEachMalformedFormWithItsCode) {
    const struct {
        const char* text;
        std::int32_t code;
    } cases[] = {
        {"", mci::kMissingCommandString},
        {"   \t ", mci::kMissingCommandString},
        {"stop MIDI", mci::kUnrecognizedCommand},
        {"pause MIDI", mci::kUnrecognizedCommand},
        {"playy MIDI", mci::kUnrecognizedCommand},
        {"\"play\" MIDI", mci::kUnrecognizedCommand},
        {"statusMIDI mode", mci::kUnrecognizedCommand},
        {"open", mci::kFilenameRequired},
        {"open \"\" alias MIDI", mci::kFilenameRequired},
        {"open \"x.wav\"", mci::kMissingParameter},
        {"open \"x.wav\" alias", mci::kMissingDeviceName},
        {"play", mci::kMissingDeviceName},
        {"play MIDI from", mci::kMissingParameter},
        {"seek", mci::kMissingDeviceName},
        {"seek MIDI", mci::kMissingParameter},
        {"seek MIDI to", mci::kMissingParameter},
        {"status", mci::kMissingDeviceName},
        {"status MIDI", mci::kMissingParameter},
        {"close", mci::kMissingDeviceName},
        {"open \"x.wav\" type waveaudio alias MIDI", mci::kUnrecognizedKeyword},
        {"open \"x.wav\" alias MIDI wait", mci::kUnrecognizedKeyword},
        {"open \"x.wav\" \"alias\" MIDI", mci::kUnrecognizedKeyword},
        {"play MIDI wait", mci::kUnrecognizedKeyword},
        {"play MIDI to 5", mci::kUnrecognizedKeyword},
        {"seek MIDI to end", mci::kUnrecognizedKeyword},
        {"seek MIDI start", mci::kUnrecognizedKeyword},
        {"status MIDI position", mci::kUnrecognizedKeyword},
        {"status MIDI mode notify", mci::kUnrecognizedKeyword},
        {"status MIDI mode mode", mci::kUnrecognizedKeyword},
        {"close MIDI now", mci::kUnrecognizedKeyword},
        {"play MIDI notify notify", mci::kDuplicateFlags},
        {"play MIDI from 0 from 1", mci::kDuplicateFlags},
        {"close MIDI notify NOTIFY", mci::kDuplicateFlags},
        {"seek MIDI to start notify notify", mci::kDuplicateFlags},
        {"play MIDI from -1", mci::kBadInteger},
        {"play MIDI from 1x", mci::kBadInteger},
        {"play MIDI from 0x10", mci::kBadInteger},
        {"play MIDI from 4294967296", mci::kBadInteger},
        {"play MIDI from 99999999999999999999", mci::kBadInteger},
        {"play MIDI from \"0\"", mci::kBadInteger},
        {"play MIDI from notify", mci::kBadInteger},
        {"open \"C:\\Games\\bgm.wav alias MIDI", mci::kNoClosingQuote},
        {"open \"", mci::kNoClosingQuote},
        {"open \"x.wav\"alias MIDI", mci::kExtraCharacters},
        {"open x\"y.wav alias MIDI", mci::kExtraCharacters},
        {"status \"MIDI\" mode", mci::kInvalidDeviceName},
        {"status MIDI \"mode\"", mci::kUnrecognizedKeyword},
        // A path with blanks must be quoted.
        {"open C:\\My Games\\bgm.wav alias MIDI", mci::kUnrecognizedKeyword},
        {"open /home/a b/bgm.wav alias MIDI", mci::kUnrecognizedKeyword},
    };
    for (const auto& c : cases) {
        MciCommand m;
        EXPECT_EQ(parseMciCommand(c.text, m), c.code) << c.text;
    }
    // Every control and high byte at once: an error, not a crash.
    std::string all;
    for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
    MciCommand m;
    (void)parseMciCommand(all, m);
}

// The reply and its null character fit in `length` bytes or nothing but an
// empty string is written; nothing is ever written past `length`.
TEST(MciReply, FitsWithItsNullCharacterOrLeavesAnEmptyString) {
    for (std::uint32_t len = 0; len <= 16; ++len) {
        SCOPED_TRACE(len);
        char buf[16];
        std::memset(buf, 'x', sizeof buf);
        std::string want(16, 'x');
        if (len >= 8) {
            want.replace(0, 8, std::string("stopped\0", 8));
        } else if (len > 0) {
            want[0] = '\0';
        }
        EXPECT_EQ(platform::writeMciReply(buf, len, "stopped"),
                  len >= 8 ? mci::kOk : mci::kParamOverflow);
        EXPECT_EQ(std::string(buf, sizeof buf), want);
    }
    EXPECT_EQ(platform::writeMciReply(nullptr, 0, "stopped"), mci::kOk);
    EXPECT_EQ(platform::writeMciReply(nullptr, 100, "stopped"), mci::kOk);
}
