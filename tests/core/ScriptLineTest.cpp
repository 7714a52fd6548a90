#include <gtest/gtest.h>

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

TEST(ScriptLine, RepeatCountsReadSignedDecimalsAndNothingElse) {
    using R = scene::RepeatCount;
    auto value = [](const char16_t* t) { return scene::parseRepeatCount(t); };
    EXPECT_EQ(value(u"2").value, 2);
    EXPECT_EQ(value(u"-1").value, -1);
    EXPECT_EQ(value(u" +3 ").value, 3);
    EXPECT_EQ(value(u"2.5").value, 2.5);
    EXPECT_EQ(value(u"1e3").value, 1000);
    EXPECT_EQ(value(u"007").value, 7);
    for (const char16_t* bad :
         {u"", u" ", u"x", u"2x", u"--", u"1e", u".", u"+", u"2 3", u"１", u"nan", u"inf"})
        EXPECT_EQ(value(bad).status, R::kNotANumber);
    EXPECT_EQ(value(u"1e400").status, R::kOverflow);
    EXPECT_EQ(value(u"1e-400").status, R::kOk);
}
