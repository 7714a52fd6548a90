#pragma once
// The few questions the game and its tools ask of the file system beyond
// reading scripts: what lies at a path, whether a folder can be read, a path
// made absolute, a file read in pieces and a file replaced in one step.

#include <functional>
#include <string>
#include <string_view>

namespace platform {

enum class PathKind { kMissing, kFolder, kOther };
PathKind pathKind(const std::string& path);

// Whether the folder's entries can be listed and its files opened.
bool canReadFolder(const std::string& folder);

// `path` taken from the working folder, with "." and ".." resolved and no
// trailing separator; symbolic links are left as they are.
std::string absolutePath(const std::string& path);

// Hands the bytes of a regular file to `piece`, a piece at a time, so that a
// file of any size is read in little memory. False when it is not a regular
// file that can be read.
bool readInPieces(const std::string& path, const std::function<void(std::string_view)>& piece);

// Writes `bytes` to a new file beside `path` and renames it over `path`, so
// that a reader (or a watcher) sees the old file or the new one, never half
// of it. The file keeps its permissions. On failure `path` is untouched and
// the result says why.
struct Replaced {
    bool ok = false;
    std::string error;
};
Replaced replaceFile(const std::string& path, std::string_view bytes);

}  // namespace platform
