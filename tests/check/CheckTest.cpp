// The checker's findings on a complete game broken in one way at a time.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "app/LabelDesign.h"
#include "check/Games.h"
#include "platform/form/LabelLayout.h"

using Strings = std::vector<std::string>;

namespace {

Strings numbered(const std::string& stem, int n) {
    Strings lines;
    for (int i = 1; i <= n; ++i) lines.push_back(stem + std::to_string(i));
    return lines;
}

Strings concat(Strings a, const Strings& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The first row of a page of `lines` that the label cuts off (1 for the
// first line), as the game's label lays it out with the page-end mark. The
// checker must name the script line that row comes from, whatever the font.
std::size_t firstCutRow(const Strings& lines) {
    platform::Text caption;
    for (const auto& line : lines) caption += u"\r\n" + platform::fromUtf8(line);
    caption += u"\u25BC";
    const auto px = [](double twips) {
        return static_cast<int>(std::lround(twips / platform::kTwipsPerPixel));
    };
    const auto fit =
        platform::fitCaption(caption, fom_design::kLabelFace, fom_design::kLabelPoints,
                             px(fom_design::kLabelTwips.width), px(fom_design::kLabelTwips.height));
    EXPECT_FALSE(fit.fits()) << "the test page must not fit";
    return fit.firstCutRow;
}

std::string at(const std::string& file, std::size_t line, const char* severity) {
    return file + ":" + std::to_string(line) + " " + severity;
}

}  // namespace

TEST(Check, FindsEachKindOfFaultWhereItLies) {
    const Strings page15 = numbered("L", 15), page16 = numbered("L", 16);
    Strings widePage = {"-title"};
    for (int i = 0; i < 8; ++i) {
        std::string line = std::to_string(i);
        for (int k = 0; k < 40; ++k) line += "あ";
        widePage.push_back(line);
    }

    // Every line holds a lone LF, so each shows as two rows of the label.
    Strings splitPage;
    for (int i = 1; i <= 9; ++i) splitPage.push_back("L" + std::to_string(i) + "\nrow");
    Strings splitFound;
    const std::size_t splitCut = (firstCutRow(splitPage) + 1) / 2;
    for (std::size_t i = 1; i <= splitPage.size(); ++i) {
        splitFound.push_back(at("txt/2.txt", i, "warning"));
        if (i == splitCut) splitFound.push_back(at("txt/2.txt", i, "warning"));
    }

    struct Case {
        const char* name;
        std::vector<std::pair<const char*, Strings>> scripts;  // scene, lines
        Strings found;          // "file[:line[:column]] severity", in order
        Strings messages = {};  // each in some finding's message
        std::function<void(CleanGame&)> alsoBreak = [](CleanGame&) {};
    };
    const Case cases[] = {
        {"every line kind, lone CRs, no line end and no chooser line at the end",
         {{"opn",
           {"A", "", "B", "-C", "--2", "D", "E", ">ive", ">game x", "  ", "--0", "--2.5", "F", "G",
            "tugi", ""}},
          {"2", {"A", "--2", "B"}}},
         {},
         {},
         [](CleanGame& g) { g.folder.rawScript("1", "A\r--1\rB\rtugi"); }},
        {"missing, empty and broken files",
         {},
         {"img/0.gif error", "txt/3.txt error", "txt/4.txt error", "img/5.gif error",
          "img/6.gif error", "bgm.wav error"},
         {"missing", "scene 3 starts", "empty"},
         [](CleanGame& g) {
             g.folder.remove("txt/3.txt");
             g.folder.rawScript("4", "");
             g.folder.remove("img/5.gif");
             g.write("img/6.gif", "");
             g.folder.picture("0", "red-8x8.png");
             g.write("bgm.wav", "RIFF but not a wave");
         }},
        {"no music", {}, {"bgm.wav warning"}, {}, [](CleanGame& g) { g.folder.remove("bgm.wav"); }},
        {"repeat counts that are no numbers",
         {{"opn", {"A", "--", "--two", "--1e999", "--2", "B", "C", "tugi", ""}}},
         {"txt/opn.txt:2 error", "txt/opn.txt:3 error", "txt/opn.txt:4 error"}},
        {"repeat runs counted as the player counts them",
         {{"0", {"--3", "A", "tugi", ""}},                   // one step too many
          {"1", {"--2", "--2", "A", "tugi", ""}},            // the outer run runs past
          {"2", {"A", "--1", "--3", "B", "tugi", ""}},       // the inner one does
          {"3", {"--3", "", "A", "tugi", ""}},               // an empty line is no step
          {"4", {"A", "--3", "B"}},                          // past the end of the file
          {"5", {"--2", "--3", "A", "B", "C", "tugi", ""}},  // each run its own count
          {"6", {"--1.9", "A", "tugi", ""}}},                // whole steps only
         {"txt/0.txt:1 error", "txt/1.txt:1 error", "txt/2.txt:3 error", "txt/3.txt:1 error",
          "txt/4.txt:2 error"}},
        {"the line after a chooser line must hold the timer; later ones are never read",
         {{"0", {"A", "tugi", "B"}},
          {"1", {"A", "tugi", ">ive"}},  // ends a page but holds nothing
          {"2", {"A", "tugi", ">game"}},
          {"3", {"A", "tugi", "-B", "C", "D"}},
          {"4", {"A", "tugix", "", "B"}}},
         {"txt/0.txt:3 error", "txt/1.txt:3 error", "txt/3.txt:4 warning", "txt/4.txt:4 warning"},
         {"this line and the 1 line after it"}},
        {"title lines end the scene",
         {{"opn", {"A", ">end"}},  // the chooser could never open
          {"3", {"--3", "A", ">end"}},
          {"7", {"A", ">end", "B"}}},
         {"txt/opn.txt:2 error", "txt/3.txt:1 warning", "txt/7.txt:3 warning"}},
        {"the last scene leaves the player in the chooser",
         {{"7", {"A", "tugi", "", ">end"}}},
         {"txt/7.txt:2 warning", "txt/7.txt:4 warning"}},
        {"the last scene ends with the file", {{"7", {"A", "B"}}}, {"txt/7.txt:2 warning"}},
        {"undecodable bytes, at their column in characters",
         {},
         {"txt/opn.txt:2:3 warning", "txt/0.txt:2:2 warning"},
         {"2 bytes"},
         [](CleanGame& g) {
             g.folder.rawScript(
                 "opn", "A\r\n" + cp932("あい") + "\xFF" + cp932("う") + "\x81\r\ntugi\r\n\r\n");
             g.folder.rawScript("0", "A\rB\xFF\rtugi\r\r");
         }},
        {"line ends a Linux editor saves, and a lone LF among CR LF ones",
         {},
         {"txt/3.txt error", "txt/5.txt:2 warning"},
         {"LF alone", "pirokko-check --fix"},
         [](CleanGame& g) {
             g.folder.rawScript("3", "A\nB\ntugi\n\n");
             g.folder.rawScript("5", "A\r\nB\nC\r\ntugi\r\n\r\n");
         }},
        // A CR LF conversion run twice: each line is followed by an empty
        // one, which ends its page. A single CR CR LF is a line ended by CR
        // and an empty line, as a script may well mean.
        {"line ends doubled, everywhere or once",
         {},
         {"txt/3.txt:1 error"},
         {"CR CR LF", "every line shows as a page of its own", "pirokko-check --fix"},
         [](CleanGame& g) {
             g.folder.rawScript("3", "A\r\r\nB\r\r\ntugi\r\r\n");
             g.folder.rawScript("4", "A\r\r\nB\r\ntugi\r\n\r\n");
         }},
        // One UTF-8 kana decodes as code page 932 but the line end after it
        // does not; a longer text is caught either way.
        {"scripts saved as UTF-8",
         {},
         {"txt/0.txt error", "txt/1.txt error"},
         {"saved as UTF-8", "pirokko-check --fix"},
         [](CleanGame& g) {
             g.folder.rawScript("0", "\xE3\x81\x82\r\ntugi\r\n\r\n");
             g.folder.rawScript("1",
                                "\xE6\x98\x94\xE3\x80\x81\xE3\x81\x82\xE3\x82\x8B"
                                "\xE6\x9D\x91\xE3\x81\xAB\r\ntugi\r\n\r\n");
         }},
        // Real code page 932 text must not be taken for UTF-8. Half-width
        // kana can be valid UTF-8 ("ﾃｽ" reads as "ý"); the rest never is.
        {"Japanese prose in code page 932 checks clean",
         {{"opn",
           {"　朝早く、ぴろっこは丘の上の小さな家を出ました。", "「今日はどこへ行こうかな」",
            "森の奥から、鳥の声が聞こえてきます。", "～①Ⅱ㈱―＼　全角の記号も使えます。", "ﾃｽ",
            "ﾃｽﾄ、半角ｶﾀｶﾅの行です。", "tugi", ""}},
          {"0", {"ﾃｽ", "tugi", ""}}},
         {}},
        {"a row broken by a lone LF belongs to its line when a page is cut",
         {{"2", splitPage}},
         splitFound},
        // After an empty line a page holds 16 lines. One click shows them all
        // and then acts on a repeat line that shows nothing.
        {"a page cut off at the label's bottom, once at its first lost row",
         {{"opn", concat({"A", "", "--17"}, concat(page16, {"--0", "tugi", ""}))}},
         {at("txt/opn.txt", firstCutRow(page16) + 3, "warning")},
         {"and the " + std::to_string(16 - firstCutRow(page16)) + " line"}},
        {"a page completed on the way to the chooser",
         {{"0", concat({"--16"}, concat(page15, {"tugi", ""}))}},
         {at("txt/0.txt", firstCutRow(page15) + 1, "warning")}},
        {"lines too wide for the label wrap",
         {{"1", widePage}},
         {at("txt/1.txt", firstCutRow(widePage), "warning")}},
        // Scene 2 returns to the title, which shows the opening's page again:
        // that is the opening's finding, not the scene's.
        {"a cut page after a return to the title",
         {{"opn", concat({"--15"}, concat(page15, {"tugi", ""}))},
          {"2", concat({"A", ">end"}, numbered("X", 20))}},
         {at("txt/opn.txt", firstCutRow(page15) + 1, "warning"), "txt/2.txt:3 warning"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CleanGame g;
        for (const auto& [scene, lines] : c.scripts) g.folder.script(scene, lines);
        c.alsoBreak(g);
        const auto found = g.check();
        EXPECT_EQ(where(found), c.found);
        std::string messages;
        for (const auto& f : found) messages += f.message + "\n";
        for (const auto& m : c.messages) EXPECT_NE(messages.find(m), std::string::npos) << messages;
    }
}
