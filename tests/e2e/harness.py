"""What the end-to-end tests share: a private X server and session bus, a
program folder of the test's own, and the ways a person (or a screen reader)
reaches the game window.

A test file calls `main()`. Run from ctest it gets the built program as its
first argument; it then starts its own Xvfb, so that tests can run side by
side, and runs itself again inside `dbus-run-session`, where the accessibility
bus can start.
"""

import ctypes
import ctypes.util
import os
import random
import re
import select
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

_INNER = "PIROKKO_E2E_INNER"
_PROGRAM = "PIROKKO_E2E_PROGRAM"

NEEDED_TOOLS = ["Xvfb", "dbus-run-session", "xdotool", "xwininfo", "xprop", "import", "convert"]


def program_path():
    return os.environ[_PROGRAM]


def main():
    """Entry point of a test file: `python3 file.py PROGRAM [unittest args]`."""
    if os.environ.get(_INNER):
        # One stream for the report and the daemons' lines keeps them in order.
        unittest.main(argv=[sys.argv[0]] + sys.argv[1:],
                      testRunner=unittest.TextTestRunner(stream=sys.stdout, verbosity=2),
                      warnings="ignore")  # gi's import hooks warn on every run
        return
    if len(sys.argv) < 2:
        sys.exit("usage: %s PATH-TO-PIROKKO [unittest arguments]" % sys.argv[0])
    missing = [t for t in NEEDED_TOOLS if shutil.which(t) is None]
    try:
        import pyatspi
        del pyatspi
    except ImportError:
        missing.append("pyatspi for " + sys.executable)
    if missing:
        print("skipped: missing " + ", ".join(missing))
        sys.exit(SKIP)
    sys.exit(_run_inside_own_display(os.path.abspath(sys.argv[1]), sys.argv[2:]))


def _start_xvfb():
    """Starts an X server on a display of its own and returns (process, display).

    The display number is drawn at random far above the usual ones: a server
    that is just shutting down can still remove the socket of a new server on
    its old number, which letting Xvfb pick the lowest free number invites
    when tests run side by side."""
    for _ in range(8):
        number = random.randrange(200, 30000)
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", ":%d" % number, "-displayfd", str(write_end), "-screen", "0",
             "%dx%dx24" % (SCREEN_W, SCREEN_H), "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        ready = b""
        deadline = time.monotonic() + 15
        while not ready.endswith(b"\n"):
            readable, _, _ = select.select([read_end], [], [],
                                           max(0.0, deadline - time.monotonic()))
            chunk = os.read(read_end, 16) if readable else b""
            if not chunk:
                break
            ready += chunk
        os.close(read_end)
        display = ":%d" % number
        if ready.endswith(b"\n") and subprocess.call(
                ["xdotool", "getdisplaygeometry"], env=dict(os.environ, DISPLAY=display),
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL) == 0:
            return xvfb, display
        xvfb.kill()
        xvfb.wait()
    raise RuntimeError("Xvfb did not start")


def _run_inside_own_display(program, unittest_args):
    runtime = tempfile.mkdtemp(prefix="pirokko-e2e-run-")
    os.chmod(runtime, 0o700)
    xvfb, display = _start_xvfb()
    try:
        env = dict(os.environ)
        env.update({
            "DISPLAY": display,
            "XDG_RUNTIME_DIR": runtime,
            _INNER: "1",
            _PROGRAM: program,
        })
        session = subprocess.run(
            ["dbus-run-session", "--", sys.executable, sys.argv[0]] + unittest_args, env=env,
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        # The bus daemons report every service they start; only the rest matters.
        sys.stdout.write(re.sub(r"(dbus-daemon\[\d+\]|SpiRegistry daemon is running)[^\n]*\n", "",
                                session.stdout.decode(errors="replace")))
        return session.returncode
    finally:
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(runtime, ignore_errors=True)


def wait_for(what, probe, timeout=10.0, interval=0.03, explain=None):
    """Polls `probe` until it returns something true, and returns that. A
    timeout fails naming `what`, and what `explain()` then says."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out after %.1f s waiting for %s%s"
                                 % (timeout, what, "; " + explain() if explain else ""))
        time.sleep(interval)


def run(*args, check=True):
    return subprocess.run(args, capture_output=True, text=True, check=check).stdout


# ---------------------------------------------------------------------------
# The program's folder


class Game:
    """The built program copied into a temporary folder with its own content,
    started the way a player starts it: no arguments, any working folder."""

    def __init__(self, script=None, picture=True):
        self.folder = tempfile.mkdtemp(prefix="pirokko e2e 遊び ")  # spaces and kana on purpose
        self.program = os.path.join(self.folder, "pirokko")
        shutil.copy2(program_path(), self.program)
        os.mkdir(os.path.join(self.folder, "txt"))
        os.mkdir(os.path.join(self.folder, "img"))
        if script is not None:
            # As the game's authors write scripts: code page 932, CR LF.
            with open(self.script_path, "wb") as f:
                f.write("".join(line + "\r\n" for line in script).encode("cp932"))
        if picture:
            shutil.copy(OPENING_PICTURE, os.path.join(self.folder, "img", "opn.gif"))
        self.proc = None
        self._stderr_path = os.path.join(self.folder, "stderr.txt")
        self._app = None

    @property
    def script_path(self):
        return os.path.join(self.folder, "txt", "opn.txt")

    def start(self):
        env = dict(os.environ)
        env.update({"QT_QPA_PLATFORM": "xcb", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
        # Qt only joins the accessibility bus once that bus is up; a screen
        # reader would have started it long before the game.
        desktop()
        with open(self._stderr_path, "wb") as err:
            # Started from elsewhere: the game must find its files beside itself.
            self.proc = subprocess.Popen([self.program], env=env, cwd="/", stdin=subprocess.DEVNULL,
                                         stdout=subprocess.DEVNULL, stderr=err)
        return self

    def stderr(self):
        with open(self._stderr_path, encoding="utf-8", errors="replace") as f:
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

    # -- windows --------------------------------------------------------------

    def _windows(self):
        return run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.proc.pid),
                   "--name", "^Pirokko$", check=False).split()

    def _is_dialog(self, window):
        return "_NET_WM_WINDOW_TYPE_DIALOG" in run("xprop", "-id", window, "_NET_WM_WINDOW_TYPE",
                                                    check=False)

    def _alive(self):
        if self.proc.poll() is not None:
            raise AssertionError("the program ended with status %d:\n%s"
                                 % (self.proc.returncode, self.stderr()))

    def main_window(self, timeout=10):
        def probe():
            self._alive()
            return next((w for w in self._windows() if not self._is_dialog(w)), None)
        return wait_for("the game window", probe, timeout)

    def message_box(self, timeout=10):
        return wait_for("a message box",
                        lambda: next((w for w in self._windows() if self._is_dialog(w)), None),
                        timeout)

    # -- the accessibility view -----------------------------------------------

    def accessible(self, timeout=10):
        if self._app is None:
            def probe():
                self._alive()
                return next((a for a in desktop()
                             if a is not None and a.get_process_id() == self.proc.pid), None)
            self._app = wait_for("the program on the accessibility bus", probe, timeout)
        return self._app

    def nodes(self, role):
        return [n for n in walk(self.accessible()) if n.getRoleName() == role]

    def label_text(self):
        labels = self.nodes("label")
        assert len(labels) == 1, "expected one label, found %d" % len(labels)
        return labels[0].name


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


# ---------------------------------------------------------------------------
# Input and output as a person has them


def geometry(window):
    info = run("xwininfo", "-id", window)
    def field(name):
        return int(re.search(r"^\s*%s:\s*(-?\d+)" % re.escape(name), info, re.M).group(1))
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


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


def request_close(window):
    """Asks the window to close as a window manager does for its close box:
    a WM_DELETE_WINDOW message (xdotool here can only destroy windows)."""
    x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(_XEvent)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    assert display, "cannot open the display"
    try:
        event = _XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = int(window)
        event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        assert x11.XSendEvent(display, int(window), 0, 0, ctypes.byref(event))
        x11.XFlush(display)
    finally:
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
            failed = len(result.failures) + len(result.errors) > before
            for g in self._games:
                g.finish(keep=failed)

    def game(self, script=None, picture=True):
        g = Game(script, picture)
        self._games.append(g)
        return g
