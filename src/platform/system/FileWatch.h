#pragma once
// Following files as editors save them: written in place, replaced by a new
// file renamed over the old one, or deleted and created again. A burst of
// writes is one change, reported once the files have been quiet for a moment.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/system/Text.h"
#include "platform/system/Timer.h"

namespace platform {

class FileWatch {
  public:
    // `quietMs`: how long the files must stay untouched before a change is
    // reported; the quiet period is timed on `timers`.
    FileWatch(TimerHost& timers, std::int32_t quietMs);
    ~FileWatch();
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;

    // The files to follow from now on, existing or not; their folders are
    // watched too, so that a file that is replaced, or appears, is seen.
    // Until this is called nothing is watched at all.
    void follow(const std::vector<Text>& files);

    // Raised through the dispatch point with the followed files that changed
    // (were written, replaced, created or removed), in the order given to
    // `follow`.
    std::function<void(const std::vector<Text>& changed)> onChange;

    // The timer that ends the quiet period: runs while a change settles.
    // Tests fire it by hand instead of waiting.
    Timer& quietTimer();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
