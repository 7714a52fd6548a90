// What a screen reader gets from the window: a frame, a label it can focus,
// read and press, whose pages are announced once each as they come to rest,
// and the chooser's controls with their states. The events that carry each
// change are seen over the real bus by the end-to-end tests.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/desktop/form/Widgets.h"
#include "support/GameFolder.h"

namespace {

QAccessibleInterface* of(const platform::Control& c) {
    return QAccessible::queryAccessibleInterface(platform::widgetOf(c));
}

std::string readable(QString text) {
    return text.replace(u'\n', u'/').toStdString();
}

std::string pageText(const platform::Control& c) {
    auto* text = of(c)->textInterface();
    return text ? readable(text->text(0, text->characterCount())) : "(no text)";
}

// A reader speaks a focused label by its name, or by its text when it has
// none; and whatever it speaks, it reads when it gets round to it.
std::string heardOnFocus(const platform::Control& label) {
    const QString name = of(label)->text(QAccessible::Name);
    return name.isEmpty() ? pageText(label) : readable(name);
}

// Writes down what a reader is told about the text, at the moments the
// toolkit tells it: the focus coming to the label, and every notification
// that appears. (Offscreen there is no reader for the toolkit to send its
// events to; these are the widget events it sends them from.)
class Reader final : public QObject {
  public:
    explicit Reader(const platform::Control& label)
        : label_(platform::widgetOf(label)), window_(platform::widgetOf(label)->window()) {
        QApplication::instance()->installEventFilter(this);
    }
    ~Reader() override { QApplication::instance()->removeEventFilter(this); }
    std::vector<std::string> told;
    // A reader hears nothing while the program's accessibility is off.
    bool listening = true;
    // Also writes down the window becoming active.
    bool windowToo = false;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (windowToo && event->type() == QEvent::WindowActivate && watched == window_)
            told.push_back("window");
        // Asked no sooner: an object's interface is made once, and one asked
        // for while the object is still being built would be the wrong one.
        const bool focus = event->type() == QEvent::FocusIn && watched == label_;
        if (!focus && event->type() != QEvent::Show) return false;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(watched);
        const std::string name = iface ? readable(iface->text(QAccessible::Name)) : "";
        if (focus) told.push_back("focus: " + name);
        if (iface && !focus && listening && iface->role() == QAccessible::Notification)
            told.push_back("notification: " + name);
        return false;
    }

  private:
    const QObject* label_;
    const QObject* window_;
};

// Lets queued work run: what the toolkit posts while it handles an event.
void settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace

TEST(Accessibility, TheLabelIsReadLineByLineAndAnnouncesEachPageOnceItRests) {
    GameFolder folder;
    folder.script("opn", {"A", "B", "", "C", "D", "tugi"});
    folder.picture("opn");
    TestGame g(folder);
    auto& f = *g.fom;
    g.start();

    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(platform::hostOf(f));
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name).toStdString(), "Pirokko");
    QAccessibleInterface* label = of(f.Lbl);
    EXPECT_EQ(label->role(), QAccessible::StaticText);
    EXPECT_TRUE(label->state().focusable);
    ASSERT_NE(label->actionInterface(), nullptr);
    EXPECT_EQ(label->actionInterface()->actionNames(),
              QStringList{QAccessibleActionInterface::pressAction()});

    struct Step {
        const char* act;
        std::string page;       // as the text interface gives it
        std::string announced;  // while the page rests
    };
    // Lines roll in without a word; the page is announced once it rests,
    // without its mark, and the announcement goes when the next page comes.
    const Step steps[] = {
        {"start", "A", ""},      {"tick", "A/B", "A/B"},  {"press", "C", ""},
        {"press", "C/D", "C/D"}, {"press", "C/D", "C/D"},  // the chooser opened; the page stays
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.act);
        const std::string act = s.act;
        if (act == "tick") g.tick(f.TimSay);
        if (act == "press")
            label->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_EQ(pageText(f.Lbl), s.page);
        EXPECT_EQ(announced(f.Lbl), s.announced);
    }
    EXPECT_TRUE(f.PicCom.Visible());

    // The boxes keep their names and states; a played button is unavailable.
    f.Opt(0).setValue(1);
    f.Opt(1).setValue(1);
    EXPECT_EQ(of(f.Opt(0))->text(QAccessible::Name).toStdString(), "月");
    EXPECT_TRUE(of(f.Opt(0))->state().checked);
    EXPECT_FALSE(of(f.Opt(2))->state().checked);
    f.Com(1).setEnabled(platform::False);
    EXPECT_TRUE(of(f.Com(1))->state().disabled);
    EXPECT_FALSE(of(f.Com(2))->state().disabled);
}

// The focus comes to the text as the game starts and again as each scene
// starts, while the first page is still rolling in. What the focus says must
// never be the page (whole or as far as it has come, depending on when the
// reader reads it), or the first page would be heard twice.
TEST(Accessibility, EveryPageIsHeardOnceAndWholeTheFirstOfEachSceneToo) {
    GameFolder folder;
    folder.script("opn", {"A", "B", "", "C", "tugi"});
    folder.script("6", {"six", "sechs", "seis", "", "end", "tugi"});
    for (const char* name : {"opn", "6"}) folder.picture(name);
    TestGame g(folder);
    auto& f = *g.fom;
    Reader reader(f.Lbl);
    g.start();
    platform::hostOf(f)->activateWindow();
    QApplication::processEvents();
    ASSERT_TRUE(platform::hostOf(f)->isActiveWindow());

    const std::string onFocus = heardOnFocus(f.Lbl);
    EXPECT_NE(onFocus, "");
    // A page rolls in and rests; whenever the reader reads the focused label
    // meanwhile, it hears the same words.
    const auto rollIn = [&] {
        for (int line = 0; line < 15 && announced(f.Lbl).empty(); ++line) {
            EXPECT_EQ(heardOnFocus(f.Lbl), onFocus) << "with the page at " << pageText(f.Lbl);
            g.tick(f.TimSay);
        }
        EXPECT_EQ(heardOnFocus(f.Lbl), onFocus) << "with the page at " << pageText(f.Lbl);
    };
    rollIn();
    g.click();
    rollIn();
    g.click();  // the chooser opens
    f.Opt(0).clickAsPlayer();
    f.Opt(1).clickAsPlayer();
    f.Com(6).clickAsPlayer();
    rollIn();

    const std::vector<std::string> told = {
        "focus: " + onFocus,
        "notification: A/B",
        "notification: C",
        "focus: " + onFocus,
        "notification: six/sechs/seis",
    };
    EXPECT_EQ(reader.told, told);
}

// Three things happen as the game starts, in an order that varies from one
// start to the next: the window becomes active, the first page comes to rest,
// and the program's link to the screen reader comes up (late on a slow
// start). In every order the reader hears the page once: as it rests if the
// reader can hear it then, else once it can and the window is active, after
// it has heard of the window and the focus; and not again when the player
// comes back to the window.
TEST(Accessibility, TheFirstPageIsHeardOnceWhateverTheOrderOfWindowRestAndReader) {
    enum Step { kActivate, kRest, kListen, kElsewhere };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        bool afterTheWindow;  // heard after the window and the focus
    };
    const Case cases[] = {
        {"window first", {kListen, kActivate, kRest}, true},
        {"rest first", {kListen, kRest, kActivate}, false},
        {"reader late, window active", {kActivate, kRest, kListen}, true},
        {"reader late, window not active", {kRest, kListen, kActivate}, true},
        {"reader last of all", {kRest, kActivate, kListen}, true},
        {"the player leaves and comes back",
         {kListen, kActivate, kRest, kElsewhere, kActivate},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFolder folder;
        folder.script("opn", {"A", "B", "", "C", "tugi"});
        folder.picture("opn");
        TestGame g(folder);
        auto& f = *g.fom;
        QAccessible::setActive(false);
        Reader reader(f.Lbl);
        reader.windowToo = true;
        reader.listening = false;
        // The window the game was started from keeps the focus for now.
        g.start();
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        settle();
        ASSERT_FALSE(platform::hostOf(f)->isActiveWindow());
        ASSERT_EQ(g.label(), "/A");
        reader.told.clear();

        int windows = 0;
        for (Step step : c.steps) {
            switch (step) {
                case kActivate:
                    platform::hostOf(f)->activateWindow();
                    ++windows;
                    break;
                case kRest:
                    g.tick(f.TimSay);
                    break;
                case kListen:
                    reader.listening = true;
                    QAccessible::setActive(true);
                    break;
                case kElsewhere:
                    elsewhere.activateWindow();
                    break;
            }
            settle();
        }
        ASSERT_TRUE(platform::hostOf(f)->isActiveWindow());
        std::vector<std::string> heard = reader.told;
        const std::string focus = "focus: Text: Space goes on";
        std::erase_if(heard, [&](const std::string& s) { return s == "window" || s == focus; });
        EXPECT_EQ(heard, std::vector<std::string>{"notification: A/B"});
        const auto page = std::find(reader.told.begin(), reader.told.end(), "notification: A/B");
        EXPECT_EQ(std::count(reader.told.begin(), page, "window"), c.afterTheWindow ? 1 : 0);
        EXPECT_EQ(std::count(reader.told.begin(), page, focus), c.afterTheWindow ? 1 : 0);
        EXPECT_EQ(std::count(reader.told.begin(), reader.told.end(), "window"), windows);
        EXPECT_EQ(announced(f.Lbl), "A/B");
        QAccessible::setActive(false);
    }
}

// The text's name says what a key does there: Space goes on while a scene
// plays; once the chooser is open Space does nothing on the text, and the
// name says how to reach the boxes and buttons instead.
TEST(Accessibility, TheTextsNameSaysWhatAKeyDoesThere) {
    GameFolder folder;
    folder.script("opn", {"A", "tugi"});
    folder.script("6", {"six", "tugi"});
    for (const char* name : {"opn", "6"}) folder.picture(name);
    TestGame g(folder);
    auto& f = *g.fom;
    Reader reader(f.Lbl);
    g.start();
    platform::hostOf(f)->activateWindow();
    settle();
    g.click();  // the chooser opens, with the focus on its first box
    ASSERT_TRUE(f.PicCom.Visible());
    f.Lbl.SetFocus();  // back to the text, as Shift+Tab does
    g.click();         // and Space there does nothing
    ASSERT_TRUE(f.PicCom.Visible());
    // On to the boxes and a button, as Tab does, and on to the scene.
    platform::widgetOf(f.Opt(0))->setFocus(Qt::TabFocusReason);
    f.Opt(0).clickAsPlayer();
    f.Opt(1).clickAsPlayer();
    platform::widgetOf(f.Com(6))->setFocus(Qt::TabFocusReason);
    f.Com(6).clickAsPlayer();
    const std::vector<std::string> foci = {
        "focus: Text: Space goes on",
        "focus: Text: Tab goes to the boxes and the scene buttons",
        "focus: Text: Space goes on",
    };
    std::vector<std::string> told = reader.told;
    std::erase_if(told, [](const std::string& s) { return s.starts_with("notification"); });
    EXPECT_EQ(told, foci);
    EXPECT_EQ(g.label(), "/six\u25BC");
}
