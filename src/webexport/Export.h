#pragma once
// The file-system side of exporting a game for the web: what the folder to
// write holds now, writing the export beside it, and putting it in its
// place in one rename. Nothing here prints or checks the game.

#include <filesystem>
#include <string>
#include <vector>

#include "webexport/Marker.h"

namespace webexport {

namespace fs = std::filesystem;

// The engine's files, as the web build lays them out.
const std::vector<std::string>& engineFiles();

// What the folder OUT holds before an export, and so whether it may be
// written.
struct Target {
    enum class Kind {
        kMissing,        // written fresh
        kEmpty,          // an empty folder, replaced
        kEarlierExport,  // all of it written by an earlier export: replaced whole
        kNotAFolder,     // refused
        kForeign,        // holds something an export did not write: refused
    } kind = Kind::kMissing;
    fs::path path;                     // OUT with its links resolved
    std::vector<std::string> foreign;  // relative paths, for the refusal
    // Files the earlier export wrote whose bytes have changed since: kept
    // unless the new export writes the very same bytes there.
    std::vector<std::string> changed;
    std::vector<Written> earlier;
};

Target inspectTarget(const fs::path& out);

// Writes the engine from `engine` and the game's txt/, img/ and bgm.wav from
// `game` into `into` (an empty folder), with the marker; returns what it
// wrote. Throws fs::filesystem_error naming the file it could not write.
std::vector<Written> writeExport(const fs::path& engine, const fs::path& game,
                                 const fs::path& into);

// The changed files of `target` that the export in `fresh` would overwrite
// with other bytes: what exporting would cost the author.
std::vector<std::string> filesItWouldLose(const Target& target, const fs::path& fresh);

// A new, empty folder beside `out` to write the export in.
fs::path makeSiblingFolder(const fs::path& out);

// Puts `fresh` in the place of the target in one rename (into an empty
// folder, entry by entry), and removes what the earlier export wrote.
// Returns the paths of anything left of the earlier export (files added
// since it was checked), which stay where they are, in the returned folder.
// Throws fs::filesystem_error.
struct Swapped {
    fs::path leftIn;                // empty when nothing was left
    std::vector<std::string> left;  // relative to leftIn
};
Swapped putInPlace(const Target& target, const fs::path& fresh);

}  // namespace webexport
