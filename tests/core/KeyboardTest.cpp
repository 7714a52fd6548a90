// Playing without a pointer: keys and the wheel on the label, the chooser by
// keyboard, and where the focus goes as scenes come and go.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QWidget>
#include <functional>

#include "platform/desktop/form/Widgets.h"
#include "support/GameFolder.h"

namespace {

void key(QWidget* to, int code, Qt::KeyboardModifiers mods = Qt::NoModifier, bool repeat = false) {
    QKeyEvent press(QEvent::KeyPress, code, mods, QString(), repeat);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, code, mods, QString(), repeat);
    QApplication::sendEvent(to, &release);
}

// A wheel turn as the window receives it once no control has taken it.
void wheel(QWidget* window, int dy) {
    const QPointF at(200, 100);
    QWheelEvent e(at, window->mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window, &e);
}

// Started as the player sees it: the window in front, so that focus moves
// raise their focus events.
void startInFront(TestGame& g) {
    g.start();
    platform::hostOf(*g.fom)->activateWindow();
    QApplication::processEvents();
    ASSERT_TRUE(platform::hostOf(*g.fom)->isActiveWindow());
}

QWidget* focused(const TestGame& g) {
    return platform::hostOf(*g.fom)->focusWidget();
}

// The focused control's key, as a player presses it.
void press(const TestGame& g, int code) {
    key(focused(g), code);
}

std::string focusName(const TestGame& g) {
    auto& f = *g.fom;
    if (focused(g) == platform::widgetOf(f.Lbl)) return "label";
    for (int i = 0; i <= f.Opt.UBound(); ++i)
        if (focused(g) == platform::widgetOf(f.Opt(i))) return "box " + std::to_string(i);
    for (int i = 0; i <= f.Com.UBound(); ++i)
        if (focused(g) == platform::widgetOf(f.Com(i))) return "button " + std::to_string(i);
    return "elsewhere";
}

}  // namespace

// Two games of one script side by side: one clicked, one driven by the way
// in under test. After every step both labels and choosers must agree.
TEST(Keyboard, EachAdvancingKeyAndTheWheelActsAsOneClick) {
    struct Case {
        const char* name;
        std::function<void(TestGame&)> advance;
        bool advances = true;
    };
    const Case cases[] = {
        {"Space", [](TestGame& g) { press(g, Qt::Key_Space); }},
        {"Return", [](TestGame& g) { press(g, Qt::Key_Return); }},
        {"keypad Enter", [](TestGame& g) { key(focused(g), Qt::Key_Enter, Qt::KeypadModifier); }},
        {"Page Down", [](TestGame& g) { press(g, Qt::Key_PageDown); }},
        {"Down", [](TestGame& g) { press(g, Qt::Key_Down); }},
        {"a wheel notch down", [](TestGame& g) { wheel(platform::hostOf(*g.fom), -120); }},
        {"two half notches",
         [](TestGame& g) {
             wheel(platform::hostOf(*g.fom), -60);
             wheel(platform::hostOf(*g.fom), -60);
         }},
        {"a held key's repeat",
         [](TestGame& g) { key(focused(g), Qt::Key_Space, Qt::NoModifier, true); }, false},
        {"Shift+Space", [](TestGame& g) { key(focused(g), Qt::Key_Space, Qt::ShiftModifier); },
         false},
        {"the wheel turned up", [](TestGame& g) { wheel(platform::hostOf(*g.fom), 120); }, false},
        {"half a notch, then back up",
         [](TestGame& g) {
             wheel(platform::hostOf(*g.fom), -60);
             wheel(platform::hostOf(*g.fom), 30);
         },
         false},
        {"Up", [](TestGame& g) { press(g, Qt::Key_Up); }, false},
    };
    GameFolder folder;
    folder.script("opn", {"A", "B", "", "C", "-D", "E", "tugi"});
    folder.picture("opn");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestGame clicked(folder), keyed(folder);
        clicked.start();
        keyed.start();
        ASSERT_EQ(focusName(keyed), "label");
        for (int step = 0; step < 6; ++step) {
            SCOPED_TRACE(step);
            clicked.tick(clicked.fom->TimSay);
            keyed.tick(keyed.fom->TimSay);
            const std::string before = keyed.label();
            if (c.advances) clicked.click();
            c.advance(keyed);
            EXPECT_EQ(keyed.label(), clicked.label());
            EXPECT_EQ(keyed.fom->PicCom.Visible(), clicked.fom->PicCom.Visible());
            if (!c.advances) {
                EXPECT_EQ(keyed.label(), before);
            }
        }
    }
}

TEST(Keyboard, TheChooserTakesTheFocusButKeysActOnlyOnceThePlayerMovesIt) {
    GameFolder folder;
    folder.script("opn", {"A", "tugi"});
    folder.script("1", {"one", "tugi"});
    folder.picture("opn");
    folder.picture("1");
    TestGame g(folder);
    auto& f = *g.fom;
    startInFront(g);
    press(g, Qt::Key_Space);  // the page's last key opens the chooser
    ASSERT_TRUE(f.PicCom.Visible());
    EXPECT_EQ(focusName(g), "box 0");
    // Keys still meant for the text change nothing, auto-repeat or not.
    press(g, Qt::Key_Space);
    press(g, Qt::Key_Return);
    key(focused(g), Qt::Key_Space, Qt::NoModifier, true);
    EXPECT_EQ(f.Opt(0).Value(), 0);
    EXPECT_EQ(focusName(g), "box 0");

    struct Step {
        int key;
        std::string focus;
        int ticked[3];
    };
    // Space and Enter both toggle a box; Tab and the arrows move on, and
    // only visible, unplayed controls take the focus.
    const Step steps[] = {
        {Qt::Key_Tab, "box 1", {0, 0, 0}},        {Qt::Key_Backtab, "box 0", {0, 0, 0}},
        {Qt::Key_Space, "box 0", {1, 0, 0}},      {Qt::Key_Right, "box 1", {1, 0, 0}},
        {Qt::Key_Return, "box 1", {1, 1, 0}},     {Qt::Key_Tab, "box 2", {1, 1, 0}},
        {Qt::Key_Tab, "button 1", {1, 1, 0}},     {Qt::Key_Tab, "button 2", {1, 1, 0}},
        {Qt::Key_Tab, "button 6", {1, 1, 0}},     {Qt::Key_Tab, "label", {1, 1, 0}},
        {Qt::Key_Space, "label", {1, 1, 0}},  // the label ignores keys while the chooser is open
        {Qt::Key_Tab, "box 0", {1, 1, 0}},        {Qt::Key_Left, "label", {1, 1, 0}},
        {Qt::Key_Backtab, "button 6", {1, 1, 0}}, {Qt::Key_Backtab, "button 2", {1, 1, 0}},
        {Qt::Key_Backtab, "button 1", {1, 1, 0}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.focus);
        press(g, s.key);
        EXPECT_EQ(focusName(g), s.focus);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(f.Opt(i).Value(), s.ticked[i]);
    }

    // Enter on a scene button plays it; the focus goes back to the label.
    press(g, Qt::Key_Return);
    EXPECT_FALSE(f.PicCom.Visible());
    EXPECT_EQ(g.label(), "/one\u25BC");
    EXPECT_EQ(focusName(g), "label");
    press(g, Qt::Key_Space);
    ASSERT_TRUE(f.PicCom.Visible());
    EXPECT_EQ(focusName(g), "box 0");
    // The played button is passed over.
    for (const char* expected : {"box 1", "box 2", "button 2", "button 6"}) {
        press(g, Qt::Key_Tab);
        EXPECT_EQ(focusName(g), expected);
    }
}

// Focus that the keyboard brought is marked, and stays marked as the buttons
// wander; focus the program or the mouse moved shows nothing new.
TEST(Keyboard, OnlyFocusReachedByTheKeyboardIsMarked) {
    GameFolder folder;
    folder.script("opn", {"A", "tugi"});
    folder.picture("opn");
    TestGame g(folder);
    auto& f = *g.fom;
    startInFront(g);
    g.click();
    QWidget* moon = platform::widgetOf(f.Opt(0));
    ASSERT_EQ(focused(g), moon);
    const QImage programFocus = moon->grab().toImage();
    f.Opt(0).SetFocus();
    EXPECT_EQ(moon->grab().toImage(), programFocus);
    press(g, Qt::Key_Tab);
    press(g, Qt::Key_Backtab);
    ASSERT_EQ(focused(g), moon);
    const QImage marked = moon->grab().toImage();
    EXPECT_NE(marked, programFocus);
    // The corners of the mark are black, whatever the face below.
    EXPECT_EQ(marked.pixelColor(1, 1), QColor(Qt::black));
    EXPECT_NE(programFocus.pixelColor(1, 1), QColor(Qt::black));

    f.Opt(0).setValue(1);
    f.Opt(1).setValue(1);  // reveals 6, 1 and 2
    press(g, Qt::Key_Tab);
    press(g, Qt::Key_Tab);
    press(g, Qt::Key_Tab);
    ASSERT_EQ(focusName(g), "button 1");
    for (int i = 0; i < 5; ++i) {
        g.tick(f.TimPic);
        EXPECT_EQ(focusName(g), "button 1");
        const QImage face = platform::widgetOf(f.Com(1))->grab().toImage();
        EXPECT_EQ(face.pixelColor(1, 1), QColor(Qt::black));
    }
}
