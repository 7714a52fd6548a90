#pragma once

// Runs the game: builds the window with real time, chance and sound, shows it
// and returns the program's exit status when it ends.
int runPirokko(int argc, char** argv);
