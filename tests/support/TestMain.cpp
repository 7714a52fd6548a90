// Every test runs with a real application object on the offscreen platform,
// so the game's real widgets exist and can be inspected and clicked.

#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleFactory>
#include <cstdlib>

#include "app/Identity.h"
#include "platform/system/Program.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    introduceGame();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
