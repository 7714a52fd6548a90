#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "platform/desktop/form/PictureImage.h"
#include "platform/desktop/form/Widgets.h"
#include "support/GameFolder.h"

namespace {

QImage surfaceOf(const platform::PictureBox& box) {
    return platform::imageCopy(box.surface());
}

struct PictureScene {
    explicit PictureScene(const std::string& gif) {
        folder.script("opn", {"Text", "tugi", ""});
        folder.picture("opn", gif);
    }
    GameFolder folder;
};

}  // namespace

TEST(ScenePicture, IsStretchedOverTheWholePictureArea) {
    PictureScene s("red-blue-2x1.gif");
    TestGame g(s.folder);
    auto& f = *g.fom;
    g.start();
    const QImage img = surfaceOf(f.Pic);
    ASSERT_EQ(img.size(), QSize(f.Pic.interiorWidthPx(), f.Pic.interiorHeightPx()));
    // Two pixels, one red and one blue, each take half the width, full height.
    EXPECT_EQ(QColor(img.pixel(5, 5)).red(), 255);
    EXPECT_EQ(QColor(img.pixel(5, img.height() - 5)).red(), 255);
    EXPECT_EQ(QColor(img.pixel(img.width() - 5, img.height() - 5)).blue(), 255);
    EXPECT_EQ(QColor(img.pixel(img.width() - 5, 5)).blue(), 255);
    // The buffer the picture is loaded into never shows.
    EXPECT_FALSE(platform::widgetOf(f.E)->isVisible());
}

TEST(ScenePicture, ClearsToTheBackColourSoNoEarlierPictureShowsThroughTransparency) {
    GameFolder folder;
    folder.script("opn", {"Text", "tugi", ""});
    folder.picture("opn", "green-40x30.gif");
    folder.picture("2", "half-transparent-10x10.gif");
    TestGame g(folder);
    auto& f = *g.fom;
    g.start();
    f.ShowScenePic(u"2");
    const QImage img = surfaceOf(f.Pic);
    EXPECT_EQ(QColor(img.pixel(10, 10)), QColor(255, 255, 0));
    EXPECT_EQ(QColor(img.pixel(img.width() - 10, 10)), QColor(128, 128, 255));
    // Showing the same scene again gives the same surface.
    f.ShowScenePic(u"2");
    EXPECT_EQ(surfaceOf(f.Pic), img);
}

TEST(ScenePicture, SurvivesTheChooserOpeningAndClosingOverIt) {
    PictureScene s("green-40x30.gif");
    TestGame g(s.folder);
    auto& f = *g.fom;
    g.start();
    const QImage before = surfaceOf(f.Pic);
    g.click();  // the chooser opens over the picture
    ASSERT_TRUE(f.PicCom.Visible());
    f.ShowSay(u"", platform::True);  // and closes again
    EXPECT_EQ(surfaceOf(f.Pic), before);
    const QImage shot = platform::hostOf(f)->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(448 + 100, 8 + 30)), QColor(0, 255, 0));
}
