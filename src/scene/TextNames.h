#pragma once
// What a screen reader says the text is as the focus comes to it: what it
// is, and the key that does something there. Never the page, which is
// announced as it rests.

#include "platform/system/Text.h"

namespace scene {

// While a scene plays: Space goes on.
platform::Text playingTextName();
// While the chooser is open, where Space does nothing on the text.
platform::Text chooserTextName();

}  // namespace scene
