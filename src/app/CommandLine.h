#pragma once
// What the game is asked to do when started with arguments:
//   pirokko [FOLDER]
//   pirokko --preview SCENE[:LINE] [FOLDER]
//   pirokko --export-web OUT [FOLDER]
// With no arguments it plays from the program's own folder, as ever.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/system/Errors.h"
#include "platform/system/Text.h"

// An author's preview: the scene to start at and, when not 0, the line of
// its script whose page to bring up first.
struct PreviewRequest {
    platform::Text scene;
    std::int64_t line = 0;
};

struct LaunchOptions {
    platform::Text gameFolder;  // absolute, without a trailing separator
    std::optional<PreviewRequest> preview;
    // With --export-web: the folder to write the web edition into, absolute.
    platform::Text exportTo;
};

// The command line read: either something to play, or words to print and an
// exit status. Needs the toolkit (for the session's language).
struct Launch {
    enum class Kind {
        kPlay,
        kPrint,        // --help, --version: `text` on stdout, status 0
        kUsageError,   // `text` on stderr, status 2
        kFolderError,  // the game folder cannot be played: `folderError`
        kExportWeb,    // write the game for the web into `options.exportTo`
    } kind = Kind::kPlay;
    LaunchOptions options;
    std::string text;
    std::optional<platform::RuntimeError> folderError;
};

// `programFolder` is where the game plays from when no folder is given;
// a relative FOLDER is taken from the current working folder.
Launch readLaunch(int argc, const char* const* argv, const platform::Text& programFolder);

// The usage, one line for each form, and what they do.
std::string launchUsage();
