#pragma once
// The game's pictures, drawn from code so that they can be remade and
// changed like any other source.

#include <QImage>
#include <QString>
#include <QStringList>

namespace makeart {

// The picture area of the game window; pictures are stretched over it, so
// drawing them at its size keeps them undistorted.
inline constexpr int kSceneWidth = 225;
inline constexpr int kSceneHeight = 257;
inline constexpr int kIconSize = 32;

// "opn", then "0" to "7": the scene names, which are also the file names.
QStringList sceneNames();

// The picture of one scene. Throws std::invalid_argument for an unknown name.
QImage drawScene(const QString& name);

// The window icon: Pirokko's face on a transparent ground, drawn at `size`
// pixels square. Larger sizes are the same design scaled up, for desktops
// that show icons bigger than the window's own.
QImage drawIcon(int size = kIconSize);

}  // namespace makeart
