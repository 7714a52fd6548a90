#pragma once
// Faces that a system may lack.

#include <vector>

#include "platform/system/Text.h"

namespace platform {

// Text set in `face` is set in the first of `substitutes` that the system
// has, wherever it lacks `face` itself. Call before any control is made.
void substituteFace(const Text& face, const std::vector<Text>& substitutes);

}  // namespace platform
