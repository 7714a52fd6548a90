#pragma once
// Faces as the page names them: the face the game asks for, then the ones the
// game said stand in for it, then the browser's own sans-serif.

#include "platform/system/Text.h"

namespace platform {

Text cssFaces(const Text& face);

}  // namespace platform
