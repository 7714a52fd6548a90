#pragma once
// A desktop ends its programs with a signal (logging out, `kill`, Ctrl+C in
// a terminal, a compositor closing its clients). The game then closes its
// window as the close box does, so that its files and its sound device are
// released the way they always are, instead of dying where it stands.

namespace platform {

// From now on SIGTERM, SIGINT and SIGHUP close every top-level window. Needs
// the toolkit application; safe to call more than once.
void closeWindowsOnTerminationSignals();

}  // namespace platform
