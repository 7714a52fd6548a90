#pragma once
// The command-string parser of the media layer: turns the text given to
// MediaCommands::mciSendStringA into a command, or into an error code.
//
// Grammar (keywords and the command word in any letter case; words are
// separated by blanks or tabs, and leading and trailing blanks are ignored):
//
//   open <path> alias <name> [notify]      <path> is "quoted text" or one word
//   play <name> [from <position>] [notify] the two options in either order
//   seek <name> to start [notify]
//   status <name> mode
//   close <name> [notify]
//
// <name> is one unquoted word; names compare in any letter case.
// <position> is a decimal count of milliseconds, 0 to 4294967295.
// Anything else is an error: an unknown command word or keyword, a missing or
// repeated word, an unclosed quotation mark, a quotation mark inside a word or
// a word glued to a closing quotation mark, a quoted word other than the path,
// an empty path. An unquoted path cannot hold a blank, so the words that
// follow it are then out of place.
//
// Parsing allocates nothing: the views in MciCommand point into the text.

#include <cstdint>
#include <string_view>

namespace platform {

// The error codes, numbered as the multimedia library numbers them.
namespace mci {
inline constexpr std::int32_t kOk = 0;
inline constexpr std::int32_t kErrBase = 256;
inline constexpr std::int32_t kUnrecognizedKeyword = kErrBase + 3;
inline constexpr std::int32_t kUnrecognizedCommand = kErrBase + 5;
inline constexpr std::int32_t kHardware = kErrBase + 6;
inline constexpr std::int32_t kInvalidDeviceName = kErrBase + 7;
inline constexpr std::int32_t kOutOfMemory = kErrBase + 8;
inline constexpr std::int32_t kMissingCommandString = kErrBase + 11;
inline constexpr std::int32_t kParamOverflow = kErrBase + 12;  // reply does not fit
inline constexpr std::int32_t kBadInteger = kErrBase + 14;
inline constexpr std::int32_t kMissingParameter = kErrBase + 17;
inline constexpr std::int32_t kFileNotFound = kErrBase + 19;
inline constexpr std::int32_t kOutOfRange = kErrBase + 26;
inline constexpr std::int32_t kDuplicateAlias = kErrBase + 33;
inline constexpr std::int32_t kMissingDeviceName = kErrBase + 36;
inline constexpr std::int32_t kNoClosingQuote = kErrBase + 38;
inline constexpr std::int32_t kDuplicateFlags = kErrBase + 39;
inline constexpr std::int32_t kInvalidFile = kErrBase + 40;
inline constexpr std::int32_t kFilenameRequired = kErrBase + 48;
inline constexpr std::int32_t kExtraCharacters = kErrBase + 49;
}  // namespace mci

enum class MciVerb : std::uint8_t { Open, Play, Seek, Status, Close };

struct MciCommand {
    MciVerb verb = MciVerb::Status;
    std::string_view alias;  // the device name as written
    std::string_view path;   // open only: the path without its quotation marks
    bool hasFrom = false;    // play only
    std::uint32_t fromMs = 0;
    bool notify = false;
};

// Parses `text`; returns mci::kOk and fills `out`, or returns an error code
// (and `out` is unspecified).
std::int32_t parseMciCommand(std::string_view text, MciCommand& out);

// ASCII comparison in any letter case.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// Writes `text` and a terminating null character into `reply`, never past
// `length` characters. When it does not fit (or length is 0) nothing but a
// null character at reply[0] (when length > 0) is written and
// mci::kParamOverflow is returned. A null `reply` receives nothing and gives kOk.
std::int32_t writeMciReply(char* reply, std::uint32_t length, std::string_view text);

}  // namespace platform
