// The web program: the game over the web backend, which this program's link
// picks. The page's file system is empty at first: the scripts and pictures
// are fetched from beside the page into it, and the game starts once they
// are there, so that each is read at once when the game asks for it. A file
// the site lacks is simply not there, and the game meets it as the desktop
// meets a missing file, at the same moment of play. The music is streamed
// while it plays: only its head is fetched before the game starts.

#include <emscripten.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Fom.h"
#include "app/Game.h"
#include "app/Identity.h"
#include "platform/system/Program.h"
#include "platform/web/media/StreamedFiles.h"

extern "C" void pk_fetch(const char* names);

namespace {

// What the game reads, relative to its folder.
std::vector<std::string> contentFiles() {
    std::vector<std::string> files;
    for (const char* scene : {"opn", "0", "1", "2", "3", "4", "5", "6", "7"}) {
        files.push_back(std::string("txt/") + scene + ".txt");
        files.push_back(std::string("img/") + scene + ".gif");
    }
    return files;
}

// The fetches the game waits for: the files, then the music's head.
int fetchesLeft = 2;

void startGame() {
    if (--fetchesLeft > 0) return;
    int argc = 0;
    // The page keeps the game for as long as it is open.
    static auto* app = new platform::Application(argc, nullptr);
    static auto* fom = showGame(*app, platform::ProgramFolder(), std::nullopt).release();
    (void)fom;
}

// Every folder on the way to `path`.
void makeFolders(const std::string& path) {
    for (std::size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
        ::mkdir(path.substr(0, at).c_str(), 0755);
}

}  // namespace

extern "C" {

// A file fetched: laid down under the program's folder.
EMSCRIPTEN_KEEPALIVE void pk_file_arrived(const char* name, const char* data, int length) {
    const std::string path = platform::toUtf8(platform::ProgramFolder()) + "/" + name;
    makeFolders(path);
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, static_cast<std::size_t>(length), f);
        std::fclose(f);
    }
}

EMSCRIPTEN_KEEPALIVE void pk_files_ready() {
    startGame();
}
}

int main() {
    introduceGame();
    std::string names;
    for (const std::string& file : contentFiles()) names += file + "\n";
    platform::prefetchStreamedFile("bgm.wav", startGame);
    pk_fetch(names.c_str());
    return 0;
}
