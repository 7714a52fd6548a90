// Following files with the real inotify watch. The quiet period is ended by
// hand; the notices are read with a bounded number of turns of the event
// loop, never a wait. How each way of saving is followed shows in the
// preview's own tests.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <filesystem>
#include <fstream>

#include "app/CommandLine.h"
#include "platform/system/Dispatch.h"
#include "platform/system/FileWatch.h"
#include "support/GameFolder.h"

namespace {

int inotifyInstances() {
    int n = 0;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (std::filesystem::read_symlink(fd.path(), ec).string() == "anon_inode:inotify") ++n;
    }
    return n;
}

}  // namespace

// A burst is one change, reported only once it is over; files beside the
// followed ones (an editor's swap file) are no change at all.
TEST(FileWatch, ABurstOfWritesIsOneChangeOnceItIsOver) {
    platform::Dispatcher::reset();
    GameFolder folder;
    folder.script("3", {"old"});
    platform::ManualTimerHost timers;
    platform::FileWatch watch(timers, 50);
    std::vector<std::string> reports;
    watch.onChange = [&](const std::vector<platform::Text>& files) {
        for (const auto& f : files) reports.push_back(utf8(f).substr(folder.path().size()));
    };
    watch.follow({platform::fromUtf8(folder.path() + "/txt/3.txt"),
                  platform::fromUtf8(folder.path() + "/bgm.wav")});

    std::ofstream out(folder.path() + "/txt/3.txt", std::ios::binary);
    for (int i = 0; i < 5; ++i) {
        out << "part " << i << "\r\n" << std::flush;
        for (int k = 0; k < 50; ++k) QCoreApplication::processEvents();
        timers.advance(30);  // each write starts the quiet period again
        EXPECT_TRUE(reports.empty()) << "reported halfway, after write " << i;
    }
    out.close();
    ASSERT_TRUE(settle(watch, timers));
    EXPECT_EQ(reports, std::vector<std::string>{"/txt/3.txt"});

    reports.clear();
    folder.save("txt/.3.txt.swp", "swap", GameFolder::Save::kInPlace);
    ASSERT_TRUE(settle(watch, timers));
    EXPECT_TRUE(reports.empty());
}

// Without the preview the game opens no inotify instance at all.
TEST(FileWatch, NothingIsWatchedWithoutThePreview) {
    GameFolder folder;
    folder.script("opn", {"A", "tugi", ""});
    folder.picture("opn");
    const int before = inotifyInstances();
    {
        TestGame g(folder);
        g.start();
        EXPECT_EQ(inotifyInstances(), before);
    }
    TestGame g(folder);
    g.fom->PlayPreview({u"opn", 0});
    g.start();
    EXPECT_EQ(inotifyInstances(), before + 1);
}
