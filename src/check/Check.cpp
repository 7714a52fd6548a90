#include "check/Check.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>

#include "check/Script.h"
#include "check/Stage.h"
#include "platform/Errors.h"
#include "platform/MciCommand.h"
#include "platform/Picture.h"
#include "platform/SdlMedia.h"

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
        problem = "missing";
    } else if (fs::is_regular_file(path, ec) && fs::file_size(path, ec) == 0) {
        problem = "empty";
    } else {
        try {
            platform::LoadPicture(platform::fromUtf8(path.string()));
            return;
        } catch (const platform::RuntimeError& e) {
            problem = "does not load as a picture (" + e.description() + ")";
        }
    }
    out.push_back({file, 0, 0, Severity::kError, problem + "; " + whenFails});
}

std::string mediaError(std::int32_t code) {
    namespace mci = platform::mci;
    const char* meaning = code == mci::kInvalidFile    ? "not a wave file it can play"
                          : code == mci::kFileNotFound ? "it cannot be read"
                          : code == mci::kOutOfMemory  ? "too large"
                          : code == mci::kHardware     ? "no sound output could be opened"
                                                       : "media error";
    return std::string(meaning) + ", code " + std::to_string(code);
}

void checkMusic(const fs::path& folder, std::vector<Finding>& out) {
    const std::string file = "bgm.wav";
    const fs::path path = folder / file;
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        out.push_back({file, 0, 0, Severity::kWarning, "missing; the game plays without music"});
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
    out.push_back(
        {file, 0, 0, Severity::kError,
         "the music cannot be opened (" + mediaError(code) + "); the game plays without music"});
}

}  // namespace

std::vector<Finding> checkFolder(const std::string& folder) {
    const fs::path root = fs::absolute(folder);
    std::vector<Finding> out;
    Stage stage(root.string());
    const std::vector<Text> scenes = stage.sceneNames();
    for (std::size_t k = 0; k < scenes.size(); ++k) {
        const std::string name = platform::toUtf8(scenes[k]);
        const SceneRole role{k == 0 ? "the opening scene" : "scene " + name, k == 0,
                             k + 1 == scenes.size()};
        const std::string whenFails = "the game stops with an error when " + role.title + " starts";

        const std::string txt = "txt/" + name + ".txt";
        std::vector<Finding> found;
        const Script script = readScript((root / txt).string(), txt, found);
        if (script.status == Script::kRead) {
            walkScript(role, script.lines, txt, found);
            stage.checkPages(scenes[k], script.lines, txt, found);
        } else {
            const char* problem = script.status == Script::kMissing      ? "missing"
                                  : script.status == Script::kUnreadable ? "cannot be read"
                                                                         : "empty";
            found.push_back({txt, 0, 0, Severity::kError, problem + ("; " + whenFails)});
        }
        std::stable_sort(found.begin(), found.end(), [](const Finding& a, const Finding& b) {
            return a.line != b.line ? a.line < b.line : a.column < b.column;
        });
        out.insert(out.end(), found.begin(), found.end());
        checkPicture(root, "img/" + name + ".gif", whenFails, out);
    }
    checkMusic(root, out);
    return out;
}

}  // namespace check
