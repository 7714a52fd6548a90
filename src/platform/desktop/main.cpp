// The desktop program: the game over the desktop backend, which this
// program's link picks. It also writes a game out for the web edition.

#include "app/Game.h"
#include "webexport/ExportCommand.h"

int main(int argc, char** argv) {
    return runPirokko(argc, argv, &webexport::runExport);
}
