#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/GameFolder.h"

namespace {

const std::string kEnd = "\u25BC";   // ▼
const std::string kLine = "\u25BD";  // ▽

std::vector<std::string> numbered(int first, int last) {
    std::vector<std::string> lines;
    for (int i = first; i <= last; ++i) lines.push_back('L' + std::to_string(i));
    return lines;
}

// The label, followed by " +chooser" while the chooser is open.
std::string seen(const TestGame& g) {
    return g.fom->PicCom.Visible() ? g.label() + " +chooser" : g.label();
}

std::string page(const std::vector<std::string>& lines, const std::string& mark = kEnd) {
    std::string s;
    for (const auto& line : lines) s += "/" + line;
    return s + mark;
}

}  // namespace

// Each script is started and then driven step by step: "click" on the label,
// "tick" fires the line timer if it runs, "wait N" lets N milliseconds pass
// on every timer. After each step the label must read as given.
TEST(ScenePlayer, PlaysEachScriptPageByPage) {
    struct Step {
        std::string act;
        std::string label;
        int times = 1;
    };
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        std::vector<Step> steps;
        bool zeroInterval = false;
    };
    std::string longRuns = "first\r\n";
    for (int i = 0; i < 1000000; ++i) longRuns += "\r\n";
    longRuns += "last\r\n";
    for (int i = 0; i < 100000; ++i) longRuns += "--1\r\n";
    longRuns += "end\r\ntugi\r\n";

    const Case cases[] = {
        {"every line kind",
         {"A", "B", "", "C", "-D", "E", "tugi"},
         {{"start", "/A"},
          {"tick", "/A/B" + kEnd},
          {"tick", "/A/B" + kEnd},  // a page end stops the timer
          {"click", "/C" + kEnd},   // the empty line clears the page and shows C at once
          {"tick", "/C" + kEnd},    // the new-page line holds the timer
          {"click", "/-D"},
          {"tick", "/-D/E" + kEnd},
          {"click", "/-D/E" + kEnd + " +chooser"},
          {"click", "/-D/E" + kEnd + " +chooser"},  // clicks and ticks do nothing now
          {"wait 1000", "/-D/E" + kEnd + " +chooser"}}},
        {"fifteen lines fill a page",
         numbered(1, 20),
         {{"start", "/L1"},
          {"wait 1400", page(numbered(1, 15))},
          {"wait 1000", page(numbered(1, 15))},
          {"click", "/L16"},
          {"wait 400", page(numbered(16, 20))},
          {"click", page(numbered(16, 20)) + " +chooser"}}},
        // A lone LF shows as a row break ("|") but the line is still one of
        // the page's fifteen.
        {"a lone LF stays inside its line",
         {"L1\nrow", "L2", "L3\n", "L4", "L5", "L6", "L7", "L8", "L9", "L10", "L11", "L12", "L13",
          "L14", "L15", "L16", "tugi"},
         {{"start", "/L1|row"},
          {"wait 1400", "/L1|row/L2/L3|/L4/L5/L6/L7/L8/L9/L10/L11/L12/L13/L14/L15" + kEnd},
          {"click", "/L16" + kEnd}}},
        {"a page filled by a click passes on at the next tick",
         numbered(1, 17),
         {{"start", "/L1"}, {"click", page(numbered(1, 15)), 14}, {"wait 100", "/L16"}}},
        {"repeat lines act at once and never show",
         {"A", "--2", "B", "C", "D", "--0", "E", "tugi"},
         {{"start", "/A" + kEnd},  // the repeat line ends the page before it
          {"click", "/B/C"},
          {"wait 100", "/B/C/D" + kEnd},
          {"click", "/B/C/D" + kEnd},  // a count of 0 takes the click and does nothing
          {"wait 100", "/E" + kEnd}}},
        // The outer run's second step acts on the inner repeat line, and the
        // outer run still makes all five of its steps.
        {"nested repeat runs keep their own counts",
         {"--5", "a", "--2", "b", "c", "d", "e", "f", "g", "h", "tugi"},
         {{"start", "/b/c/d/e/f"}, {"tick", "/b/c/d/e/f/g"}}},
        {"negative and fractional counts make whole steps only",
         {"---1", "A", "--2.5", "B", "C", "D", "tugi"},
         {{"start", ""}, {"click", "/A" + kEnd}, {"click", "/B/C"}}},
        // The scene's start counts as a click, so the timer runs, and >ive
        // holds nothing.
        {">game and >ive end the page before them but show as text",
         {"A", ">ive one", "B", ">game two", "tugi"},
         {{"start", "/A" + kEnd},
          {"tick", "/>ive one"},
          {"tick", "/>ive one/B" + kEnd},
          {"tick", "/>ive one/B" + kEnd},
          {"click", "/>game two" + kEnd}}},
        {"a page end before >ive reached by a tick waits for a click",
         {"A", "B", ">ive", "C", "tugi"},
         {{"start", "/A"},
          {"wait 100", "/A/B" + kEnd},
          {"wait 1000", "/A/B" + kEnd},
          {"click", "/>ive"},
          {"tick", "/>ive/C" + kEnd}}},
        {"a click that reaches a page end before >ive lets the next tick go on",
         {"A", "B", ">ive", "tugi"},
         {{"start", "/A"}, {"click", "/A/B" + kEnd}, {"wait 100", "/>ive" + kEnd}}},
        {"with a zero interval each line waits under a hollow mark",
         {"A", "B", "C", "tugi"},
         {{"start", "/A" + kLine}, {"click", "/A/B" + kLine}, {"click", "/A/B/C" + kEnd}},
         true},
        {"only the chooser line", {"tugi"}, {{"start", " +chooser"}}},
        {"a repeat run stops at the chooser line",
         {"--5", "A", "tugi", "B", "C"},
         {{"start", "/A" + kEnd + " +chooser"}}},
        // The line after the chooser line is text, which the timer would
        // move onto once the click has enabled it again.
        {"nothing advances once the script is closed",
         {"A", "tugi", "stray", "--3"},
         {{"start", "/A" + kEnd},
          {"click", "/A" + kEnd + " +chooser"},
          {"wait 1000", "/A" + kEnd + " +chooser"}}},
        // A hundred thousand repeat lines, each nested in the one before.
        {"long runs of empty lines and repeats do not exhaust the stack",
         {},
         {{"start", "/first" + kEnd}, {"click", "/last" + kEnd}, {"click", "/end" + kEnd}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFolder folder;
        if (c.lines.empty())
            folder.rawScript("opn", longRuns);
        else
            folder.script("opn", c.lines);
        folder.picture("opn");
        TestGame g(folder);
        if (c.zeroInterval) g.fom->TimSay.setInterval(0);
        for (const Step& s : c.steps) {
            for (int i = 0; i < s.times; ++i) {
                if (s.act == "start")
                    g.start();
                else if (s.act == "click")
                    g.click();
                else if (s.act == "tick")
                    g.tick(g.fom->TimSay);
                else
                    g.timers.advance(std::stoi(s.act.substr(5)));
            }
            EXPECT_EQ(seen(g), s.label) << "after " << s.act;
        }
    }
}

TEST(ScenePlayer, AChosenSceneStartsOnAFreshPageWhateverTheMarkWas) {
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
    EXPECT_EQ(seen(g), "/Five" + kEnd);
}
