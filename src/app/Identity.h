#pragma once
// What the game tells whichever platform runs it, before anything is shown.

// The game's name: the window's caption, and what the platform calls the
// program where it speaks for it (an error's box, a line on stderr).
inline constexpr char16_t kGameName[] = u"Pirokko";

// Hands the platform the game's name and the faces that stand in for the
// text's face where the system lacks it. Safe to call more than once.
void introduceGame();
