#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/system/Text.h"
#include "scene/ScriptLine.h"

TEST(ScriptLine, KindsAreTestedInTheirOrder) {
    using K = scene::LineKind;
    const std::pair<const char16_t*, K> cases[] = {
        {u"tugi", K::kChooser}, {u"tugi and more", K::kChooser},
        {u"Tugi", K::kText},    {u" tugi", K::kText},
        {u"tug", K::kText},     {u"--", K::kRepeat},
        {u"---1", K::kRepeat},  {u">end", K::kTitle},
        {u">en", K::kText},     {u"-", K::kNewPage},
        {u"-D", K::kNewPage},   {u"", K::kEmpty},
        {u"   ", K::kText},     {u">game", K::kText},
        {u">ive", K::kText},
    };
    for (const auto& [line, kind] : cases) EXPECT_EQ(scene::classify(line), kind);
}

namespace {

void expectRepeatCountsReadSignedDecimalsAndNothingElse() {
    using R = scene::RepeatCount;
    auto value = [](const char16_t* t) { return scene::parseRepeatCount(t); };
    EXPECT_EQ(value(u"2").value, 2);
    EXPECT_EQ(value(u"-1").value, -1);
    EXPECT_EQ(value(u" +3 ").value, 3);
    EXPECT_EQ(value(u"2.5").value, 2.5);
    EXPECT_EQ(value(u"1e3").value, 1000);
    EXPECT_EQ(value(u"1.5e1").value, 15);
    EXPECT_EQ(value(u".5").value, 0.5);
    EXPECT_EQ(value(u"5.").value, 5);
    EXPECT_EQ(value(u"007").value, 7);
    for (const char16_t* bad : {u"", u" ", u"x", u"2x", u"--", u"1e", u".", u"+", u"2 3", u"１",
                                u"nan", u"inf", u"1,5", u"0x10", u"+-1"})
        EXPECT_EQ(value(bad).status, R::kNotANumber) << platform::toUtf8(bad);
    // Too large for a double, however it is written, and too small for one.
    const std::u16string zeros(400, u'0');
    for (const std::u16string& big : std::vector<std::u16string>{
             u"1e400", u"-1e400", u"1e99999999999999999999", u"1" + zeros + u"e-10", u"0.0001e313"})
        EXPECT_EQ(value(big.c_str()).status, R::kOverflow) << platform::toUtf8(big);
    for (const std::u16string& small : std::vector<std::u16string>{
             u"1e-400", u"-1e-400", u"9" + zeros + u"e-800", u"1e-99999999999999999999"}) {
        EXPECT_EQ(value(small.c_str()).status, R::kOk) << platform::toUtf8(small);
        EXPECT_EQ(value(small.c_str()).value, 0) << platform::toUtf8(small);
    }
    EXPECT_EQ(value((u"0." + zeros + u"1e400").c_str()).value, 0.1);
    EXPECT_EQ(value(u"0e99999999999999999999").value, 0);
}

}  // namespace

TEST(ScriptLine, RepeatCountsReadSignedDecimalsAndNothingElse) {
    expectRepeatCountsReadSignedDecimalsAndNothingElse();
}

// The toolkit switches the program to the user's locale as it starts. Under
// one whose decimal mark is a comma, the C library stops reading "1.5e1" at
// the point; the repeat count must be 15 all the same.
TEST(ScriptLine, RepeatCountsReadTheSameUnderACommaLocale) {
#ifndef PIROKKO_COMMA_LOCALE_DIR
    GTEST_SKIP() << "no comma locale in the build (needs localedef and the locales package)";
#else
    const std::string before = std::setlocale(LC_ALL, nullptr);
    setenv("LOCPATH", PIROKKO_COMMA_LOCALE_DIR, 1);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_EQ(std::strtod("1.5e1", nullptr), 1);
    expectRepeatCountsReadSignedDecimalsAndNothingElse();
    std::setlocale(LC_ALL, before.c_str());
    unsetenv("LOCPATH");
#endif
}
