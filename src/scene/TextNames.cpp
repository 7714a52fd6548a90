#include "scene/TextNames.h"

#include "platform/system/Language.h"

namespace scene {

platform::Text playingTextName() {
    return platform::fromUtf8(platform::trText("Label", "Text: Space goes on"));
}

platform::Text chooserTextName() {
    return platform::fromUtf8(
        platform::trText("Label", "Text: Tab goes to the boxes and the scene buttons"));
}

}  // namespace scene
