// What a screen reader gets from the window: a frame, a label it can focus,
// read and press, whose name is the page that came to rest (what a reader
// speaks), and the chooser's controls with their states. The events that
// carry each change are seen over the real bus by the end-to-end tests.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QWidget>
#include <string>

#include "support/GameFolder.h"

namespace {

QAccessibleInterface* of(const platform::Control& c) {
    return QAccessible::queryAccessibleInterface(c.widget());
}

std::string readable(QString text) {
    return text.replace(u'\n', u'/').toStdString();
}

std::string pageText(const platform::Control& c) {
    auto* text = of(c)->textInterface();
    return text ? readable(text->text(0, text->characterCount())) : "(no text)";
}

}  // namespace

TEST(Accessibility, TheLabelIsReadLineByLineAndSpeaksEachPageOnceItRests) {
    GameFolder folder;
    folder.script("opn", {"A", "B", "", "C", "D", "tugi"});
    folder.picture("opn");
    TestGame g(folder);
    auto& f = *g.fom;
    g.start();

    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(f.window());
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
        std::string page;  // as the text interface gives it
        std::string name;  // what a reader speaks
    };
    // Lines roll in without a word; the page is spoken once it rests,
    // without its mark. A new page clears what was said.
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
        EXPECT_EQ(readable(label->text(QAccessible::Name)), s.name);
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
