#pragma once
// pirokko-check --fix: converts the scripts of a game folder that a Linux
// editor saved (UTF-8, LF line ends) or whose line ends were converted twice
// into what the game reads: code page 932 with CR LF.

#include <string>
#include <vector>

#include "check/Check.h"

namespace check {

struct Fixed {
    // One line for each script converted, saying from what.
    std::vector<std::string> converted;
    // Characters code page 932 lacks (their file is left as it was), and
    // files that could not be written.
    std::vector<Finding> findings;
};

// Each converted file is replaced in one step, so that the preview sees one
// save; a file already right is not written at all.
Fixed fixFolder(const std::string& folder);

}  // namespace check
