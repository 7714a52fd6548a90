#include "platform/system/FileWatch.h"

#include <sys/stat.h>

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QStringList>
#include <string>

namespace platform {

namespace {

// What tells one version of a file from the next without reading it.
struct Stamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const Stamp&) const = default;
};

Stamp stampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return {true, st.st_dev, st.st_ino, st.st_size,
            std::int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec};
}

}  // namespace

struct FileWatch::Impl {
    Impl(TimerHost& timers, std::int32_t quietMs) : quiet(timers, False, quietMs) {}

    struct Followed {
        Text path;
        QString qpath;
        std::string native;
        Stamp stamp;
        ino_t watchedInode = 0;  // the file the toolkit's watch is on
        bool touched = false;    // the watch reported it since the last settling
    };

    void watch(Followed& f) {
        f.watchedInode = 0;
        // A missing file cannot be watched; its folder's watch sees it appear.
        if (f.stamp.exists && watcher->addPath(f.qpath)) f.watchedInode = f.stamp.inode;
    }

    // Each notice starts the quiet period again, so a burst of writes
    // settles as one change. Only bookkeeping here: the game hears of the
    // change through the timer, which enters by the dispatch point.
    void noticed() {
        quiet.setEnabled(False);
        quiet.setEnabled(True);
    }

    std::vector<Text> settle() {
        quiet.setEnabled(False);
        std::vector<Text> changed;
        const QStringList watched = watcher->files();
        for (Followed& f : files) {
            const Stamp now = stampOf(f.native);
            if (now != f.stamp || f.touched) changed.push_back(f.path);
            f.stamp = now;
            f.touched = false;
            // A file renamed over, or deleted and created again, is a new
            // file: the old watch ended with the old one, or (while the old
            // one is still open somewhere) follows a file no longer there.
            if (now.exists && (now.inode != f.watchedInode || !watched.contains(f.qpath))) {
                watcher->removePath(f.qpath);
                watch(f);
            }
        }
        const QStringList folders = watcher->directories();
        for (const QString& folder : this->folders)
            if (!folders.contains(folder)) watcher->addPath(folder);
        return changed;
    }

    Timer quiet;
    std::unique_ptr<QFileSystemWatcher> watcher;
    std::vector<Followed> files;
    QStringList folders;
};

FileWatch::FileWatch(TimerHost& timers, std::int32_t quietMs)
    : impl_(std::make_unique<Impl>(timers, quietMs)) {
    impl_->quiet.onTimer = [this] {
        const std::vector<Text> changed = impl_->settle();
        if (!changed.empty() && onChange) onChange(changed);
    };
}

FileWatch::~FileWatch() = default;

void FileWatch::follow(const std::vector<Text>& files) {
    Impl& d = *impl_;
    d.quiet.setEnabled(False);
    d.files.clear();
    d.folders.clear();
    d.watcher = std::make_unique<QFileSystemWatcher>();
    for (const Text& path : files) {
        Impl::Followed f;
        f.path = path;
        f.qpath = QString::fromStdU16String(path);
        f.native = toUtf8(path);
        f.stamp = stampOf(f.native);
        d.watch(f);
        d.files.push_back(std::move(f));
        const QString folder = QFileInfo(d.files.back().qpath).path();
        if (!d.folders.contains(folder)) {
            d.folders.append(folder);
            d.watcher->addPath(folder);
        }
    }
    QObject::connect(d.watcher.get(), &QFileSystemWatcher::fileChanged, [&d](const QString& p) {
        for (Impl::Followed& f : d.files)
            if (f.qpath == p) f.touched = true;
        d.noticed();
    });
    QObject::connect(d.watcher.get(), &QFileSystemWatcher::directoryChanged,
                     [&d](const QString&) { d.noticed(); });
}

Timer& FileWatch::quietTimer() {
    return impl_->quiet;
}

}  // namespace platform
