#include <gtest/gtest.h>

#include "scene/ScriptLine.h"

using scene::LineKind;

TEST(ScriptLine, KindsAreTestedInTheirOrder) {
    EXPECT_EQ(scene::classify(u"tugi"), LineKind::kChooser);
    EXPECT_EQ(scene::classify(u"tugi and more"), LineKind::kChooser);
    EXPECT_EQ(scene::classify(u"Tugi"), LineKind::kText);
    EXPECT_EQ(scene::classify(u" tugi"), LineKind::kText);
    EXPECT_EQ(scene::classify(u"tug"), LineKind::kText);
    EXPECT_EQ(scene::classify(u"--"), LineKind::kRepeat);
    EXPECT_EQ(scene::classify(u"---1"), LineKind::kRepeat);
    EXPECT_EQ(scene::classify(u">end"), LineKind::kTitle);
    EXPECT_EQ(scene::classify(u">en"), LineKind::kText);
    EXPECT_EQ(scene::classify(u"-"), LineKind::kNewPage);
    EXPECT_EQ(scene::classify(u"-D"), LineKind::kNewPage);
    EXPECT_EQ(scene::classify(u""), LineKind::kEmpty);
    EXPECT_EQ(scene::classify(u"   "), LineKind::kText);
    EXPECT_EQ(scene::classify(u">game"), LineKind::kText);
    EXPECT_EQ(scene::classify(u">ive"), LineKind::kText);
}

TEST(ScriptLine, IveEndsAPageButDoesNotHoldTheTimer) {
    for (const char16_t* both : {u"", u"-", u"--2", u">end", u">game x", u"tugi"}) {
        EXPECT_TRUE(scene::endsPageBefore(both));
        EXPECT_TRUE(scene::holdsTimer(both));
    }
    EXPECT_TRUE(scene::endsPageBefore(u">ive"));
    EXPECT_FALSE(scene::holdsTimer(u">ive"));
    for (const char16_t* neither : {u"text", u" -", u">gam", u"ive"}) {
        EXPECT_FALSE(scene::endsPageBefore(neither));
        EXPECT_FALSE(scene::holdsTimer(neither));
    }
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
    for (const char16_t* bad : {u"", u" ", u"x", u"2x", u"--", u"1e", u".", u"+", u"2 3", u"１"})
        EXPECT_EQ(value(bad).status, R::kNotANumber);
    EXPECT_EQ(value(u"1e400").status, R::kOverflow);
    EXPECT_EQ(value(u"1e-400").status, R::kOk);
}
