// The author's preview over real files and the real file watch: where it
// starts, the page a line brings, what each kind of save brings back, and an
// error that waits for its fix.

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/LabelDesign.h"
#include "platform/desktop/form/LabelLayoutQt.h"
#include "platform/desktop/form/PictureImage.h"
#include "platform/system/Dispatch.h"
#include "support/GameFolder.h"

namespace {

using Save = GameFolder::Save;
const std::string kEnd = "\u25BC";  // ▼

// Scene 3, lines counted from 1. A player who clicks through sees the pages
// /A/B/C▼ (lines 1-4), /D▼ (5-6), /E/F/G▼ (7-9, brought by the repeat line 6),
// /-H/I▼ (10-11); line 12 returns to the title.
const std::vector<std::string> kScene3 = {"A", "B", "C", "",   "D", "--2",
                                          "E", "F", "G", "-H", "I", ">end"};

struct PreviewFolder : GameFolder {
    PreviewFolder() {
        script("opn", {"Opening", "tugi", ""});
        script("1", {"A", "B", "", "P", ">ive", "Q"});
        script("2", {"X", ">end", "never", "shown"});
        script("3", kScene3);
        script("5", {"Five", "tugi", ""});
        script("6", {"Y", "tugi", "", "after"});
        for (const char* name : {"opn", "1", "2", "3", "5", "6"}) picture(name);
    }
};

// The window as `pirokko --preview SCENE:LINE` starts it.
struct PreviewGame : TestGame {
    PreviewGame(const GameFolder& folder, const char16_t* scene, std::int64_t line)
        : TestGame(folder) {
        fom->PlayPreview({scene, line});
        start();
    }
    std::string caption() const { return utf8(fom->Lbl.Caption()); }
};

// The label, then " +chooser" while the chooser is open.
std::string seen(const TestGame& g) {
    return g.fom->PicCom.Visible() ? g.label() + " +chooser" : g.label();
}

// What a scene leaves in the window, and each button: r(ed) or b(lack).
std::string sceneState(const TestGame& g) {
    const Fom& f = *g.fom;
    std::string s = seen(g) + " mark=" + utf8(f.Mark) + " count=" + std::to_string(f.LineCount) +
                    " next=" + utf8(f.CurLine) + " timer=" + (f.TimSay.Enabled() ? "on" : "off") +
                    (f.Files.isOpen(f.FileNo) ? " open " : " closed ");
    for (int i = 0; i <= 7; ++i) s += f.Com(i).Enabled() && f.Com(i).BackColor() == 255 ? "r" : "b";
    return s;
}

}  // namespace

TEST(Preview, StartsANumberedSceneAsAPlayersClickOnItsButtonLeavesIt) {
    PreviewFolder folder;
    TestGame played(folder);
    played.start();
    played.click();
    played.fom->Opt(0).clickAsPlayer();
    played.fom->Opt(2).clickAsPlayer();  // 月 and 森 reveal 4, 5 and 0
    played.fom->Com(5).clickAsPlayer();

    PreviewGame preview(folder, u"5", 0);
    EXPECT_EQ(sceneState(preview), sceneState(played));
    EXPECT_EQ(platform::imageCopy(preview.fom->Pic.surface()),
              platform::imageCopy(played.fom->Pic.surface()));
    for (int i = 0; i <= 2; ++i) EXPECT_EQ(preview.fom->Opt(i).Value(), 0);
    played.click();
    preview.click();
    EXPECT_EQ(sceneState(preview), sceneState(played));
}

TEST(Preview, ALineBringsThePageAClickThroughReachesAndPlayGoesOnFromThere) {
    struct Case {
        const char16_t* scene;
        std::int64_t line;
        std::string page;
        std::vector<std::pair<std::string, std::string>> then;  // click or tick, page after it
    };
    const Case cases[] = {
        {u"3", 2, "/A/B/C" + kEnd, {{"click", "/D" + kEnd}}},  // in the middle of a page
        {u"3", 3, "/A/B/C" + kEnd, {}},                        // the last line of a page
        {u"3", 4, "/D" + kEnd, {}},                            // an empty line
        {u"3", 5, "/D" + kEnd, {{"click", "/E/F"}}},           // the line after it
        {u"3", 6, "/E/F/G" + kEnd, {}},                        // a repeat line
        {u"3", 8, "/E/F/G" + kEnd, {{"tick", "/E/F/G" + kEnd}, {"click", "/-H"}}},
        {u"3", 12, "/Opening" + kEnd, {{"click", "/Opening" + kEnd + " +chooser"}}},
        {u"2", 4, "/Opening" + kEnd, {}},          // the title comes first
        {u"6", 4, "/Y" + kEnd + " +chooser", {}},  // the chooser comes first
        // The click that brings P leaves the timer running, and >ive holds
        // nothing: the page is complete, and passes on at the next tick.
        {u"1", 4, "/P" + kEnd, {{"tick", "/>ive"}}},
        {u"opn", 1, "/Opening" + kEnd, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.scene) + ":" + std::to_string(c.line));
        PreviewFolder folder;
        PreviewGame g(folder, c.scene, c.line);
        EXPECT_EQ(seen(g), c.page);
        for (const auto& [act, page] : c.then) {
            if (act == "click")
                g.click();
            else
                g.tick(g.fom->TimSay);
            EXPECT_EQ(seen(g), page) << "after " << act;
        }
        // Back at the title every button is red again; elsewhere the
        // scene's own stays played.
        std::string buttons(8, 'r');
        if (!c.page.starts_with("/Opening")) buttons[c.scene[0] - u'0'] = 'b';
        EXPECT_TRUE(sceneState(g).ends_with(buttons)) << sceneState(g);
    }
}

// A saved script starts its scene again at the first line of the page that
// was on screen: found by its text, and by its number (as far as the new
// file goes) once that text is gone.
TEST(Preview, ASavedScriptBringsBackThePageThatWasOnScreenWhicheverWayItWasSaved) {
    std::vector<std::string> edited = kScene3;
    edited[6] = "E, edited";
    std::vector<std::string> twoMoreAtTheTop = {"new 1", "new 2"};
    twoMoreAtTheTop.insert(twoMoreAtTheTop.end(), kScene3.begin(), kScene3.end());
    std::vector<std::string> oneLessAbove = kScene3;
    oneLessAbove.erase(oneLessAbove.begin() + 1);
    // Line 7 reads "C" now; the E nearest 7 is the one on line 10.
    const std::vector<std::string> eTwice = {"E", "B", "C", "",  "D", "--2",  "C",
                                             "-", "",  "E", "F", "G", "tugi", ""};
    struct Case {
        Save how;
        std::vector<std::string> script;
        std::string page;
        std::string back = "/E/F/G" + kEnd;  // once the first script is saved again
    };
    const Case cases[] = {
        {Save::kInPlace, edited, "/E, edited/F/G" + kEnd},
        {Save::kRenameOver, edited, "/E, edited/F/G" + kEnd},
        {Save::kDeleteAndCreate, edited, "/E, edited/F/G" + kEnd},
        {Save::kRenameOver, twoMoreAtTheTop, "/E/F/G" + kEnd},  // E is on line 9 now
        {Save::kInPlace, oneLessAbove, "/E/F/G" + kEnd},        // and on line 6
        {Save::kRenameOver, eTwice, "/E/F/G" + kEnd},
        {Save::kRenameOver, {"A", "B"}, "/A/B" + kEnd, "/A/B/C" + kEnd},
        {Save::kRenameOver, {"A", "tugi", ""}, "/A" + kEnd + " +chooser", "/A/B/C" + kEnd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script[0] + " saved " + std::to_string(static_cast<int>(c.how)));
        PreviewFolder folder;
        PreviewGame g(folder, u"3", 8);
        folder.save("txt/3.txt", scriptBytes(c.script), c.how);
        ASSERT_TRUE(g.filesSettle());
        EXPECT_EQ(seen(g), c.page);
        // The file that save left is followed in its turn, held open as the
        // running scene's script is.
        folder.save("txt/3.txt", scriptBytes(kScene3), Save::kInPlace);
        ASSERT_TRUE(g.filesSettle());
        EXPECT_EQ(seen(g), c.back);
    }
    // An empty page on screen brings back the scene's start.
    PreviewFolder folder;
    folder.script("3", {"A", "B", "", "tugi"});
    PreviewGame g(folder, u"3", 4);
    ASSERT_EQ(seen(g), " +chooser");
    folder.script("3", {"A, edited", "B", "", "tugi"});
    ASSERT_TRUE(g.filesSettle());
    EXPECT_EQ(seen(g), "/A, edited");
}

TEST(Preview, OnlyWhatWasSavedIsDoneAgainAndTheChooserKeepsWhatThePlayerSet) {
    PreviewFolder folder;
    PreviewGame g(folder, u"5", 0);
    g.click();
    g.fom->Opt(1).clickAsPlayer();
    const std::string before = sceneState(g);

    folder.picture("5", "red-blue-2x1.gif");
    ASSERT_TRUE(g.filesSettle());
    const QImage redBlue = platform::imageCopy(g.fom->Pic.surface());
    EXPECT_EQ(QColor(redBlue.pixel(5, 5)).red(), 255);
    EXPECT_EQ(sceneState(g), before);

    g.media.commands.clear();
    for (bool gone : {false, true}) {
        if (gone)
            folder.remove("bgm.wav");
        else
            folder.save("bgm.wav", "RIFF", Save::kRenameOver);
        ASSERT_TRUE(g.filesSettle());
        EXPECT_EQ(g.media.commands,
                  (std::vector<std::string>{"close MIDI notify",
                                            "open \"" + folder.path() + "/bgm.wav\" alias MIDI",
                                            "play MIDI notify"}));
        g.media.commands.clear();
    }

    folder.script("3", {"Three, edited"});
    folder.picture("opn", "red-blue-2x1.gif");
    ASSERT_TRUE(g.filesSettle());
    EXPECT_EQ(sceneState(g), before);
    EXPECT_EQ(platform::imageCopy(g.fom->Pic.surface()), redBlue);
    EXPECT_TRUE(g.media.commands.empty());

    folder.save("txt/5.txt", scriptBytes({"Five, edited", "tugi", ""}), Save::kInPlace);
    ASSERT_TRUE(g.filesSettle());
    EXPECT_EQ(seen(g), "/Five, edited" + kEnd);
    g.click();
    EXPECT_EQ(seen(g), "/Five, edited" + kEnd + " +chooser");
    EXPECT_EQ(g.fom->Opt(1).Value(), 1);
    EXPECT_TRUE(sceneState(g).ends_with("rrrrrbrr"));
}

TEST(Preview, AnErrorWaitsInTheLabelForTheSaveThatFixesIt) {
    PreviewFolder folder;
    auto g = std::make_unique<PreviewGame>(folder, u"3", 8);
    std::vector<std::string> broken = kScene3;
    broken[5] = "--x";
    folder.save("txt/3.txt", scriptBytes(broken), Save::kRenameOver);
    ASSERT_TRUE(g->filesSettle());
    const std::string shown = g->caption();
    EXPECT_NE(shown.find("Run-time error 13"), std::string::npos) << shown;
    std::string unbroken = shown;
    std::erase(unbroken, '\n');
    EXPECT_NE(unbroken.find(folder.path() + "/txt/3.txt:6"), std::string::npos) << shown;
    // Every row stays on the screen, though the label starts left of it.
    const QFontMetricsF metrics(platform::labelFont(
        QString::fromStdU16String(fom_design::kLabelFace), fom_design::kLabelPoints));
    for (const QString& row : QString::fromStdString(shown).split(QLatin1Char('\n')))
        EXPECT_LE(metrics.horizontalAdvance(row), fom_design::kLabelVisibleWidthPx)
            << row.toStdString();
    EXPECT_FALSE(g->fom->PicCom.Visible());
    EXPECT_FALSE(platform::Dispatcher::halted());
    std::string spoken = shown;
    std::replace(spoken.begin(), spoken.end(), '\n', '/');
    EXPECT_EQ(announced(g->fom->Lbl), spoken);

    // Nothing plays on from a page that failed halfway; any save tries again.
    g->click();
    g->timers.advance(2000);
    EXPECT_EQ(g->caption(), shown);
    folder.script("5", {"Five, edited", "tugi", ""});
    ASSERT_TRUE(g->filesSettle());
    EXPECT_EQ(g->caption(), shown);
    folder.save("txt/3.txt", scriptBytes(kScene3), Save::kInPlace);
    ASSERT_TRUE(g->filesSettle());
    EXPECT_EQ(seen(*g), "/E/F/G" + kEnd);

    // A script deleted while watched, and created again.
    folder.remove("txt/3.txt");
    ASSERT_TRUE(g->filesSettle());
    EXPECT_NE(g->caption().find("File not found"), std::string::npos) << g->caption();
    folder.script("3", kScene3);
    ASSERT_TRUE(g->filesSettle());
    EXPECT_EQ(seen(*g), "/E/F/G" + kEnd);

    // Without the preview the earlier policy is back.
    g.reset();
    EXPECT_FALSE(platform::Dispatcher::setFaultHandler(nullptr));
}

TEST(Preview, AStartThatFailsWaitsForTheFilesItNeeds) {
    PreviewFolder folder;
    PreviewGame g(folder, u"4", 1);
    EXPECT_NE(g.caption().find(folder.path() + "/img/4.gif"), std::string::npos) << g.caption();
    folder.picture("4");
    folder.script("4", {"Four", "tugi", ""});
    ASSERT_TRUE(g.filesSettle());
    EXPECT_EQ(seen(g), "/Four" + kEnd);
}

namespace {

// The descriptors open on files of the game folder, deleted ones included:
// those are the scripts a reload could leave behind. The toolkit opens and
// closes descriptors of its own at any time, which must not count.
int openDescriptors(const GameFolder& folder) {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const std::string target = std::filesystem::read_symlink(entry.path(), ec).string();
        if (!ec && target.rfind(folder.path() + "/", 0) == 0) ++n;
    }
    return n;
}

}  // namespace

// An author saves thousands of times a day: no reload may leave the script
// it was reading open, nor a retry after an error that waited for its fix.
TEST(Preview, ManySavesHoldNoMoreFilesOpenThanTheStart) {
    PreviewFolder folder;
    PreviewGame g(folder, u"3", 8);
    const int atStart = openDescriptors(folder);
    std::vector<std::string> edited = kScene3;
    for (int i = 0; i < 30; ++i) {
        edited[6] = "E" + std::to_string(i);
        folder.save("txt/3.txt", scriptBytes(edited), i % 2 ? Save::kRenameOver : Save::kInPlace);
        ASSERT_TRUE(g.filesSettle());
        ASSERT_EQ(seen(g), "/E" + std::to_string(i) + "/F/G" + kEnd);
    }
    for (int i = 0; i < 10; ++i) {
        folder.save("txt/3.txt", "", Save::kRenameOver);  // an error that waits
        ASSERT_TRUE(g.filesSettle());
        ASSERT_NE(g.caption().find("Input past end"), std::string::npos) << g.caption();
        folder.save("img/3.gif", "not a picture", Save::kRenameOver);  // it fails elsewhere now
        ASSERT_TRUE(g.filesSettle());
        folder.picture("3");
        folder.save("txt/3.txt", scriptBytes(kScene3), Save::kRenameOver);
        ASSERT_TRUE(g.filesSettle());
        ASSERT_EQ(seen(g), "/E/F/G" + kEnd);
    }
    EXPECT_EQ(openDescriptors(folder), atStart);
}

// The preview reads a script as the game would and says what is wrong before
// playing it; the place it was on comes back once the script is converted.
TEST(Preview, AScriptWrittenAsALinuxEditorSavesItWaitsForItsConversion) {
    const std::vector<std::string> scene = {"あ", "い", "",   "う",  "--2",
                                            "え", "お", "か", "-き", "く"};
    std::string utf8Lf;
    for (const auto& line : scene) utf8Lf += line + "\n";
    struct Case {
        const char* name;
        std::string bytes;
        std::string where;  // file:line in the message
        std::string what;
    };
    const Case cases[] = {
        {"UTF-8 with LF", utf8Lf, "3.txt:1\n", "UTF-8"},
        {"UTF-8 with CR LF from its second line on", "A\r\n" + std::string("\xE3\x81\x82\r\n"),
         "3.txt:2\n", "UTF-8"},
        {"LF", cp932("A\nB\n"), "3.txt:1\n", "LF alone"},
        {"doubled", cp932("A\r\r\nB\r\r\n"), "3.txt:1\n", "CR CR LF"},
        {"bytes that are not code page 932", "A\r\nB\xFF\r\n", "3.txt:2:2", "pirokko-check"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PreviewFolder folder;
        folder.script("3", scene);
        PreviewGame g(folder, u"3", 7);
        ASSERT_EQ(seen(g), "/え/お/か" + kEnd);
        folder.save("txt/3.txt", c.bytes, Save::kRenameOver);
        ASSERT_TRUE(g.filesSettle());
        std::string shown = g.caption();
        std::erase(shown, '\n');
        EXPECT_NE(shown.find("Run-time error 321"), std::string::npos) << shown;
        EXPECT_NE(shown.find(c.what), std::string::npos) << shown;
        std::string message = g.fom->Lbl.Caption().empty() ? "" : g.caption();
        EXPECT_NE(message.find(c.where), std::string::npos) << message;
        if (c.what != "pirokko-check") {
            EXPECT_NE(shown.find("pirokko-check --fix " + folder.path()), std::string::npos)
                << shown;
        }

        // What --fix writes, with a line more above the page.
        std::vector<std::string> fixed = scene;
        fixed.insert(fixed.begin(), "はじめに");
        folder.save("txt/3.txt", scriptBytes(fixed), Save::kRenameOver);
        ASSERT_TRUE(g.filesSettle());
        EXPECT_EQ(seen(g), "/え/お/か" + kEnd);
    }

    // Without the preview the game reads such a script as it always has.
    PreviewFolder folder;
    folder.rawScript("opn", utf8Lf);
    TestGame played(folder);
    played.start();
    EXPECT_FALSE(platform::Dispatcher::halted());
    EXPECT_EQ(played.label().find("Run-time error"), std::string::npos);
    EXPECT_NE(played.label().find("|"), std::string::npos) << "LFs read as row breaks";
}
