#pragma once
// The game's own window, built but never shown, on which the checker plays
// scenes by clicks: the pages it checks are the pages a player would see.

#include <memory>
#include <string>
#include <vector>

#include "check/Check.h"
#include "platform/system/Text.h"

namespace check {

class Stage {
  public:
    // `folder`: the game folder whose scripts are played. Its pictures are
    // not loaded here (they are checked on their own), so a broken picture
    // does not keep a scene's pages from being checked.
    explicit Stage(const std::string& folder);
    ~Stage();
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;

    // Plays `scene` click by click until the chooser opens, the game returns
    // to the title or stops with an error, and reports every page whose rows
    // reach below the label's bottom edge. `lines` is the script as read.
    void checkPages(const platform::Text& scene, const std::vector<platform::Text>& lines,
                    const std::string& file, std::vector<Finding>& out);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace check
