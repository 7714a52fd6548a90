#include <gtest/gtest.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QPushButton>

#include "platform/desktop/form/Widgets.h"
#include "platform/system/Dispatch.h"
#include "platform/system/Program.h"
#include "support/GameFolder.h"

TEST(Window, ClosingEndsTheProgramWhetherTheScriptIsOpenOrNot) {
    for (bool chooserOpen : {false, true}) {
        GameFolder folder;
        folder.script("opn", {"Hello", "tugi", ""});
        folder.picture("opn");
        TestGame g(folder);
        g.start();
        if (chooserOpen) g.click();
        ASSERT_EQ(g.fom->Files.isOpen(g.fom->FileNo), !chooserOpen);
        g.fom->close();
        EXPECT_FALSE(platform::Dispatcher::takePendingFault());
        EXPECT_TRUE(platform::Dispatcher::halted());
        EXPECT_FALSE(g.fom->Files.isOpen(g.fom->FileNo));
        g.timers.advance(5000);  // nothing runs any more
        EXPECT_EQ(g.random.draws, 0);
    }
}

TEST(Window, WorkLeftForAfterTheFirstFrameRunsOnceThatPaintIsDone) {
    GameFolder folder;
    folder.script("opn", {"Hello", "tugi", ""});
    folder.picture("opn");
    TestGame g(folder);
    struct PaintSeen final : QObject {
        bool seen = false;
        bool eventFilter(QObject*, QEvent* e) override {
            seen = seen || e->type() == QEvent::Paint;
            return false;
        }
    } paints;
    platform::hostOf(*g.fom)->installEventFilter(&paints);
    g.start();
    bool paintedBefore = false;
    int ran = 0;
    platform::Application::afterFirstFrame([&] {
        paintedBefore = paints.seen;
        ++ran;
    });
    EXPECT_EQ(ran, 0);
    for (int i = 0; i < 50 && ran == 0; ++i)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(paintedBefore);
    platform::hostOf(*g.fom)->repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, 1);
}

TEST(Window, TheLabelShowsMarkupLiterallyAndTellsAssistiveTechnology) {
    GameFolder folder;
    folder.script("opn", {"<b>x</b> & y", "tugi", ""});
    folder.picture("opn");
    TestGame g(folder);
    auto& f = *g.fom;
    g.start();
    auto* label = static_cast<QLabel*>(platform::widgetOf(f.Lbl));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->text().toStdString(), "\r\n<b>x</b> & y\u25BC");
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(label);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::StaticText);
    ASSERT_NE(a->textInterface(), nullptr);
    EXPECT_EQ(a->textInterface()->text(0, -1).toStdString(), "<b>x</b> & y");
    // Buttons show '&' as itself rather than as a keyboard mnemonic.
    f.Com(0).setCaption(u"A&B");
    EXPECT_EQ(static_cast<QPushButton*>(platform::widgetOf(f.Com(0)))->text(),
              QStringLiteral("A&&B"));
}

TEST(Window, TheLabelDrawsItsRowsCentredFromTheTop) {
    GameFolder folder;
    folder.script("opn", {"ああああ", "tugi", ""});
    folder.picture("opn");
    TestGame g(folder);
    g.start();
    const QImage shot = platform::hostOf(*g.fom)->grab().toImage();
    // Find the ink of the first text row (the second row of the label).
    int minX = 10000, maxX = -1, minY = 10000;
    for (int y = 16; y < 16 + 60; ++y)
        for (int x = 0; x < 417; ++x)
            if (qGray(shot.pixel(x, y)) < 60) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
            }
    ASSERT_GE(maxX, 0) << "no text drawn";
    const int centre = (minX + maxX) / 2;
    EXPECT_NEAR(centre, -16 + 433 / 2, 12);  // centred in the label's box
    EXPECT_GT(minY, 16 + 14);                // below the blank first row
}

// The music procedures are the media tests'; this is when the window calls
// them: open and play as it loads, a poll every millisecond that goes on past
// a return to the title, and close with the window, after which nothing polls.
TEST(Window, PlaysTheMusicFromLoadingToClosing) {
    GameFolder folder;
    folder.script("opn", {"Hello", "tugi", ""});
    folder.picture("opn");
    TestGame g(folder);
    auto& sent = g.media.commands;
    g.start();
    EXPECT_EQ(sent, (std::vector<std::string>{"close MIDI notify",
                                              "open \"" + folder.path() + "/bgm.wav\" alias MIDI",
                                              "play MIDI notify"}));
    g.timers.advance(3);
    EXPECT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent.back(), "status MIDI mode");
    g.fom->Form_Activate();
    g.media.statusReply = "stopped";
    g.timers.advance(1);
    EXPECT_EQ(sent.back(), "play MIDI from 0");
    g.fom->close();
    EXPECT_EQ(sent.back(), "close MIDI notify");
    const std::size_t atClose = sent.size();
    g.timers.advance(100);
    EXPECT_EQ(sent.size(), atClose);
}
