#pragma once
// Checks a game folder the way the game would read it, for the people who
// write its scenes: every script, picture and the music file, reported all at
// once instead of one run-time error at a time in the middle of play.

#include <string>
#include <vector>

namespace check {

enum class Severity { kError, kWarning };

struct Finding {
    std::string file;      // relative to the game folder, with '/' separators
    long long line = 0;    // from 1; 0 when the finding concerns the whole file
    long long column = 0;  // from 1, in characters; 0 when not given
    Severity severity = Severity::kError;
    std::string message;
};

// Checks the game folder `folder` (txt/, img/ and bgm.wav in it). The
// toolkit application must exist: pages are laid out, and played, by the
// game's own window, which is built but never shown. Findings come scene by
// scene in the order the game names them, each file's by line, the music
// last.
std::vector<Finding> checkFolder(const std::string& folder);

// `file:line:column: severity: message`, the line and column left out when 0.
std::string formatText(const Finding& finding);
// A JSON array of objects {file, line, column (when given), severity, message}.
std::string formatJson(const std::vector<Finding>& findings);
// "N errors, M warnings".
std::string summary(const std::vector<Finding>& findings);
bool hasErrors(const std::vector<Finding>& findings);

}  // namespace check
