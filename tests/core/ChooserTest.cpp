#include <gtest/gtest.h>

#include <algorithm>

#include "support/GameFolder.h"

namespace {

// Numbers whose step floor(r * 6 - 3) is the given one.
float drawFor(int step) {
    return (step + 3 + 0.5f) / 6.0f;
}

// A game at its chooser after the opening scene, with every scene present.
struct AtChooser {
    AtChooser() {
        folder.script("opn", {"Opening", "tugi", ""});
        folder.picture("opn");
        for (int i = 0; i <= 7; ++i) {
            const std::string n = std::to_string(i);
            folder.script(n, {"Scene " + n, "tugi", ""});
            folder.picture(n);
        }
        game = std::make_unique<TestGame>(folder);
        game->start();
        game->click();
    }
    Fom& f() { return *game->fom; }
    std::vector<int> visible() {
        std::vector<int> v;
        for (int i = 0; i <= 7; ++i)
            if (f().Com(i).Visible()) v.push_back(i);
        return v;
    }
    void tick(const std::vector<int>& which) {
        for (int i = 0; i <= 2; ++i) {
            const bool want = std::find(which.begin(), which.end(), i) != which.end();
            f().Opt(i).setValue(want ? 1 : 0);
        }
    }
    void play(int button) {
        f().Com(button).clickAsPlayer();
        game->click();  // through the scene to its chooser line
    }
    GameFolder folder;
    std::unique_ptr<TestGame> game;
};

using V = std::vector<int>;

}  // namespace

// Each tick every button in turn draws a number for across and one for down
// and steps floor(6r - 3) units each way, shrunk to a unit square; past either
// edge it comes back at the near edge. A unit is a tenth of the field.
TEST(WanderingButtons, StepByTheirDrawsAndComeBackAtTheNearEdge) {
    AtChooser c;
    auto& f = c.f();
    struct Case {
        float from;
        int across, down;
        float left, top;
    };
    const Case cases[] = {{3, 2, -1, 5, 2}, {0, -3, 0, 0, 0}, {8, 2, 1, 0, 9},  {9, 2, 1, 0, 0},
                          {7, 2, 2, 9, 9},  {2, -3, 2, 0, 4}, {4, -3, -3, 1, 1}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.from);
        auto& r = c.game->random.queued;
        for (int i = 0; i <= 7; ++i) {
            f.Com(i).Move(k.from, k.from, 2, 2);
            r.insert(r.end(), {drawFor(k.across), drawFor(k.down)});
        }
        c.game->tick(f.TimPic);
        EXPECT_TRUE(r.empty());
        for (int i = 0; i <= 7; ++i) {
            EXPECT_EQ(f.Com(i).Left(), k.left);
            EXPECT_EQ(f.Com(i).Top(), k.top);
            EXPECT_EQ(f.Com(i).Width(), 1);
            EXPECT_EQ(f.Com(i).Height(), 1);
        }
    }
}

TEST(SceneChoice, PlaysTheButtonsSceneWhileTheHiddenButtonsWanderAndMarksItPlayed) {
    AtChooser c;
    auto& f = c.f();
    c.tick({0, 1});
    ASSERT_EQ(c.visible(), (V{1, 2, 6}));
    f.Com(2).clickAsPlayer();
    EXPECT_EQ(utf8(f.Lbl.Caption()), "\r\nScene 2\u25BC");
    EXPECT_FALSE(f.Com(2).Enabled());
    EXPECT_EQ(f.Com(2).BackColor(), 0);
    EXPECT_TRUE(f.Com(2).Visible());
    // The hidden buttons go on wandering: two draws each per tick.
    const long before = c.game->random.draws;
    c.game->timers.advance(1100);
    EXPECT_EQ(c.game->random.draws - before, 16);
    EXPECT_EQ(utf8(f.Lbl.Caption()), "\r\nScene 2\u25BC");
    c.game->click();
    // The chooser opens again as it was left; the played button is black.
    EXPECT_TRUE(f.PicCom.Visible());
    EXPECT_EQ(c.visible(), (V{1, 2, 6}));
    f.Com(2).clickAsPlayer();  // a played button takes no click
    EXPECT_TRUE(f.PicCom.Visible());
}

TEST(UnlockRules, RevealTheButtonsOfTheTickedCombination) {
    AtChooser c;
    const std::pair<V, V> table[] = {
        {{}, {}},
        {{0}, {}},
        {{1}, {}},
        {{2}, {}},
        {{0, 1}, {1, 2, 6}},
        {{0, 2}, {0, 4, 5}},
        {{1, 2}, {3, 5, 6}},
        {{0, 1, 2}, {0, 1, 4}},
    };
    for (const auto& [boxes, buttons] : table) {
        c.tick(boxes);
        // Set every box again in a changed order so the last change is the
        // one that decides, whatever was ticked before.
        c.f().Opt(0).setValue(c.f().Opt(0).Value() == 1 ? 0 : 1);
        c.f().Opt(0).setValue(c.f().Opt(0).Value() == 1 ? 0 : 1);
        EXPECT_EQ(c.visible(), buttons);
    }
}

TEST(UnlockRules, OnceZeroToSixArePlayedAnyChangeShowsTheLastButtonAlone) {
    AtChooser c;
    auto& f = c.f();
    c.tick({0, 1, 2});
    c.play(0);
    c.play(1);
    c.play(4);
    c.tick({0, 1});
    c.play(2);
    c.play(6);
    c.tick({1, 2});
    EXPECT_EQ(c.visible(), (V{3, 5, 6}));
    c.play(3);
    c.play(5);
    // Nothing re-runs the rules when the chooser reopens.
    EXPECT_EQ(c.visible(), (V{3, 5, 6}));
    f.Opt(2).clickAsPlayer();  // unticking counts too
    EXPECT_EQ(c.visible(), (V{7}));
    f.Opt(1).clickAsPlayer();
    EXPECT_EQ(c.visible(), (V{7}));
    f.Com(7).clickAsPlayer();
    c.game->click();
    f.Opt(0).clickAsPlayer();
    EXPECT_EQ(c.visible(), (V{7}));  // even after its own scene, black
    EXPECT_FALSE(f.Com(7).Enabled());
}

// Clearing a ticked box runs its handler in the middle of the reset, which
// must not disturb the reset's own loop, whichever boxes were ticked.
TEST(Title, TheTitleLineBringsBackTheOpeningWithTheChooserReset) {
    AtChooser c;
    auto& f = c.f();
    c.folder.script("3", {"Three", ">end"});
    c.folder.picture("3", "red-blue-2x1.gif");
    for (int mask = 1; mask < 8; ++mask) {
        SCOPED_TRACE(mask);
        V boxes;
        for (int i = 0; i <= 2; ++i)
            if (mask >> i & 1) boxes.push_back(i);
        c.tick(boxes);
        f.Com(3).clickAsPlayer();
        ASSERT_FALSE(f.Com(3).Enabled());
        c.game->click();
        EXPECT_EQ(c.game->label(), "/Opening\u25BC");
        EXPECT_EQ(f.E.picture().widthPx(), 40);  // the opening picture again
        EXPECT_TRUE(f.TimSay.Enabled());
        for (int i = 0; i <= 2; ++i) EXPECT_EQ(f.Opt(i).Value(), 0);
        EXPECT_EQ(c.visible(), V{});
        for (int i = 0; i <= 7; ++i) {
            EXPECT_TRUE(f.Com(i).Enabled());
            EXPECT_EQ(f.Com(i).BackColor(), 255);
        }
        c.game->click();  // through the opening to the chooser again
    }
}
