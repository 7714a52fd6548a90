#pragma once
// Text and the small value conventions that the game code shares with the
// platform: UTF-16 text (every length and position counts UTF-16 units, and
// code page 932 decodes entirely into the BMP), and -1/0 booleans.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

using Text = std::u16string;
using TextView = std::u16string_view;

// Stored and compared booleans are -1 (true) and 0 (false); any other
// non-zero value assigned to a flag counts as true.
using Boolean = std::int16_t;
inline constexpr Boolean True = -1;
inline constexpr Boolean False = 0;
inline constexpr Boolean toBoolean(bool b) {
    return b ? True : False;
}

Text fromUtf8(std::string_view utf8);
std::string toUtf8(TextView text);

// A number as its plain decimal text: 3 -> "3", -12 -> "-12".
Text Str(long long n);

// True when `text` begins with `prefix`, compared exactly. A text shorter
// than the prefix never matches.
inline bool startsWith(TextView text, TextView prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

}  // namespace platform
