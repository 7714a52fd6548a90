// The checker's findings on small game folders, each broken in one way.

#include <gtest/gtest.h>

#include "check/Games.h"

using Strings = std::vector<std::string>;

TEST(Check, ACompleteGameUsingEveryLineKindGivesNoFinding) {
    CleanGame g;
    g.folder.script("opn", {"A", "", "B", "-C", "--2", "D", "E", ">ive", ">game x", "  ", "--0",
                            "--2.5", "F", "G", "tugi", ""});
    // Lone CRs end lines too, and the last line needs no line end.
    g.folder.rawScript("1", "A\r--1\rB\rtugi");
    // The end of the file stands in for the chooser line.
    g.folder.script("2", {"A", "--2", "B"});
    EXPECT_EQ(where(g.check()), Strings{});
}

TEST(Check, MissingEmptyAndBrokenFilesAreErrorsOfTheirScene) {
    CleanGame g;
    g.folder.remove("txt/3.txt");
    g.folder.rawScript("4", "");
    g.folder.remove("img/5.gif");
    g.write("img/6.gif", "");
    g.folder.picture("0", "red-8x8.png");
    g.write("bgm.wav", "RIFF but not a wave");
    const auto found = g.check();
    EXPECT_EQ(where(found), (Strings{"img/0.gif error", "txt/3.txt error", "txt/4.txt error",
                                     "img/5.gif error", "img/6.gif error", "bgm.wav error"}));
    EXPECT_NE(found[1].message.find("missing"), std::string::npos);
    EXPECT_NE(found[1].message.find("scene 3 starts"), std::string::npos);
    EXPECT_NE(found[2].message.find("empty"), std::string::npos);
}

TEST(Check, AMissingMusicFileIsOnlyAWarning) {
    CleanGame g;
    g.folder.remove("bgm.wav");
    EXPECT_EQ(where(g.check()), Strings{"bgm.wav warning"});
}

TEST(Check, RepeatCountsThatDoNotReadAsNumbersAreErrorsOnTheirLine) {
    CleanGame g;
    g.folder.script("opn", {"A", "--", "--two", "--1e999", "--2", "B", "C", "tugi", ""});
    EXPECT_EQ(where(g.check()),
              (Strings{"txt/opn.txt:2 error", "txt/opn.txt:3 error", "txt/opn.txt:4 error"}));
}

TEST(Check, RepeatRunsAreFollowedAsThePlayerCountsThem) {
    CleanGame g;
    g.folder.script("0", {"--3", "A", "tugi", ""});              // one step too many
    g.folder.script("1", {"--2", "--2", "A", "tugi", ""});       // the outer run runs past
    g.folder.script("2", {"A", "--1", "--3", "B", "tugi", ""});  // the inner run runs past
    g.folder.script("3", {"--3", "", "A", "tugi", ""});  // an empty line is no step of its own
    g.folder.script("4", {"A", "--3", "B"});             // past the end of the file
    g.folder.script("5", {"--2", "--3", "A", "B", "C", "tugi", ""});  // each run its own count
    g.folder.script("6", {"--1.9", "A", "tugi", ""});                 // whole steps only
    EXPECT_EQ(where(g.check()),
              (Strings{"txt/0.txt:1 error", "txt/1.txt:1 error", "txt/2.txt:3 error",
                       "txt/3.txt:1 error", "txt/4.txt:2 error"}));
}

TEST(Check, TheLineAfterAChooserLineMustHoldTheTimerAndLaterOnesAreNeverRead) {
    CleanGame g;
    g.folder.script("0", {"A", "tugi", "B"});
    g.folder.script("1", {"A", "tugi", ">ive"});  // ends a page but holds nothing
    g.folder.script("2", {"A", "tugi", ">game"});
    g.folder.script("3", {"A", "tugi", "-B", "C", "D"});
    g.folder.script("4", {"A", "tugix", "", "B"});
    const auto found = g.check();
    EXPECT_EQ(where(found), (Strings{"txt/0.txt:3 error", "txt/1.txt:3 error",
                                     "txt/3.txt:4 warning", "txt/4.txt:4 warning"}));
    EXPECT_NE(found[2].message.find("this line and the 1 line after it"), std::string::npos);
}

TEST(Check, TitleLinesEndTheScene) {
    CleanGame g;
    g.folder.script("opn", {"A", ">end"});  // the chooser could never open
    g.folder.script("3", {"--3", "A", ">end"});
    g.folder.script("7", {"A", ">end", "B"});
    EXPECT_EQ(where(g.check()),
              (Strings{"txt/opn.txt:2 error", "txt/3.txt:1 warning", "txt/7.txt:3 warning"}));
}

TEST(Check, TheLastSceneWithoutATitleLineLeavesThePlayerInTheChooser) {
    CleanGame g;
    g.folder.script("7", {"A", "tugi", "", ">end"});
    EXPECT_EQ(where(g.check()), (Strings{"txt/7.txt:2 warning", "txt/7.txt:4 warning"}));
    g.folder.script("7", {"A", "B"});
    EXPECT_EQ(where(g.check()), Strings{"txt/7.txt:2 warning"});
}

TEST(Check, UndecodableBytesAreWarningsAtTheirLineAndColumnInCharacters) {
    CleanGame g;
    g.folder.rawScript("opn",
                       "A\r\n" + cp932("あい") + "\xFF" + cp932("う") + "\x81\r\ntugi\r\n\r\n");
    g.folder.rawScript("0", "A\rB\xFF\rtugi\r\r");
    const auto found = g.check();
    EXPECT_EQ(where(found), (Strings{"txt/opn.txt:2:3 warning", "txt/0.txt:2:2 warning"}));
    EXPECT_NE(found[0].message.find("2 bytes"), std::string::npos);
}
