#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Errors.h"
#include "support/GameFolder.h"

using Rows = std::vector<std::string>;

namespace {

const std::string kEnd = "\u25BC";   // ▼
const std::string kLine = "\u25BD";  // ▽

// A folder whose opening scene is the given script.
struct Scene {
    explicit Scene(const std::vector<std::string>& lines) {
        folder.script("opn", lines);
        folder.picture("opn");
    }
    GameFolder folder;
};

std::vector<std::string> numbered(int n) {
    std::vector<std::string> lines;
    for (int i = 1; i <= n; ++i) lines.push_back("L" + std::to_string(i));
    return lines;
}

}  // namespace

TEST(ScenePlayer, PlaysTheWorkedExampleRowByRow) {
    Scene s({"A", "B", "", "C", "-D", "E", "tugi"});
    TestGame g(s.folder);
    auto& f = *g.fom;
    g.start();
    EXPECT_EQ(g.rows(), (Rows{"", "A"}));
    EXPECT_EQ(g.mark(), "");
    EXPECT_TRUE(f.TimSay.Enabled());

    g.tick(f.TimSay);
    EXPECT_EQ(g.rows(), (Rows{"", "A", "B" + kEnd}));
    EXPECT_FALSE(f.TimSay.Enabled());

    g.click();  // the empty line clears the page and shows C at once
    EXPECT_EQ(g.rows(), (Rows{"", "C" + kEnd}));
    EXPECT_TRUE(f.TimSay.Enabled());

    g.tick(f.TimSay);  // -D holds the timer
    EXPECT_EQ(g.rows(), (Rows{"", "C" + kEnd}));
    EXPECT_EQ(utf8(f.CurLine), "-D");

    g.click();
    EXPECT_EQ(g.rows(), (Rows{"", "-D"}));
    EXPECT_EQ(g.mark(), "");

    g.tick(f.TimSay);
    EXPECT_EQ(g.rows(), (Rows{"", "-D", "E" + kEnd}));
    EXPECT_FALSE(f.TimSay.Enabled());
    EXPECT_FALSE(f.PicCom.Visible());

    g.click();
    EXPECT_EQ(g.rows(), (Rows{"", "-D", "E" + kEnd}));
    EXPECT_TRUE(f.PicCom.Visible());
    for (int i = 0; i <= 2; ++i) EXPECT_TRUE(f.Opt(i).Visible());
    EXPECT_TRUE(f.TimSay.Enabled());  // re-enabled by the click, held by the look-ahead
    EXPECT_FALSE(f.Files.isOpen(f.FileNo));

    g.click();  // ignored while the chooser is open
    g.tick(f.TimSay);
    EXPECT_EQ(g.rows(), (Rows{"", "-D", "E" + kEnd}));
}

TEST(ScenePlayer, TwentyLinesFillAPageOfFifteenThenRollOnAfterAClick) {
    Scene s(numbered(20));
    TestGame g(s.folder);
    auto& f = *g.fom;
    g.start();
    EXPECT_EQ(g.rows(), (Rows{"", "L1"}));
    g.timers.advance(1400);  // lines 2 to 15 at 100 ms each
    ASSERT_EQ(g.rows().size(), 16u);
    EXPECT_EQ(g.rows().back(), "L15" + kEnd);
    EXPECT_FALSE(f.TimSay.Enabled());
    g.timers.advance(1000);
    EXPECT_EQ(g.rows().size(), 16u);

    g.click();
    EXPECT_EQ(g.rows(), (Rows{"", "L16"}));
    g.timers.advance(400);
    EXPECT_EQ(g.rows(), (Rows{"", "L16", "L17", "L18", "L19", "L20" + kEnd}));
    EXPECT_FALSE(f.PicCom.Visible());
    g.click();
    EXPECT_TRUE(f.PicCom.Visible());
}

TEST(ScenePlayer, APageThatFillsOnAClickPassesOnAtTheNextTick) {
    Scene s(numbered(17));
    TestGame g(s.folder);
    g.start();
    for (int i = 0; i < 14; ++i) g.click();  // line 15 arrives by a click
    EXPECT_EQ(g.rows().back(), "L15" + kEnd);
    EXPECT_TRUE(g.fom->TimSay.Enabled());
    g.timers.advance(100);
    EXPECT_EQ(g.rows(), (Rows{"", "L16"}));
}

TEST(ScenePlayer, RepeatLinesShowSeveralLinesAtOnceAndNeverShowThemselves) {
    Scene s({"A", "--2", "B", "C", "D", "--0", "E", "tugi"});
    TestGame g(s.folder);
    g.start();
    EXPECT_EQ(g.rows(), (Rows{"", "A" + kEnd}));  // the repeat line ends the page before it
    g.click();
    EXPECT_EQ(g.rows(), (Rows{"", "B", "C"}));
    g.timers.advance(100);
    EXPECT_EQ(g.rows(), (Rows{"", "B", "C", "D" + kEnd}));
    g.click();  // count 0 consumes the click and changes nothing
    EXPECT_EQ(g.rows(), (Rows{"", "B", "C", "D" + kEnd}));
    g.timers.advance(100);
    EXPECT_EQ(g.rows(), (Rows{"", "E" + kEnd}));
}

TEST(ScenePlayer, ARepeatRunNestedInAnotherKeepsItsOwnCount) {
    // The outer run's second step acts on the inner repeat line; the outer run
    // still makes all five of its steps, seven lines in all.
    Scene s({"--5", "a", "--2", "b", "c", "d", "e", "f", "g", "h", "tugi"});
    TestGame g(s.folder);
    g.start();
    // "a" ends its page (a repeat line follows); the inner run's b and c open
    // the next page, and the outer run goes on with d, e and f.
    EXPECT_EQ(g.rows(), (Rows{"", "b", "c", "d", "e", "f"}));
    EXPECT_EQ(utf8(g.fom->CurLine), "g");
}

TEST(ScenePlayer, NegativeAndFractionalCountsAdvanceOnlyWholeSteps) {
    Scene s({"---1", "A", "--2.5", "B", "C", "D", "tugi"});
    TestGame g(s.folder);
    g.start();
    EXPECT_EQ(g.rows(), (Rows{""}));  // nothing shown: the first line advanced nothing
    g.click();
    EXPECT_EQ(g.rows(), (Rows{"", "A" + kEnd}));
    g.click();
    EXPECT_EQ(g.rows(), (Rows{"", "B", "C"}));
}

TEST(ScenePlayer, GameAndIveLinesAreShownAsTextAfterEndingThePageBeforeThem) {
    Scene s({"A", ">ive one", "B", ">game two", "tugi"});
    TestGame g(s.folder);
    auto& f = *g.fom;
    g.start();
    EXPECT_EQ(g.rows(), (Rows{"", "A" + kEnd}));
    // The scene's start counts as a click: the timer runs, and >ive holds nothing.
    g.tick(f.TimSay);
    EXPECT_EQ(g.rows(), (Rows{"", ">ive one"}));
    g.tick(f.TimSay);
    EXPECT_EQ(g.rows(), (Rows{"", ">ive one", "B" + kEnd}));
    EXPECT_FALSE(f.TimSay.Enabled());
    g.click();
    EXPECT_EQ(g.rows(), (Rows{"", ">game two" + kEnd}));
}

TEST(ScenePlayer, APageEndBeforeIveReachedByATickWaitsForAClick) {
    Scene s({"A", "B", ">ive", "C", "tugi"});
    TestGame g(s.folder);
    auto& f = *g.fom;
    g.start();
    g.timers.advance(100);
    EXPECT_EQ(g.rows(), (Rows{"", "A", "B" + kEnd}));
    g.timers.advance(1000);
    EXPECT_EQ(g.rows(), (Rows{"", "A", "B" + kEnd}));
    g.click();
    EXPECT_EQ(g.rows(), (Rows{"", ">ive"}));
    g.tick(f.TimSay);
    EXPECT_EQ(g.rows(), (Rows{"", ">ive", "C" + kEnd}));
}

TEST(ScenePlayer, AClickThatReachesAnIvePageEndLetsTheNextTickShowIt) {
    Scene s({"A", "B", ">ive", "tugi"});
    TestGame g(s.folder);
    g.start();
    g.click();
    EXPECT_EQ(g.rows(), (Rows{"", "A", "B" + kEnd}));
    g.timers.advance(100);
    EXPECT_EQ(g.rows(), (Rows{"", ">ive" + kEnd}));
}

TEST(ScenePlayer, WithAZeroIntervalEveryLineWaitsWithOneHollowMark) {
    Scene s({"A", "B", "C", "tugi"});
    TestGame g(s.folder);
    g.fom->TimSay.setInterval(0);
    g.start();
    EXPECT_EQ(g.rows(), (Rows{"", "A" + kLine}));
    g.click();
    EXPECT_EQ(g.rows(), (Rows{"", "A", "B" + kLine}));
    g.click();
    EXPECT_EQ(g.rows(), (Rows{"", "A", "B", "C" + kEnd}));
}

TEST(ScenePlayer, TheTitleLineRestartsTheOpeningSceneWithinTheClick) {
    GameFolder folder;
    folder.script("opn", {"Opening", "tugi", ""});
    folder.picture("opn");
    folder.script("3", {"Three", ">end"});
    folder.picture("3", "red-blue-2x1.gif");
    TestGame g(folder);
    auto& f = *g.fom;
    g.start();
    g.click();
    ASSERT_TRUE(f.PicCom.Visible());
    f.Opt(1).setValue(1);
    f.Opt(2).setValue(1);
    f.Com(3).clickAsPlayer();
    EXPECT_EQ(g.rows(), (Rows{"", "Three" + kEnd}));
    EXPECT_FALSE(f.Com(3).Enabled());

    g.click();
    EXPECT_EQ(g.rows(), (Rows{"", "Opening" + kEnd}));
    EXPECT_TRUE(f.Com(3).Enabled());
    for (int i = 0; i <= 2; ++i) EXPECT_EQ(f.Opt(i).Value(), 0);
    for (int i = 0; i <= 7; ++i) EXPECT_FALSE(f.Com(i).Visible());
    EXPECT_TRUE(f.TimSay.Enabled());
    EXPECT_EQ(f.E.picture().widthPx(), 40);  // the opening picture again
}

TEST(ScenePlayer, AScriptOfOnlyTheChooserLineOpensTheChooserAtOnce) {
    Scene s({"tugi"});
    TestGame g(s.folder);
    g.start();
    EXPECT_EQ(utf8(g.fom->Lbl.Caption()), "");
    EXPECT_TRUE(g.fom->PicCom.Visible());
}

TEST(ScenePlayer, ANewSceneStartsOnAFreshPageWhateverTheMarkWas) {
    GameFolder folder;
    folder.script("opn", {"A", "B", "tugi", ""});
    folder.picture("opn");
    folder.script("5", {"Five", "tugi", ""});
    folder.picture("5");
    TestGame g(folder);
    auto& f = *g.fom;
    f.TimSay.setInterval(0);
    g.start();
    g.click();
    g.click();
    ASSERT_TRUE(f.PicCom.Visible());
    f.Opt(0).setValue(1);
    f.Opt(2).setValue(1);
    f.Com(5).clickAsPlayer();
    EXPECT_EQ(g.rows(), (Rows{"", "Five" + kEnd}));
}

TEST(ScenePlayer, LongRunsOfEmptyLinesAndRepeatsDoNotExhaustTheStack) {
    std::string bytes = "first\r\n";
    for (int i = 0; i < 1000000; ++i) bytes += "\r\n";
    bytes += "last\r\n";
    for (int i = 0; i < 100000; ++i) bytes += "--1\r\n";
    bytes += "end\r\ntugi\r\n";
    GameFolder folder;
    folder.rawScript("opn", bytes);
    folder.picture("opn");
    TestGame g(folder);
    g.start();
    g.click();
    EXPECT_EQ(g.rows(), (Rows{"", "last" + kEnd}));
    g.click();  // a hundred thousand repeat lines, each nested in the one before
    EXPECT_EQ(g.rows(), (Rows{"", "end" + kEnd}));
}

TEST(ScenePlayer, AnAdvanceWithNoScriptOpenDoesNothing) {
    // The line after the chooser line is text, which the timer would move
    // onto once the click has enabled it again.
    Scene s({"A", "tugi", "stray", "--3"});
    TestGame g(s.folder);
    auto& f = *g.fom;
    g.start();
    g.click();
    ASSERT_TRUE(f.PicCom.Visible());
    g.timers.advance(1000);
    EXPECT_EQ(g.rows(), (Rows{"", "A" + kEnd}));
    EXPECT_TRUE(f.PicCom.Visible());
}

TEST(ScenePlayer, ARepeatRunStopsAtTheChooserLine) {
    Scene s({"--5", "A", "tugi", "B", "C"});
    TestGame g(s.folder);
    g.start();
    EXPECT_EQ(g.rows(), (Rows{"", "A" + kEnd}));
    EXPECT_TRUE(g.fom->PicCom.Visible());
}

TEST(ScenePlayer, ContentThatCannotPlayStopsWithAMessageNamingTheFile) {
    struct Case {
        const char* name;
        std::string opn;
        bool withOpn;
        const char* inMessage;
    };
    const Case cases[] = {
        {"missing script", "", false, "File not found"},
        {"empty script", "", true, "empty"},
        {"count not a number", "A\r\n--x\r\nB\r\n", true, "opn.txt:2"},
        {"empty count", "--\r\nB\r\n", true, "not a number"},
        {"count too large", "--1e400\r\nB\r\n", true, "too large"},
        {"endless title", "--1\r\n>end\r\n", true, "restart forever"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFolder folder;
        folder.picture("opn");
        if (c.withOpn) folder.rawScript("opn", c.opn);
        TestGame g(folder);
        try {
            g.start();
            if (std::string(c.name) == "count not a number") g.click();
            ADD_FAILURE() << "no run-time error";
        } catch (const platform::RuntimeError& e) {
            const std::string what = e.what();
            EXPECT_NE(what.find(c.inMessage), std::string::npos) << what;
            EXPECT_NE(what.find("/txt/opn.txt"), std::string::npos) << what;
        }
    }
}

TEST(ScenePlayer, ARepeatRunThatGoesRoundTheTitleForeverStopsAndAShortOneStillPlays) {
    // A run that reaches >end goes on in the opening scene; there it meets a
    // repeat line again and starts a fresh inner run round the title, for ever.
    for (const char* count : {"--1e9", "--1000000000"}) {
        SCOPED_TRACE(count);
        GameFolder folder;
        folder.script("opn", {"A", count, "B", ">end"});
        folder.picture("opn");
        TestGame g(folder);
        g.start();
        EXPECT_EQ(g.rows(), (Rows{"", "A" + kEnd}));
        try {
            g.click();
            ADD_FAILURE() << "no run-time error";
        } catch (const platform::RuntimeError& e) {
            EXPECT_EQ(e.number(), platform::kEndlessLoop) << e.what();
            EXPECT_NE(std::string(e.what()).find("/txt/opn.txt"), std::string::npos);
        }
    }
    // Fifty rounds in one click are within bounds and end normally.
    GameFolder folder;
    folder.script("opn", {"A", "--2", "B", ">end"});
    folder.picture("opn");
    folder.script("3", {"x", "--50", ">end"});
    folder.picture("3");
    TestGame g(folder);
    auto& f = *g.fom;
    g.start();
    f.Files.Close(f.FileNo);
    f.StartScene(u"3");
    EXPECT_NO_THROW(g.click());
    EXPECT_EQ(g.rows(), (Rows{"", "A" + kEnd}));
    EXPECT_EQ(utf8(f.CurLine), "--2");
}
