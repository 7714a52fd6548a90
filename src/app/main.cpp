#include "app/Game.h"

int main(int argc, char** argv) {
    return runPirokko(argc, argv);
}
