#pragma once

// Runs the game over the platform the program is linked with: reads the
// command line, builds the window with that platform's real time, chance and
// sound, shows it and returns the program's exit status when it ends.
int runPirokko(int argc, char** argv);
