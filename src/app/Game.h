#pragma once

#include <memory>
#include <optional>

#include "platform/system/Text.h"

class Fom;
struct LaunchOptions;
struct PreviewRequest;
namespace platform {
class Application;
}

// Writes the game in `options.gameFolder` for the web into
// `options.exportTo`; returns the program's exit status. Only a program that
// carries the web engine and the content checker has one.
using WebExporter = int (*)(int argc, char** argv, const LaunchOptions& options);

// Runs the game over the platform the program is linked with: reads the
// command line, builds the window with that platform's real time, chance and
// sound, shows it and returns the program's exit status when it ends.
// --export-web goes to `exportWeb`, and is a usage error without one.
int runPirokko(int argc, char** argv, WebExporter exportWeb = nullptr);

// The game's window over `app`'s real time, chance and sound, playing the
// game in `folder` (or an author's preview of it), shown.
std::unique_ptr<Fom> showGame(platform::Application& app, platform::Text folder,
                              const std::optional<PreviewRequest>& preview);
