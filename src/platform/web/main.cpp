// The web program: the game over the web backend, which this program's link
// picks. The program's folder is empty at first: the scripts and pictures
// are fetched from beside the page and kept in it (system/SiteFiles.h), so
// that each is read at once when the game asks for it. The game starts once
// the opening's are in; the player's clicks wait for the rest (library.js),
// so no scene is chosen before its files are there. A file the site lacks is
// simply not there, and the game meets it as the desktop meets a missing
// file, at the same moment of play. The music is streamed while it plays:
// only its head is fetched at first, and the game does not wait for it (the
// music's open waits instead: media/WebMedia.h).

#include <emscripten.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Fom.h"
#include "app/Game.h"
#include "app/GameFolder.h"
#include "app/Identity.h"
#include "platform/system/Program.h"
#include "platform/web/media/StreamedFiles.h"
#include "platform/web/media/WebMedia.h"
#include "platform/web/system/SiteFiles.h"

extern "C" void pk_fetch(const char* first, const char* rest);

namespace {

void startGame() {
    int argc = 0;
    // The page keeps the game for as long as it is open.
    static auto* app = new platform::Application(argc, nullptr);
    static auto* fom = showGame(*app, platform::ProgramFolder(), std::nullopt).release();
    (void)fom;
}

void musicHeadArrived() {
    if (platform::WebMedia* media = platform::currentMedia()) media->openWaiting();
}

}  // namespace

extern "C" {

// A file fetched: kept under the program's folder.
EMSCRIPTEN_KEEPALIVE void pk_file_arrived(const char* name, const std::uint8_t* data, int length) {
    platform::keepSiteFile(platform::toUtf8(platform::ProgramFolder()) + "/" + name,
                           std::vector<std::uint8_t>(data, data + length));
}

EMSCRIPTEN_KEEPALIVE void pk_files_ready() {
    startGame();
}
}

int main() {
    introduceGame();
    // The opening's files first: the game starts as soon as they are in.
    std::string first, rest;
    for (const platform::Text& scene : game_folder::sceneNames())
        for (const platform::Text& file :
             {game_folder::scriptFile(scene), game_folder::pictureFile(scene)})
            (scene == game_folder::kOpening ? first : rest) += platform::toUtf8(file) + "\n";
    platform::prefetchStreamedFile(platform::toUtf8(game_folder::kMusicFile), musicHeadArrived);
    pk_fetch(first.c_str(), rest.c_str());
    return 0;
}
