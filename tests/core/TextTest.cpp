// UTF-8 at the edges of the program (the command line, file names, the
// words of messages): what does not decode is marked and nothing after it
// is lost.

#include <gtest/gtest.h>

#include "platform/system/Text.h"

namespace {

using platform::fromUtf8;
using platform::toUtf8;

TEST(Text, Utf8RoundTripsEveryPlane) {
    const std::string samples[] = {"", "plain", "ＭＳ Ｐゴシック", "é", "🦊 and ∑", "\x7f"};
    for (const std::string& s : samples) EXPECT_EQ(toUtf8(fromUtf8(s)), s) << s;
    EXPECT_EQ(fromUtf8("🦊"), u"\U0001F98A");
}

TEST(Text, BytesThatAreNotUtf8BecomeOneMarkEachAndDecodingGoesOn) {
    const struct {
        const char* what;
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"a lone continuation byte", "a\x80z", u"a\uFFFDz"},
        {"a lead cut off by the end", "a\xE3\x81", u"a\uFFFD"},
        {"a lead followed by ASCII",
         "\xE3"
         "a",
         u"\uFFFDa"},
        {"an overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"an overlong three-byte form", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"an encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"code page 932 read as UTF-8", "\x82\xA0", u"\uFFFD\uFFFD"},
    };
    for (const auto& c : cases) EXPECT_EQ(fromUtf8(c.bytes), c.text) << c.what;
}

TEST(Text, ALoneSurrogateHasNoUtf8FormAndBecomesAMark) {
    EXPECT_EQ(toUtf8(u"a\xD800z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(toUtf8(u"\xDC00"), "\xEF\xBF\xBD");
}

}  // namespace
