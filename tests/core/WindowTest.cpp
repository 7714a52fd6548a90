#include <gtest/gtest.h>

#include <QAccessible>
#include <QImage>
#include <QLabel>
#include <QPushButton>

#include "platform/Dispatch.h"
#include "platform/Errors.h"
#include "platform/LabelLayout.h"
#include "support/GameFolder.h"

namespace {

struct Started {
    Started() {
        folder.script("opn", {"Hello", "tugi", ""});
        folder.picture("opn");
    }
    GameFolder folder;
};

QRect pixels(const platform::Control& c) {
    return c.widget()->geometry();
}

}  // namespace

TEST(Window, IsBuiltAsDesignedAtNinetySixDotsPerInch) {
    Started s;
    TestGame g(s.folder);
    auto& f = *g.fom;
    EXPECT_EQ(utf8(f.Caption()), "Pirokko");
    EXPECT_EQ(f.window()->size(), QSize(681, 289));
    EXPECT_EQ(f.window()->minimumSize(), f.window()->maximumSize());
    EXPECT_FALSE(f.window()->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(f.window()->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(pixels(f.Lbl), QRect(-16, 16, 433, 257));
    EXPECT_EQ(pixels(f.Pic), QRect(448, 8, 225, 257));
    EXPECT_EQ(pixels(f.E), QRect(224, 72, 49, 33));
    EXPECT_EQ(utf8(f.Lbl.Caption()), "Label1");
    EXPECT_EQ(utf8(f.Com(0).Caption()), "Com");
    EXPECT_EQ(f.Com.UBound(), 0);
    EXPECT_FALSE(f.E.Visible());
    EXPECT_FALSE(f.TimSay.Enabled());
    EXPECT_EQ(f.TimSay.Interval(), 100);
    EXPECT_TRUE(f.TimPic.Enabled());
    EXPECT_EQ(f.TimPic.Interval(), 1100);
    EXPECT_TRUE(f.BgmTim.Enabled());
    EXPECT_EQ(f.BgmTim.Interval(), 1);
    const char* captions[] = {"月", "星", "森"};
    for (int i = 0; i <= 2; ++i) {
        EXPECT_EQ(utf8(f.Opt(i).Caption()), captions[i]);
        EXPECT_EQ(pixels(f.Opt(i)), QRect(8 + 56 * i, 8, 57, 25));
        // Inside the picture area, clipped by it.
        EXPECT_EQ(f.Opt(i).widget()->parentWidget(), f.Pic.childHost());
    }
    EXPECT_EQ(f.Com(0).widget()->parentWidget(), f.PicCom.childHost());
}

TEST(Window, LoadSetsThePathsButtonsAndScales) {
    GameFolder folder("my game フォルダ");
    folder.script("opn", {"Hello", "tugi", ""});
    folder.picture("opn");
    TestGame g(folder);
    auto& f = *g.fom;
    g.start();
    EXPECT_EQ(utf8(f.BasePath), folder.path() + "/");
    EXPECT_EQ(utf8(f.ImgPath), folder.path() + "/img/");
    EXPECT_EQ(utf8(f.TxtPath), folder.path() + "/txt/");
    EXPECT_EQ(g.random.randomizeCalls, 1);
    ASSERT_EQ(f.Com.UBound(), 7);
    for (int i = 0; i <= 7; ++i) {
        EXPECT_EQ(utf8(f.Com(i).Caption()), std::to_string(i));
        EXPECT_EQ(f.Com(i).Left(), 0);
        EXPECT_EQ(f.Com(i).Top(), 0);
        EXPECT_EQ(pixels(f.Com(i)), QRect(0, 0, 25, 25));  // a copy of element 0
    }
    EXPECT_EQ(f.ScaleWidth(), 30);
    EXPECT_EQ(f.ScaleHeight(), 10);
    EXPECT_EQ(f.PicCom.ScaleLeft(), 0);
    EXPECT_EQ(f.PicCom.ScaleTop(), 0);
    EXPECT_EQ(f.PicCom.ScaleWidth(), 10);
    EXPECT_EQ(f.PicCom.ScaleHeight(), 10);
    EXPECT_EQ(utf8(f.Lbl.Caption()), "\r\nHello\u25BC");
}

TEST(Window, AProgramFolderAtTheRootGetsNoDoubledSeparator) {
    platform::ManualTimerHost timers;
    ScriptedRandom random;
    RecordingMedia media;
    Fom f(FomServices{timers, random, media, u"/"});
    EXPECT_THROW(f.Show(), platform::RuntimeError);  // no /txt/opn.txt there
    EXPECT_EQ(utf8(f.BasePath), "/");
    EXPECT_EQ(utf8(f.TxtPath), "/txt/");
    platform::Dispatcher::reset();
}

TEST(Window, TheTitleResetClearsEveryBoxAndButtonWhateverWasTicked) {
    Started s;
    s.folder.script("opn", {"Hello", "tugi", ""});
    TestGame g(s.folder);
    auto& f = *g.fom;
    g.start();
    g.click();
    ASSERT_TRUE(f.PicCom.Visible());
    for (int mask = 1; mask < 8; ++mask) {
        SCOPED_TRACE(mask);
        for (int i = 0; i <= 2; ++i) f.Opt(i).setValue((mask >> i) & 1);
        f.Com(1).setEnabled(platform::False);
        f.Com(1).setBackColor(0);
        f.Form_Activate();
        for (int i = 0; i <= 2; ++i) EXPECT_EQ(f.Opt(i).Value(), 0);
        for (int i = 0; i <= 7; ++i) {
            EXPECT_FALSE(f.Com(i).Visible());
            EXPECT_TRUE(f.Com(i).Enabled());
            EXPECT_EQ(f.Com(i).BackColor(), 255);
        }
        EXPECT_EQ(f.Com.UBound(), 7);
        g.click();  // through the opening again to the chooser
    }
}

TEST(Window, ClosingEndsTheProgramWhetherTheScriptIsOpenOrNot) {
    for (bool chooserOpen : {false, true}) {
        Started s;
        TestGame g(s.folder);
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

TEST(Window, ControlsKeepTheirOwnVisibleFlagInsideAHiddenContainer) {
    Started s;
    TestGame g(s.folder);
    auto& f = *g.fom;
    g.start();
    ASSERT_FALSE(f.PicCom.Visible());
    f.Com(3).setVisible(platform::True);
    EXPECT_EQ(f.Com(3).Visible(), platform::True);
    EXPECT_FALSE(f.Com(3).widget()->isVisible());  // its container hides it
    f.Com(3).setVisible(5);                        // any non-zero value is true, stored as -1
    EXPECT_EQ(f.Com(3).Visible(), -1);
}

TEST(Window, ACheckBoxRaisesItsClickBeforeTheAssignmentReturnsAndOnlyOnChange) {
    Started s;
    TestGame g(s.folder);
    auto& f = *g.fom;
    std::vector<std::pair<int, int>> seen;
    f.Opt.onClick = [&](std::int16_t i) { seen.emplace_back(i, f.Opt(i).Value()); };
    f.Opt(1).setValue(1);
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{1, 1}}));
    f.Opt(1).setValue(1);
    EXPECT_EQ(seen.size(), 1u);
    f.Opt(1).clickAsPlayer();
    EXPECT_EQ(seen.back(), (std::pair<int, int>{1, 0}));
    // A real click on the widget goes the same way.
    f.Opt(2).widget()->setVisible(true);
    static_cast<QPushButton*>(f.Opt(2).widget())->click();
    EXPECT_EQ(seen.back(), (std::pair<int, int>{2, 1}));
    EXPECT_TRUE(static_cast<QPushButton*>(f.Opt(2).widget())->isChecked());
}

TEST(Window, ColoursAreWrittenAsBlueGreenRed) {
    Started s;
    TestGame g(s.folder);
    auto& f = *g.fom;
    f.Com(0).setBackColor(platform::rgb(10, 20, 30));
    EXPECT_EQ(f.Com(0).BackColor(), 0x1E140A);
    EXPECT_EQ(f.Com(0).widget()->palette().color(QPalette::Button), QColor(10, 20, 30));
    f.Com(0).setEnabled(platform::False);
    EXPECT_EQ(f.Com(0).widget()->palette().color(QPalette::Disabled, QPalette::Button),
              QColor(10, 20, 30));
}

TEST(Window, TheLabelShowsMarkupLiterallyAndTellsAssistiveTechnology) {
    GameFolder folder;
    folder.script("opn", {"<b>x</b> & y", "tugi", ""});
    folder.picture("opn");
    TestGame g(folder);
    auto& f = *g.fom;
    g.start();
    auto* label = static_cast<QLabel*>(f.Lbl.widget());
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->text().toStdString(), "\r\n<b>x</b> & y\u25BC");
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(label);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::StaticText);
    EXPECT_NE(a->text(QAccessible::Name).indexOf(QStringLiteral("<b>x</b> & y")), -1);
    // Buttons show '&' as itself rather than as a keyboard mnemonic.
    f.Com(0).setCaption(u"A&B");
    EXPECT_EQ(static_cast<QPushButton*>(f.Com(0).widget())->text(), QStringLiteral("A&&B"));
}

TEST(Window, TheLabelDrawsItsRowsCentredFromTheTop) {
    GameFolder folder;
    folder.script("opn", {"ああああ", "tugi", ""});
    folder.picture("opn");
    TestGame g(folder);
    g.start();
    const QImage shot = g.fom->window()->grab().toImage();
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

TEST(Window, ACaptionFitsTheLabelUntilARowReachesBelowItsBottom) {
    auto fit = [](const platform::Text& caption) {
        return platform::fitCaption(caption, u"ＭＳ Ｐゴシック", 12, 433, 257);
    };
    EXPECT_TRUE(fit(u"\r\nshort").fits());
    platform::Text page;
    for (int i = 0; i < 30; ++i) page += u"\r\nline";
    const auto cut = fit(page);
    ASSERT_FALSE(cut.fits());
    EXPECT_GT(cut.firstCutRow, 10u);
    EXPECT_LT(cut.firstCutRow, 17u);
    // A row too wide for the label wraps, and takes two rows of room.
    platform::Text wide(40, u'あ');
    platform::Text narrow(20, u'あ');
    platform::Text wides, narrows;
    for (int i = 0; i < 10; ++i) wides += u"\r\n" + wide, narrows += u"\r\n" + narrow;
    EXPECT_LT(fit(wides).firstCutRow, fit(narrows).firstCutRow);
}

TEST(Window, TheMusicOpensAndPlaysBeforeTheWindowShowsAndClosesWithIt) {
    GameFolder folder("with blanks");
    folder.script("opn", {"Hello", "tugi", ""});
    folder.picture("opn");
    TestGame g(folder);
    auto& f = *g.fom;
    g.start();
    const std::vector<std::string> startup = {"close MIDI notify",
                                              "open \"" + folder.path() + "/bgm.wav\" alias MIDI",
                                              "play MIDI notify"};
    EXPECT_EQ(g.media.commands, startup);
    EXPECT_EQ(f.Module.BgmOn, -1);

    // Every millisecond the device is asked for its mode; a stopped device
    // is sent back to its start, across returns to the title too.
    g.timers.advance(3);
    EXPECT_EQ(g.media.commands.size(), startup.size() + 3);
    EXPECT_EQ(g.media.commands.back(), "status MIDI mode");
    g.media.statusReply = "stopped";
    g.timers.advance(1);
    g.media.statusReply = "playing";
    const std::vector<std::string> restart(g.media.commands.end() - 3, g.media.commands.end());
    EXPECT_EQ(restart, (std::vector<std::string>{"status MIDI mode", "seek MIDI to start",
                                                 "play MIDI from 0"}));
    f.Form_Activate();
    g.timers.advance(1);
    EXPECT_EQ(g.media.commands.back(), "status MIDI mode");

    f.close();
    EXPECT_EQ(g.media.commands.back(), "close MIDI notify");
    const std::size_t atClose = g.media.commands.size();
    g.timers.advance(100);
    EXPECT_EQ(g.media.commands.size(), atClose);
}
