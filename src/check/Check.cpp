#include "check/Check.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>

#include "app/GameFolder.h"
#include "check/Script.h"
#include "check/Stage.h"
#include "platform/common/MciCommand.h"
#include "platform/desktop/media/SdlMedia.h"
#include "platform/form/Picture.h"
#include "platform/system/Errors.h"
#include "platform/system/Language.h"

namespace check {

namespace fs = std::filesystem;
using platform::Text;

namespace {

void checkPicture(const fs::path& folder, const std::string& file, const std::string& whenFails,
                  std::vector<Finding>& out) {
    const fs::path path = folder / file;
    std::error_code ec;
    std::string problem;
    if (!fs::exists(path, ec)) {
        problem = platform::trText("Check", "missing");
    } else if (fs::is_regular_file(path, ec) && fs::file_size(path, ec) == 0) {
        problem = platform::trText("Check", "empty");
    } else {
        try {
            platform::LoadPicture(platform::fromUtf8(path.string()));
            return;
        } catch (const platform::RuntimeError& e) {
            problem = platform::fillIn(platform::trText("Check", "does not load as a picture (%1)"),
                                       {e.description()});
        }
    }
    out.push_back({file, 0, 0, Severity::kError,
                   platform::fillIn(platform::trText("Check", "%1; %2"), {problem, whenFails})});
}

// What is wrong with the music, in words: the media layer's code means
// nothing to an author.
std::string mediaError(std::int32_t code) {
    namespace mci = platform::mci;
    return code == mci::kInvalidFile
               ? platform::trText("Check",
                                  "it is not a wave file the game can play; save it as a WAV "
                                  "file (16-bit PCM plays everywhere)")
           : code == mci::kFileNotFound
               ? platform::trText("Check", "it cannot be read; check that you may read it")
           : code == mci::kOutOfMemory ? platform::trText("Check", "it is too large to open")
           : code == mci::kHardware
               ? platform::trText("Check", "no sound output could be opened to try it")
               : platform::trText("Check", "it cannot be opened as music");
}

void checkMusic(const fs::path& folder, std::vector<Finding>& out) {
    const std::string file = platform::toUtf8(game_folder::kMusicFile);
    const fs::path path = folder / file;
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        out.push_back({file, 0, 0, Severity::kWarning,
                       platform::trText("Check", "missing; the game plays without music")});
        return;
    }
    // No sound card is needed to tell whether the file opens.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // What the game would only find out after its open returned.
    platform::SdlMedia::Options atOnce;
    atOnce.openInBackground = false;
    platform::SdlMedia media(atOnce);
    const std::string open = "open \"" + path.string() + "\" alias check";
    const std::int32_t code = media.mciSendStringA(open.c_str(), nullptr, 0, 0);
    if (code == 0) {
        media.mciSendStringA("close check", nullptr, 0, 0);
        return;
    }
    out.push_back({file, 0, 0, Severity::kError,
                   platform::fillIn(platform::trText("Check", "%1; the game plays without music"),
                                    {mediaError(code)})});
}

}  // namespace

std::vector<Finding> checkFolder(const std::string& folder) {
    const fs::path root = fs::absolute(folder);
    std::vector<Finding> out;
    Stage stage(root.string());
    const auto& scenes = game_folder::sceneNames();
    for (std::size_t k = 0; k < scenes.size(); ++k) {
        const std::string name = platform::toUtf8(scenes[k]);
        const SceneRole role{k == 0
                                 ? platform::trText("Check", "the opening scene")
                                 : platform::fillIn(platform::trText("Check", "scene %1"), {name}),
                             k == 0, k + 1 == scenes.size()};
        const std::string whenFails = platform::fillIn(
            platform::trText("Check", "the game stops with an error when %1 starts"), {role.title});

        const std::string txt = platform::toUtf8(game_folder::scriptFile(scenes[k]));
        std::vector<Finding> found;
        const Script script = readScript((root / txt).string(), txt, found);
        if (script.status == Script::kRead) {
            walkScript(role, script.lines, txt, found);
            stage.checkPages(scenes[k], script.lines, txt, found);
        } else {
            const std::string problem =
                script.status == Script::kMissing      ? platform::trText("Check", "missing")
                : script.status == Script::kUnreadable ? platform::trText("Check", "cannot be read")
                                                       : platform::trText("Check", "empty");
            found.push_back(
                {txt, 0, 0, Severity::kError,
                 platform::fillIn(platform::trText("Check", "%1; %2"), {problem, whenFails})});
        }
        std::stable_sort(found.begin(), found.end(), [](const Finding& a, const Finding& b) {
            return a.line != b.line ? a.line < b.line : a.column < b.column;
        });
        out.insert(out.end(), found.begin(), found.end());
        checkPicture(root, platform::toUtf8(game_folder::pictureFile(scenes[k])), whenFails, out);
    }
    checkMusic(root, out);
    return out;
}

}  // namespace check
