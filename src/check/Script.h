#pragma once
// A scene script read as the player reads it, and the rules it must meet that
// show without playing it.

#include <string>
#include <vector>

#include "check/Check.h"
#include "platform/system/Text.h"

namespace check {

struct Script {
    enum Status { kRead, kMissing, kUnreadable, kEmpty } status = kMissing;
    std::vector<platform::Text> lines;  // decoded, without their line ends
};

// Reads the script at `path` with the game's own line reader and decoder;
// bytes that do not decode are reported against `file`.
Script readScript(const std::string& path, const std::string& file, std::vector<Finding>& out);

// What a scene is to the game beyond its script.
struct SceneRole {
    std::string title;  // how messages name the scene: "the opening scene", "scene 3"
    bool opening;       // the scene the title state starts
    bool last;          // the scene that can only be reached once all others are played
};

// Follows the player's advances from the first line to the line that ends
// the scene, reporting what would stop or derail the game.
void walkScript(const SceneRole& role, const std::vector<platform::Text>& lines,
                const std::string& file, std::vector<Finding>& out);

}  // namespace check
