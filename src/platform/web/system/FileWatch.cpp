// A site's files are not followed: an author previews on the desktop.

#include "platform/system/FileWatch.h"

namespace platform {

struct FileWatch::Impl {
    explicit Impl(TimerHost& timers) : quiet(timers, False, 0) {}
    Timer quiet;
};

FileWatch::FileWatch(TimerHost& timers, std::int32_t) : impl_(std::make_unique<Impl>(timers)) {}
FileWatch::~FileWatch() = default;

void FileWatch::follow(const std::vector<Text>&) {}

Timer& FileWatch::quietTimer() {
    return impl_->quiet;
}

}  // namespace platform
