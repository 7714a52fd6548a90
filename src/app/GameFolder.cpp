#include "app/GameFolder.h"

#include <algorithm>

namespace game_folder {

const std::array<platform::Text, 9>& sceneNames() {
    static const std::array<platform::Text, 9> names{kOpening, u"0", u"1", u"2", u"3",
                                                     u"4",     u"5", u"6", u"7"};
    return names;
}

bool isSceneName(platform::TextView name) {
    const auto& names = sceneNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

platform::Text scriptFile(platform::TextView scene) {
    return kScriptFolder + platform::Text(scene) + kScriptSuffix;
}

platform::Text pictureFile(platform::TextView scene) {
    return kPictureFolder + platform::Text(scene) + kPictureSuffix;
}

}  // namespace game_folder
