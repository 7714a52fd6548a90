// Following files with the real inotify watch, as editors save them. The
// quiet period is ended by hand; the notices are read with a bounded number
// of turns of the event loop, never a wait.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <filesystem>
#include <fstream>

#include "app/CommandLine.h"
#include "platform/system/Dispatch.h"
#include "platform/system/FileWatch.h"
#include "support/GameFolder.h"

namespace {

using Save = GameFolder::Save;

struct Watched {
    explicit Watched(const GameFolder& folder) : folder(folder) {
        watch.onChange = [this](const std::vector<platform::Text>& files) {
            for (const auto& f : files)
                reports.push_back(utf8(f).substr(this->folder.path().size() + 1));
        };
    }
    // What the watch reported once it noticed something and went quiet;
    // "(nothing noticed)" if it never noticed.
    std::string settle() {
        reports.clear();
        for (int i = 0; i < 1000 && !watch.quietTimer().Enabled(); ++i)
            QCoreApplication::processEvents();
        if (!watch.quietTimer().Enabled()) return "(nothing noticed)";
        timers.fire(watch.quietTimer());
        EXPECT_FALSE(watch.quietTimer().Enabled());
        std::string joined;
        for (const auto& r : reports) joined += (joined.empty() ? "" : " ") + r;
        return joined;
    }
    void follow(const std::vector<std::string>& relative) {
        std::vector<platform::Text> files;
        for (const auto& r : relative) files.push_back(platform::fromUtf8(folder.path() + "/" + r));
        watch.follow(files);
    }

    const GameFolder& folder;
    platform::ManualTimerHost timers;
    platform::FileWatch watch{timers, 50};
    std::vector<std::string> reports;
};

int inotifyInstances() {
    int n = 0;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (std::filesystem::read_symlink(fd.path(), ec).string() == "anon_inode:inotify") ++n;
    }
    return n;
}

}  // namespace

// Each way of saving, twice over: the second save shows that the watch
// followed the file the first one left behind (a rename over the file, or
// deleting it, ends the watch on the old one). The script is held open
// meanwhile, as the game holds the running scene's script.
TEST(FileWatch, FollowsAFileThroughEveryWayOfSavingIt) {
    platform::Dispatcher::reset();
    for (Save first : {Save::kInPlace, Save::kRenameOver, Save::kDeleteAndCreate}) {
        for (Save second : {Save::kInPlace, Save::kRenameOver, Save::kDeleteAndCreate}) {
            SCOPED_TRACE(static_cast<int>(first) * 10 + static_cast<int>(second));
            GameFolder folder;
            folder.script("3", {"old"});
            folder.script("4", {"other"});
            Watched w(folder);
            w.follow({"txt/3.txt", "txt/4.txt", "bgm.wav"});
            std::ifstream held(folder.path() + "/txt/3.txt");
            folder.save("txt/3.txt", "new\r\n", first);
            EXPECT_EQ(w.settle(), "txt/3.txt");
            folder.save("txt/3.txt", "newer\r\n", second);
            EXPECT_EQ(w.settle(), "txt/3.txt");
        }
    }
}

TEST(FileWatch, ABurstOfWritesIsOneChangeOnceItIsOver) {
    platform::Dispatcher::reset();
    GameFolder folder;
    folder.script("3", {"old"});
    Watched w(folder);
    w.follow({"txt/3.txt"});
    std::ofstream out(folder.path() + "/txt/3.txt", std::ios::binary);
    for (int i = 0; i < 5; ++i) {
        out << "part " << i << "\r\n" << std::flush;
        for (int k = 0; k < 50; ++k) QCoreApplication::processEvents();
        // Each write starts the quiet period again.
        w.timers.advance(30);
        EXPECT_TRUE(w.reports.empty()) << "reported halfway, after write " << i;
    }
    out.close();
    EXPECT_EQ(w.settle(), "txt/3.txt");
    EXPECT_EQ(w.settle(), "(nothing noticed)");
}

TEST(FileWatch, SeesFilesAppearAndGoAndPassesOverOthers) {
    platform::Dispatcher::reset();
    GameFolder folder;
    folder.script("3", {"old"});
    Watched w(folder);
    w.follow({"txt/3.txt", "img/3.gif", "bgm.wav"});

    folder.picture("3");
    EXPECT_EQ(w.settle(), "img/3.gif");
    folder.remove("txt/3.txt");
    EXPECT_EQ(w.settle(), "txt/3.txt");
    folder.script("3", {"back"});
    EXPECT_EQ(w.settle(), "txt/3.txt");
    folder.save("bgm.wav", "RIFF", Save::kRenameOver);
    EXPECT_EQ(w.settle(), "bgm.wav");
    // An editor's own files beside the script change nothing that is followed.
    folder.save("txt/.3.txt.swp", "swap", Save::kInPlace);
    EXPECT_EQ(w.settle(), "");
    folder.save("txt/3.txt", "again\r\n", Save::kInPlace);
    EXPECT_EQ(w.settle(), "txt/3.txt");
}

// Without the preview no file is watched: the game opens no inotify
// instance at all.
TEST(FileWatch, NothingIsWatchedUntilFilesAreFollowed) {
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
