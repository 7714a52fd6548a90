// The author's preview over real files and the real file watch: where it
// starts, the page a line brings, what each kind of save brings back, and an
// error that waits for its fix.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QImage>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "platform/system/Dispatch.h"
#include "support/GameFolder.h"

namespace {

using Save = GameFolder::Save;
const std::string kEnd = "\u25BC";  // ▼
const Save kEveryWay[] = {Save::kInPlace, Save::kRenameOver, Save::kDeleteAndCreate};

// Scene 3, lines counted from 1. A player who clicks through sees the pages
// /A/B/C▼ (lines 1-4), /D▼ (5-6), /E/F/G▼ (7-9, brought by the repeat line 6),
// /-H/I▼ (10-11); line 12 returns to the title.
const std::vector<std::string> kScene3 = {"A", "B", "C", "",   "D", "--2",
                                          "E", "F", "G", "-H", "I", ">end"};

struct PreviewFolder : GameFolder {
    PreviewFolder() {
        script("opn", {"Opening", "tugi", ""});
        picture("opn");
        script("3", kScene3);
        picture("3");
        script("5", {"Five", "tugi", ""});
        picture("5");
    }
};

// The window as `pirokko --preview SCENE:LINE` starts it.
struct PreviewGame : TestGame {
    PreviewGame(const GameFolder& folder, const char16_t* scene, std::int64_t line)
        : TestGame(folder) {
        fom->PlayPreview({scene, line});
        start();
    }
};

// The label, then " +chooser" while the chooser is open.
std::string seen(const TestGame& g) {
    return g.fom->PicCom.Visible() ? g.label() + " +chooser" : g.label();
}

// What a scene leaves in the window, the chooser's buttons included; the
// boxes and which buttons the boxes reveal are left out.
std::string sceneState(const TestGame& g) {
    const Fom& f = *g.fom;
    std::string s = seen(g) + " mark=" + utf8(f.Mark) + " count=" + std::to_string(f.LineCount) +
                    " next=" + utf8(f.CurLine) + " timer=" + (f.TimSay.Enabled() ? "on" : "off") +
                    " script=" + (f.Files.isOpen(f.FileNo) ? "open" : "closed") + " buttons=";
    for (int i = 0; i <= 7; ++i) s += f.Com(i).Enabled() && f.Com(i).BackColor() == 255 ? "r" : "b";
    return s;
}

void act(TestGame& g, const std::string& what) {
    if (what == "click")
        g.click();
    else if (what == "tick")
        g.tick(g.fom->TimSay);
    else
        FAIL() << what;
}

std::string message(const TestGame& g) {
    return utf8(g.fom->Lbl.Caption());
}

}  // namespace

TEST(Preview, StartsANumberedSceneAsAPlayersClickOnItsButtonLeavesIt) {
    PreviewFolder folder;
    TestGame played(folder);
    played.start();
    played.click();
    ASSERT_TRUE(played.fom->PicCom.Visible());
    played.fom->Opt(0).clickAsPlayer();
    played.fom->Opt(2).clickAsPlayer();  // 月 and 森 reveal 4, 5 and 0
    played.fom->Com(5).clickAsPlayer();

    PreviewGame preview(folder, u"5", 0);
    EXPECT_EQ(sceneState(preview), sceneState(played));
    EXPECT_EQ(preview.fom->Pic.surface().image(), played.fom->Pic.surface().image());
    for (int i = 0; i <= 2; ++i) EXPECT_EQ(preview.fom->Opt(i).Value(), 0);
    for (int i = 0; i <= 7; ++i) EXPECT_FALSE(preview.fom->Com(i).Visible());
    played.click();
    preview.click();
    EXPECT_EQ(sceneState(preview), sceneState(played));
}

TEST(Preview, ALineBringsThePageAClickThroughReachesAndPlayGoesOnFromThere) {
    struct Case {
        const char* name;
        const char16_t* scene;
        std::int64_t line;
        std::string page;
        std::vector<std::pair<std::string, std::string>> then;  // act, page after it
    };
    const Case cases[] = {
        {"a line in the middle of a page", u"3", 2, "/A/B/C" + kEnd, {{"click", "/D" + kEnd}}},
        {"the last line of a page", u"3", 3, "/A/B/C" + kEnd, {}},
        {"the empty line", u"3", 4, "/D" + kEnd, {}},
        {"the line after an empty line", u"3", 5, "/D" + kEnd, {{"click", "/E/F"}}},
        {"the repeat line", u"3", 6, "/E/F/G" + kEnd, {}},
        {"a line of a repeat run",
         u"3",
         8,
         "/E/F/G" + kEnd,
         {{"tick", "/E/F/G" + kEnd}, {"click", "/-H"}, {"tick", "/-H/I" + kEnd}}},
        {"the title line",
         u"3",
         12,
         "/Opening" + kEnd,
         {{"click", "/Opening" + kEnd + " +chooser"}}},
        {"the opening scene", u"opn", 1, "/Opening" + kEnd, {}},
        {"a line after the title line", u"2", 4, "/Opening" + kEnd, {}},
        {"a line after the chooser line", u"6", 4, "/Y" + kEnd + " +chooser", {}},
        // The click that brings P leaves the timer running and >ive holds
        // nothing: the page is complete but passes on at the next tick.
        {"a page that passes on", u"1", 4, "/P" + kEnd, {{"tick", "/>ive"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PreviewFolder folder;
        folder.script("2", {"X", ">end", "never", "shown"});
        folder.picture("2");
        folder.script("6", {"Y", "tugi", "", "after"});
        folder.picture("6");
        folder.script("1", {"A", "B", "", "P", ">ive", "Q"});
        folder.picture("1");
        PreviewGame g(folder, c.scene, c.line);
        EXPECT_EQ(seen(g), c.page);
        for (const auto& [what, page] : c.then) {
            act(g, what);
            EXPECT_EQ(seen(g), page) << "after " << what;
        }
    }
    // Back at the title, the button played to get there is red again.
    PreviewFolder folder;
    folder.script("2", {"X", ">end"});
    folder.picture("2");
    PreviewGame g(folder, u"2", 2);
    EXPECT_EQ(sceneState(g).substr(sceneState(g).size() - 8), "rrrrrrrr");
}

TEST(Preview, ASavedScriptStartsAgainAtThePageThatWasOnScreenWhicheverWayItWasSaved) {
    for (Save how : kEveryWay) {
        SCOPED_TRACE(static_cast<int>(how));
        PreviewFolder folder;
        PreviewGame g(folder, u"3", 8);
        ASSERT_EQ(seen(g), "/E/F/G" + kEnd);
        std::vector<std::string> edited = kScene3;
        edited[6] = "E, edited";
        folder.save("txt/3.txt", scriptBytes(edited), how);
        ASSERT_TRUE(g.filesSettle());
        EXPECT_EQ(seen(g), "/E, edited/F/G" + kEnd);
        EXPECT_EQ(sceneState(g).substr(sceneState(g).size() - 8), "rrrbrrrr");
        // The file the save left is followed in its turn.
        edited[8] = "G, edited";
        folder.save("txt/3.txt", scriptBytes(edited), how);
        ASSERT_TRUE(g.filesSettle());
        EXPECT_EQ(seen(g), "/E, edited/F/G, edited" + kEnd);
    }
}

TEST(Preview, AReloadGoesByTheLineNumberAndAsFarAsTheNewFileGoes) {
    struct Case {
        const char* name;
        std::vector<std::string> script;
        std::string page;
    };
    std::vector<std::string> twoMoreAtTheTop = {"new 1", "new 2"};
    twoMoreAtTheTop.insert(twoMoreAtTheTop.end(), kScene3.begin(), kScene3.end());
    const Case cases[] = {
        // Line 7, the first line of the page on screen, is now D.
        {"lines added above", twoMoreAtTheTop, "/D" + kEnd},
        {"now shorter", {"A", "B"}, "/A/B" + kEnd},
        {"now shorter, with its chooser line", {"A", "tugi", ""}, "/A" + kEnd + " +chooser"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PreviewFolder folder;
        PreviewGame g(folder, u"3", 8);
        folder.save("txt/3.txt", scriptBytes(c.script), Save::kRenameOver);
        ASSERT_TRUE(g.filesSettle());
        EXPECT_EQ(seen(g), c.page);
    }
    // An empty page brings back the scene's start, as StartScene leaves it.
    PreviewFolder folder;
    folder.script("3", {"A", "B", "", "tugi"});
    PreviewGame g(folder, u"3", 4);
    ASSERT_EQ(seen(g), " +chooser");
    folder.script("3", {"A, edited", "B", "", "tugi"});
    ASSERT_TRUE(g.filesSettle());
    EXPECT_EQ(seen(g), "/A, edited");
}

TEST(Preview, AReloadLeavesTheChooserAsThePlayerSetIt) {
    PreviewFolder folder;
    PreviewGame g(folder, u"5", 0);
    g.click();
    ASSERT_TRUE(g.fom->PicCom.Visible());
    g.fom->Opt(1).clickAsPlayer();
    folder.save("txt/5.txt", scriptBytes({"Five, edited", "tugi", ""}), Save::kInPlace);
    ASSERT_TRUE(g.filesSettle());
    EXPECT_EQ(seen(g), "/Five, edited" + kEnd);
    g.click();
    EXPECT_EQ(seen(g), "/Five, edited" + kEnd + " +chooser");
    EXPECT_EQ(g.fom->Opt(1).Value(), 1);
    EXPECT_FALSE(g.fom->Com(5).Enabled());
}

TEST(Preview, APictureIsPaintedAgainTheMusicRestartsAndOtherFilesWaitForTheirScene) {
    PreviewFolder folder;
    PreviewGame g(folder, u"3", 2);
    const std::string before = sceneState(g);
    const QImage green = g.fom->Pic.surface().image();

    folder.picture("3", "red-blue-2x1.gif");
    ASSERT_TRUE(g.filesSettle());
    const QImage redBlue = g.fom->Pic.surface().image();
    EXPECT_EQ(QColor(redBlue.pixel(5, 5)).red(), 255);
    EXPECT_EQ(sceneState(g), before);  // the text is left alone

    g.media.commands.clear();
    const std::string music = folder.path() + "/bgm.wav";
    for (bool gone : {false, true}) {
        if (gone)
            folder.remove("bgm.wav");
        else
            folder.save("bgm.wav", "RIFF", Save::kRenameOver);
        ASSERT_TRUE(g.filesSettle());
        EXPECT_EQ(g.media.commands, (std::vector<std::string>{"close MIDI notify",
                                                              "open \"" + music + "\" alias MIDI",
                                                              "play MIDI notify"}));
        g.media.commands.clear();
    }

    folder.script("5", {"Five, edited", "tugi", ""});
    folder.picture("opn", "red-blue-2x1.gif");
    ASSERT_TRUE(g.filesSettle());
    EXPECT_EQ(sceneState(g), before);
    EXPECT_EQ(g.fom->Pic.surface().image(), redBlue);
    EXPECT_TRUE(g.media.commands.empty());
}

TEST(Preview, AnErrorWaitsInTheLabelForTheSaveThatFixesIt) {
    PreviewFolder folder;
    PreviewGame g(folder, u"3", 8);
    std::vector<std::string> broken = kScene3;
    broken[5] = "--x";
    folder.save("txt/3.txt", scriptBytes(broken), Save::kRenameOver);
    ASSERT_TRUE(g.filesSettle());
    const std::string shown = message(g);
    EXPECT_NE(shown.find("Run-time error 13"), std::string::npos) << shown;
    EXPECT_NE(shown.find(folder.path() + "/txt/3.txt:6"), std::string::npos) << shown;
    EXPECT_NE(shown.find("tries again"), std::string::npos) << shown;
    EXPECT_FALSE(g.fom->PicCom.Visible());
    EXPECT_FALSE(platform::Dispatcher::halted());
    // A screen reader hears it: it is the label's announced name.
    QAccessibleInterface* label = QAccessible::queryAccessibleInterface(g.fom->Lbl.widget());
    EXPECT_EQ(label->text(QAccessible::Name).toStdString(), shown);

    // Nothing plays on from a page that failed halfway.
    g.click();
    g.timers.advance(2000);
    EXPECT_EQ(message(g), shown);

    // Any save tries again; this one fails the same way.
    folder.script("5", {"Five, edited", "tugi", ""});
    ASSERT_TRUE(g.filesSettle());
    EXPECT_EQ(message(g), shown);

    folder.save("txt/3.txt", scriptBytes(kScene3), Save::kInPlace);
    ASSERT_TRUE(g.filesSettle());
    EXPECT_EQ(seen(g), "/E/F/G" + kEnd);
    g.click();
    EXPECT_EQ(seen(g), "/-H");
}

TEST(Preview, AScriptDeletedWhileWatchedWaitsUntilItIsCreatedAgain) {
    PreviewFolder folder;
    PreviewGame g(folder, u"3", 8);
    folder.remove("txt/3.txt");
    ASSERT_TRUE(g.filesSettle());
    EXPECT_NE(message(g).find("File not found"), std::string::npos) << message(g);
    EXPECT_NE(message(g).find(folder.path() + "/txt/3.txt"), std::string::npos) << message(g);
    folder.script("3", kScene3);
    ASSERT_TRUE(g.filesSettle());
    EXPECT_EQ(seen(g), "/E/F/G" + kEnd);
}

// What the start cannot show waits too, and the files that fix it bring the
// scene's start.
TEST(Preview, AStartThatFailsWaitsForTheFilesItNeeds) {
    struct Case {
        const char* name;
        const char16_t* scene;
        std::function<void(GameFolder&)> fix;
        std::string error;
        std::string page;
    };
    const Case cases[] = {
        {"a scene with neither picture nor script", u"4",
         [](GameFolder& f) {
             f.picture("4");
             f.script("4", {"Four", "tugi", ""});
         },
         "img/4.gif", "/Four" + kEnd + " +chooser"},
        // Back in the opening scene the run meets its own repeat line again:
        // it would go round the title for ever.
        {"a repeat run round the title", u"opn",
         [](GameFolder& f) {
             f.script("opn", {"Opening", "--1", "B", "tugi"});
         },
         "never end", "/B" + kEnd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PreviewFolder folder;
        folder.script("opn", {"Opening", "--1e9", "B", ">end"});
        PreviewGame g(folder, c.scene, 3);
        EXPECT_NE(message(g).find(c.error), std::string::npos) << message(g);
        c.fix(folder);
        ASSERT_TRUE(g.filesSettle());
        EXPECT_EQ(seen(g), c.page);
    }
}

// The preview's policy lasts as long as the preview: afterwards an error
// goes where it went before.
TEST(Preview, ErrorsStayFatalOutsideThePreview) {
    int earlier = 0;
    platform::Dispatcher::setFaultHandler([&earlier](const platform::RuntimeError&) {
        ++earlier;
        return platform::Dispatcher::AfterFault::kHalt;
    });
    GameFolder folder;
    folder.script("opn", {"A", "--x", "B"});
    folder.picture("opn");
    {
        PreviewGame g(folder, u"opn", 3);
        EXPECT_NE(message(g).find("Run-time error 13"), std::string::npos);
        EXPECT_FALSE(platform::Dispatcher::halted());
    }
    EXPECT_EQ(earlier, 0);
    TestGame g(folder);
    g.start();
    g.click();
    EXPECT_EQ(earlier, 1);
    EXPECT_TRUE(platform::Dispatcher::halted());
    platform::Dispatcher::setFaultHandler(nullptr);
}
