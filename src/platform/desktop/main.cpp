// The desktop program: the game over the desktop backend, which this
// program's link picks.

#include "app/Game.h"

int main(int argc, char** argv) {
    return runPirokko(argc, argv);
}
