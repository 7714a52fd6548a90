#pragma once
// What a game folder holds and how its files are named: a script and a
// picture for the opening and for each scene button, and the music. The
// window, the command line, the preview and the checker all name scenes and
// files from here, so that they cannot come to disagree.

#include <array>

#include "platform/system/Text.h"

namespace game_folder {

inline const platform::Text kOpening = u"opn";

// The opening, then the scene of each button, 0 to 7.
const std::array<platform::Text, 9>& sceneNames();
bool isSceneName(platform::TextView name);

// The parts a file's path is joined from. Folders end with their separator,
// so that a scene's file is folder & name & suffix, nothing in between.
inline const platform::Text kScriptFolder = u"txt/";
inline const platform::Text kPictureFolder = u"img/";
inline const platform::Text kScriptSuffix = u".txt";
inline const platform::Text kPictureSuffix = u".gif";
inline const platform::Text kMusicFile = u"bgm.wav";

// A scene's files relative to the game folder: "txt/3.txt", "img/3.gif".
platform::Text scriptFile(platform::TextView scene);
platform::Text pictureFile(platform::TextView scene);

}  // namespace game_folder
