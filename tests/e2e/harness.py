"""What the end-to-end tests share: a private X server and session bus, a
program folder of the test's own, and the ways a person (or a screen reader)
reaches the game window.

A test file calls `main()` with the built program as its first argument; it
starts its own Xvfb, so that tests can run side by side, and runs itself again
inside `dbus-run-session`, where the accessibility bus can start.
"""

import ctypes
import ctypes.util
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

SCREEN_W, SCREEN_H = 1280, 1024
WINDOW_W, WINDOW_H = 681, 289
SKIP = 77  # ctest's SKIP_RETURN_CODE for these tests
OPENING_PICTURE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data",
                               "green-40x30.gif")
NEEDED_TOOLS = ["Xvfb", "dbus-run-session", "xdotool", "xwininfo", "xprop", "import", "convert"]


def program_path():
    return os.environ["PIROKKO_E2E_PROGRAM"]


def main():
    """Entry point of a test file: `python3 file.py PROGRAM [unittest args]`."""
    if os.environ.get("PIROKKO_E2E_INNER"):
        # One stream for the report and the daemons' lines keeps them in order.
        unittest.main(argv=sys.argv[:1] + sys.argv[1:], warnings="ignore",  # gi warns on import
                      testRunner=unittest.TextTestRunner(stream=sys.stdout, verbosity=2))
        return
    missing = [t for t in NEEDED_TOOLS if shutil.which(t) is None]
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        missing.append("pyatspi for " + sys.executable)
    if missing:
        print("skipped: missing " + ", ".join(missing))
        sys.exit(SKIP)
    # A number far above the usual ones: a server still shutting down can
    # remove the socket of a new server on its old number.
    display = ":%d" % random.randrange(200, 30000)
    runtime = tempfile.mkdtemp(prefix="pirokko-e2e-run-")
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "%dx%dx24" % (SCREEN_W, SCREEN_H),
                             "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        env = dict(os.environ, DISPLAY=display, XDG_RUNTIME_DIR=runtime)
        wait_for("Xvfb", lambda: subprocess.call(["xdotool", "getdisplaygeometry"], env=env,
                                                 stdout=subprocess.DEVNULL,
                                                 stderr=subprocess.DEVNULL) == 0, timeout=15)
        run_in_session(env)
    finally:
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(runtime, ignore_errors=True)


def run_in_session(env):
    """Runs this test file again with `env` inside a session bus of its own,
    where the accessibility bus can start; exits with the tests' status."""
    env = dict(env, PIROKKO_E2E_INNER="1", PIROKKO_E2E_PROGRAM=os.path.abspath(sys.argv[1]))
    session = subprocess.run(["dbus-run-session", "--", sys.executable, sys.argv[0]]
                             + sys.argv[2:], env=env, stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT)
    # The bus daemons report every service they start; only the rest matters.
    sys.stdout.write(re.sub(r"(dbus-daemon\[\d+\]|SpiRegistry daemon is running)[^\n]*\n", "",
                            session.stdout.decode(errors="replace")))
    sys.exit(session.returncode)


def wait_for(what, probe, timeout=10.0, interval=0.03, explain=None):
    """Polls `probe` until it returns something true, and returns that. A
    timeout fails naming `what`, and what `explain()` then says."""
    deadline = time.monotonic() + timeout
    while not (value := probe()):
        if time.monotonic() > deadline:
            raise AssertionError("timed out after %.1f s waiting for %s%s"
                                 % (timeout, what, "; " + explain() if explain else ""))
        time.sleep(interval)
    return value


def run(*args, check=True):
    return subprocess.run(args, capture_output=True, text=True, check=check).stdout


class Game:
    """The built program copied into a temporary folder with its own content,
    started the way a player starts it: no arguments, any working folder."""

    def __init__(self, script=None, picture=True):
        self.folder = tempfile.mkdtemp(prefix="pirokko e2e 遊び ")  # spaces and kana on purpose
        self.program = os.path.join(self.folder, "pirokko")
        self.script_path = os.path.join(self.folder, "txt", "opn.txt")
        shutil.copy2(program_path(), self.program)
        os.mkdir(os.path.join(self.folder, "txt"))
        os.mkdir(os.path.join(self.folder, "img"))
        if script is not None:
            # As the game's authors write scripts: code page 932, CR LF.
            with open(self.script_path, "wb") as f:
                f.write("".join(line + "\r\n" for line in script).encode("cp932"))
        if picture:
            shutil.copy(OPENING_PICTURE, os.path.join(self.folder, "img", "opn.gif"))
        self.proc = self._app = None

    def start(self, platform="xcb", command=None, cwd="/"):
        """Starts the copied program, or `command` (a list) in its place,
        from `cwd`: by default from elsewhere, so that the game must find its
        files beside itself."""
        env = dict(os.environ, QT_QPA_PLATFORM=platform, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        # Qt only joins the accessibility bus once that bus is up; a screen
        # reader would have started it long before the game.
        desktop()
        with open(os.path.join(self.folder, "stderr.txt"), "wb") as err:
            self.proc = subprocess.Popen(command or [self.program], env=env, cwd=cwd,
                                         stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                         stderr=err)
        return self

    def stderr(self):
        with open(os.path.join(self.folder, "stderr.txt"), encoding="utf-8", errors="replace") as f:
            return f.read()

    def wait_exit(self, timeout):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program was still running %.1f s later" % timeout)

    def finish(self, keep):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        if keep:
            print("kept for inspection: " + self.folder)
        else:
            shutil.rmtree(self.folder, ignore_errors=True)

    def alive(self):
        if self.proc.poll() is not None:
            raise AssertionError("the program ended with status %d:\n%s"
                                 % (self.proc.returncode, self.stderr()))

    def _window(self, dialog):
        self.alive()
        found = run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.proc.pid),
                    "--name", "^Pirokko$", check=False).split()
        return next((w for w in found if dialog == ("_NET_WM_WINDOW_TYPE_DIALOG" in run(
            "xprop", "-id", w, "_NET_WM_WINDOW_TYPE", check=False))), None)

    def main_window(self):
        return wait_for("the game window", lambda: self._window(dialog=False))

    def message_box(self):
        return wait_for("a message box", lambda: self._window(dialog=True))

    def accessible(self):
        if self._app is None:
            self._app = wait_for("the program on the accessibility bus", lambda: self.alive() or next(
                (a for a in desktop() if a is not None and a.get_process_id() == self.proc.pid),
                None))
        return self._app

    def nodes(self, role):
        return [n for n in walk(self.accessible()) if n.getRoleName() == role]

    def label(self):
        labels = self.nodes("label")
        assert len(labels) == 1, "expected one label, found %d" % len(labels)
        return labels[0]

    def label_text(self):
        """The page as a reader gets it: its rows joined by line feeds,
        without the blank first row and without the prompt mark."""
        return page_text(self.label())

    def page_held(self):
        return page_held(self.label())


def page_text(label):
    text = label.queryText()
    return text.getText(0, text.characterCount)


def announced(label):
    """What the label announced as its page came to rest: the notification
    it holds while the page waits for the player; empty while one rolls in."""
    for child in label:
        if child is not None and child.getRoleName() == "notification" and showing(child):
            return child.name
    return ""


def page_held(label):
    return bool(announced(label))


def desktop():
    import pyatspi
    return pyatspi.Registry.getDesktop(0)


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def showing(node):
    import pyatspi
    return node.getState().contains(pyatspi.STATE_SHOWING)


def act(node, name):
    """Does the accessible action `name` of `node`, as a screen reader does."""
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    assert name in names, "%s %r offers %s, not %s" % (node.getRoleName(), node.name, names, name)
    action.doAction(names.index(name))


def geometry(window):
    info = run("xwininfo", "-id", window)
    field = lambda name: int(re.search(r"^\s*%s:\s*(-?\d+)" % name, info, re.M).group(1))
    return {"x": field("Absolute upper-left X"), "y": field("Absolute upper-left Y"),
            "width": field("Width"), "height": field("Height")}


def window_name(window):
    return run("xdotool", "getwindowname", window).rstrip("\n")


class Screenshot:
    def __init__(self, window):
        g = geometry(window)
        self.width, self.height = g["width"], g["height"]
        self.rgb = subprocess.run(["import", "-window", window, "-depth", "8", "rgb:-"],
                                  capture_output=True, check=True).stdout
        assert len(self.rgb) == self.width * self.height * 3, "unexpected screenshot size"

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])


def click(window, x, y):
    # No --sync: it waits forever when the pointer is already there.
    run("xdotool", "mousemove", "--window", window, str(x), str(y), "click", "1")


def press_return(window):
    run("xdotool", "windowfocus", window, "key", "Return")


def request_close(window):
    """Asks the window to close as a window manager does for its close box:
    a WM_DELETE_WINDOW message (xdotool here can only destroy windows)."""
    class Event(ctypes.Structure):  # XClientMessageEvent, padded to an XEvent
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
                    ("pad", ctypes.c_long * 24)]
    x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(Event)]
    x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    assert display, "cannot open the display"
    event = Event(type=33, window=int(window), format=32,  # a ClientMessage
                  message_type=x11.XInternAtom(display, b"WM_PROTOCOLS", 0))
    event.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    assert x11.XSendEvent(display, int(window), 0, 0, ctypes.byref(event))
    x11.XFlush(display)
    x11.XCloseDisplay(display)


class GameTestCase(unittest.TestCase):
    """Gives each test its games; keeps their folders when the test fails."""

    def run(self, result=None):
        result = result or self.defaultTestResult()
        self._games = []
        before = len(result.failures) + len(result.errors)
        try:
            return super().run(result)
        finally:
            for g in self._games:
                g.finish(keep=len(result.failures) + len(result.errors) > before)

    def game(self, script=None, picture=True):
        self._games.append(Game(script, picture))
        return self._games[-1]

    def fails_with_message(self, game, pattern):
        """The player is told what failed in a box and on stderr, a screen
        reader reads the same, and the program ends with a failure status
        once the box is dismissed."""
        box = game.message_box()
        self.assertEqual(window_name(box), "Pirokko")
        self.assertRegex(game.stderr(), pattern)

        alerts = [a for a in game.nodes("alert") if showing(a)]
        self.assertEqual(len(alerts), 1)
        texts = [n.name for n in walk(alerts[0]) if n.getRoleName() == "label"]
        self.assertTrue(any(re.search(pattern, t) for t in texts), texts)

        self.assertIsNone(game.proc.poll(), "the program ended before the box was dismissed")
        press_return(box)
        status = game.wait_exit(2.0)
        self.assertGreater(status, 0, "status %d:\n%s" % (status, game.stderr()))
        self.assertNotRegex(game.stderr(), r"Sanitizer|runtime error:")
