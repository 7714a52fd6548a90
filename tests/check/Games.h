#pragma once
// Game folders for the checker's tests: a complete game that checks clean,
// which each test then breaks in one way.

#include <string>
#include <vector>

#include "check/Check.h"
#include "support/GameFolder.h"

// Every scene shows a line and opens the chooser, the last one returns to the
// title, and bgm.wav is a short wave file.
struct CleanGame {
    CleanGame();
    std::vector<check::Finding> check() const { return check::checkFolder(folder.path()); }
    void wave();  // writes a valid bgm.wav
    // Writes any file of the folder, `relative` to it.
    void write(const std::string& relative, const std::string& bytes) const;
    GameFolder folder;
};

// "file:line[:column] severity" for each finding, to compare exactly.
std::vector<std::string> where(const std::vector<check::Finding>& findings);
