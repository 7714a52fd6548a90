#!/usr/bin/python3
"""The game as a native Wayland client: run on a compositor with no screen,
read over AT-SPI (which goes over D-Bus, not the display) and played through
accessible actions, because a client cannot be sent keys or clicks there from
outside. The window's place is the compositor's choice on Wayland, so only
its size is checked; centring is checked under X11 (window_test)."""

import glob
import os
import shutil
import subprocess
import sys
import tempfile

import harness
from harness import WINDOW_H, WINDOW_W

FIRST, SECOND, LAST = "はじめの行", "つぎの行", "あとの行"
WAYLAND_PLUGINS = "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so"


class WaylandTest(harness.GameTestCase):
    def test_played_through_accessible_actions(self):
        import pyatspi
        game = self.game([FIRST, SECOND, "", LAST, "tugi"]).start(platform="wayland")
        window = harness.wait_for("the window", lambda: next(
            (w for w in game.accessible() if w is not None and w.name == "Pirokko"), None))
        self.assertEqual(window.queryComponent().getSize(), (WINDOW_W, WINDOW_H))

        harness.wait_for("the first page", lambda: game.label_text() == "%s\n%s" % (FIRST, SECOND)
                         and game.page_held(), timeout=5)
        harness.act(game.label(), "Press")
        harness.wait_for("the next page", lambda: game.label_text() == LAST and game.page_held(),
                         timeout=5)
        harness.act(game.label(), "Press")

        # The scene is over: the chooser opens and its boxes take their action.
        moon = harness.wait_for("the chooser", lambda: next(
            (b for b in game.nodes("check box") if b.name == "月" and harness.showing(b)), None))
        harness.act(moon, "Toggle")
        harness.wait_for("the box ticked",
                         lambda: moon.getState().contains(pyatspi.STATE_CHECKED), timeout=5)

        # Nothing Wayland-specific went wrong on the way: Qt warns on stderr of
        # what the platform refuses (placing or activating the window).
        game.alive()
        self.assertEqual([line for line in game.stderr().splitlines()
                          if not line.startswith("ALSA lib ")], [])
        # A headless compositor has no pointer to reach the close box with.
        # The session's way of closing a client, a termination signal, closes
        # the window as the close box does: the game ends cleanly.
        game.proc.terminate()
        self.assertEqual(game.wait_exit(2.0), 0)


def main():
    if os.environ.get("PIROKKO_E2E_INNER"):
        harness.main()
        return
    missing = [t for t in ["weston", "dbus-run-session"] if shutil.which(t) is None]
    if not glob.glob(WAYLAND_PLUGINS):
        missing.append("Qt's Wayland plugin (qt6-wayland)")
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        missing.append("pyatspi for " + sys.executable)
    if missing:
        print("skipped: missing " + ", ".join(missing))
        sys.exit(harness.SKIP)
    runtime = tempfile.mkdtemp(prefix="pirokko-e2e-run-")  # 0700, as Wayland wants
    socket = "pirokko-e2e-%d" % os.getpid()
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY=socket)
    env.pop("DISPLAY", None)  # nothing may fall back to X11
    log = open(os.path.join(runtime, "weston.log"), "w+b")
    weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--socket=" + socket,
                               "--no-config", "--idle-time=0"], env=env, stdin=subprocess.DEVNULL,
                              stdout=log, stderr=log)
    try:
        harness.wait_for("weston's socket", lambda: weston.poll() is not None or os.path.exists(
            os.path.join(runtime, socket)), timeout=15)
        if weston.poll() is not None:
            log.seek(0)
            raise SystemExit("weston ended at start (status %d):\n%s"
                             % (weston.returncode, log.read().decode(errors="replace")))
        harness.run_in_session(env)
    finally:
        weston.terminate()
        weston.wait()
        log.close()
        shutil.rmtree(runtime, ignore_errors=True)


if __name__ == "__main__":
    main()
