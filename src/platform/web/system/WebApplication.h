#pragma once
// The web backend's application: the one window of the page, and what the
// page tells it of the player and of leaving.

namespace platform {

class Form;

void webApplicationOpened(Form& form);
void webApplicationClosed(Form& form);
// The player's first click, key or tap lets the page make sound.
void webApplicationGesture();
// Leaving the page is closing the window.
void webApplicationClose();

}  // namespace platform
