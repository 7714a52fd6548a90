#pragma once

#include <memory>
#include <optional>

#include "platform/system/Text.h"

class Fom;
struct PreviewRequest;
namespace platform {
class Application;
}

// Runs the game over the platform the program is linked with: reads the
// command line, builds the window with that platform's real time, chance and
// sound, shows it and returns the program's exit status when it ends.
int runPirokko(int argc, char** argv);

// The game's window over `app`'s real time, chance and sound, playing the
// game in `folder` (or an author's preview of it), shown.
std::unique_ptr<Fom> showGame(platform::Application& app, platform::Text folder,
                              const std::optional<PreviewRequest>& preview);
