// Pages cut off at the label's bottom edge: the checker plays each scene on
// the game's own window and names the script line of the first row lost.

#include <gtest/gtest.h>

#include <cmath>

#include "app/LabelDesign.h"
#include "check/Games.h"
#include "platform/LabelLayout.h"

using Strings = std::vector<std::string>;

namespace {

std::vector<std::string> numbered(const std::string& stem, int n) {
    std::vector<std::string> lines;
    for (int i = 1; i <= n; ++i) lines.push_back(stem + std::to_string(i));
    return lines;
}

// The first row of a page of `lines` that the label cuts off (1 for the
// first line), as the label lays it out with the page-end mark.
std::size_t firstCutRow(const std::vector<std::string>& lines) {
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

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(Pages, ACutPageIsReportedOnceAtTheLineOfItsFirstLostRow) {
    // After an empty line a page holds 16 lines. One click shows them all and
    // then acts on a repeat line that shows nothing.
    const auto page = numbered("L", 16);
    CleanGame g;
    g.folder.script("opn", concat({"A", "", "--17"}, concat(page, {"--0", "tugi", ""})));
    const std::size_t row = firstCutRow(page);
    const auto found = g.check();
    ASSERT_EQ(where(found), Strings{"txt/opn.txt:" + std::to_string(row + 3) + " warning"});
    EXPECT_NE(found[0].message.find("and the " + std::to_string(16 - row) + " line"),
              std::string::npos)
        << found[0].message;
}

TEST(Pages, APageCompletedOnTheWayToTheChooserIsChecked) {
    // One click shows fifteen lines and then opens the chooser.
    const auto page = numbered("L", 15);
    CleanGame g;
    g.folder.script("0", concat({"--16"}, concat(page, {"tugi", ""})));
    EXPECT_EQ(where(g.check()),
              Strings{"txt/0.txt:" + std::to_string(firstCutRow(page) + 1) + " warning"});
}

TEST(Pages, LinesTooWideForTheLabelWrapAndTakeMoreRoom) {
    std::vector<std::string> page;
    for (int i = 0; i < 8; ++i) {
        std::string line;
        for (int k = 0; k < 40; ++k) line += "あ";
        page.push_back(std::to_string(i) + line);
    }
    CleanGame g;
    // The end of the file stands in for the chooser line.
    g.folder.script("1", concat({"-title"}, page));
    EXPECT_EQ(
        where(g.check()),
        Strings{"txt/1.txt:" + std::to_string(firstCutRow(concat({"-title"}, page))) + " warning"});
}

TEST(Pages, AfterReturningToTheTitleTheOpeningScenesPageIsNotTakenForTheScenes) {
    // The opening scene's first click fills a page too long for the label;
    // scene 2 returns to the title, which shows that page again.
    const auto page = numbered("L", 15);
    CleanGame g;
    g.folder.script("opn", concat({"--15"}, concat(page, {"tugi", ""})));
    g.folder.script("2", concat({"A", ">end"}, numbered("X", 20)));
    EXPECT_EQ(where(g.check()),
              (Strings{"txt/opn.txt:" + std::to_string(firstCutRow(page) + 1) + " warning",
                       "txt/2.txt:3 warning"}));
}
