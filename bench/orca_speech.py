#!/usr/bin/python3
"""A real screen reader on the game: Orca runs on a private X server with a
small window manager, the shipped game is played with the keyboard through
its opening scene into the chooser, and every line that Orca spoke is
printed (its `SPEECH OUTPUT` lines), followed by a check of what it had to
say: each page of the opening once, and the boxes' names and states.

    bench/orca_speech.py build/pirokko [--scenes 6,1,2] [--order ORDER] [--language LANG]

The game's first page comes to rest about 0.2 s after its window shows, at
about the moment the window manager activates the window and the game's link
to the reader comes up; what the game says before that link is up is lost.
--order plays both (the default) or
one of them: `active-first`, the window manager activating the new window at
once, or `rest-first`, the window manager leaving it inactive until the page
has rested, and the player then switching to it. When Orca heard of the
first page, against the window's activation, is read from its log.

--language runs Orca and the game in English, in Japanese, or both (the
default). These machines have no Japanese C library locale: the session is
C.UTF-8 with LANGUAGE=ja, which the C library's message catalogues (the role
names), Python's gettext (Orca's own words) and the game all follow.

--scenes goes on from the chooser (月 and 星 ticked) with each of those scene
buttons in turn, Tab to it and Space, and keys on to the chooser again; what
Orca said from the button to the next key is printed for each, and its first
page must be in it once and whole.

Not a CTest test: speech timing depends on the machine and Orca can hang at
start on a busy one. Exits 0 when Orca said what it should, 1 when it did not,
77 when a tool is missing.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

TOOLS = ["xvfb-run", "dbus-run-session", "openbox", "orca", "xdotool"]
OPENING_PAGES = 4  # pages of the shipped opening scene before the chooser
# What ticking 月 and 星 reveals, in the order Tab reaches them after the boxes.
REVEALED = ["1", "2", "6"]
# Orca's echo of a key the bench pressed.
KEY_ECHO = re.compile(r"^(space|tab|left shift) $")
ORDERS = ["active-first", "rest-first"]
# What Orca and the game say that the check looks for, in each language: the
# roles as the accessibility library names them, Orca's words for the states
# (its Japanese catalogue leaves these in English), and the name the game
# gives its text while a scene plays.
WORDS = {
    "en": {"check box": "check box", "push button": "push button",
           "unchecked": "check box not checked", "checked": "checked",
           "text": "Text: Space goes on"},
    "ja": {"check box": "チェックボックス", "push button": "プッシュボタン",
           "unchecked": "チェックボックス not checked", "checked": "checked",
           "text": "本文：スペースキーで進みます"},
}
LANGUAGE_ENV = {
    "en": {"LANGUAGE": "", "LC_ALL": "", "LC_MESSAGES": "", "LANG": "C.UTF-8"},
    # No ja_JP locale is generated: with LANG=ja_JP.UTF-8 setlocale fails,
    # the C library stays in "C", and "C" ignores LANGUAGE.
    "ja": {"LANGUAGE": "ja", "LC_ALL": "", "LC_MESSAGES": "", "LANG": "C.UTF-8"},
}
# A window of another program, accessible as a terminal is.
LAUNCHER = """
import gi
gi.require_version("Gtk", "3.0")
from gi.repository import Gtk
window = Gtk.Window(title="Launcher")
window.add(Gtk.Entry())
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
"""
# Openbox's settings for the rest-first order: a new window is not focused.
NO_FOCUS_NEW = """<?xml version="1.0"?>
<openbox_config xmlns="http://openbox.org/3.4/rc"><focus><focusNew>no</focusNew></focus>
</openbox_config>
"""


def outer(program, scenes, orders, languages, keep):
    missing = [t for t in TOOLS if shutil.which(t) is None]
    if missing:
        print("skipped: missing %s (Debian packages: orca openbox speech-dispatcher xvfb "
              "xauth dbus-x11 xdotool)" % ", ".join(missing))
        return 77
    failed = []
    for language in languages:
        for order in orders:
            print("== Orca in %s, %s" % ({"en": "English", "ja": "Japanese"}[language], order),
                  flush=True)
            env = dict(os.environ, PIROKKO_ORCA_INNER="1", **LANGUAGE_ENV[language])
            status = subprocess.call(
                ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "dbus-run-session", "--",
                 sys.executable, os.path.abspath(__file__), os.path.abspath(program),
                 "--order", order, "--language", language] + scenes_option(scenes)
                + (["--keep"] if keep else []), env=env)
            if status:
                failed.append("%s %s" % (language, order))
    if failed:
        print("Orca did not say what it should in: " + ", ".join(failed))
    return 1 if failed else 0


def scenes_option(scenes):
    return ["--scenes", ",".join(scenes)] if scenes else []


def heard_when(log, first_row):
    """When Orca heard of the first page, against when it heard of the
    window's activation, from its own log."""
    try:
        with open(log, encoding="utf-8", errors="replace") as f:
            text = f.read()
    except FileNotFoundError:
        return "no log"
    stamp = r"(\d+):(\d+):(\d+\.\d+) - EVENT MANAGER: "
    seconds = lambda m: int(m[0]) * 3600 + int(m[1]) * 60 + float(m[2])
    activated = re.search(stamp + r"window:activate for \[frame \| Pirokko\]", text)
    shown = next((m for m in re.finditer(
        stamp + r"object:state-changed:showing for \[notification \| ((?:(?!EVENT MANAGER).)*?)"
        r"\] in \[application \| [^\]]*\] \(1,", text, re.S)
        if plain(first_row) in plain(m[4])), None)
    if not activated:
        return "Orca never heard of the window's activation"
    if not shown:
        return "Orca never heard of the first page"
    delay = seconds(shown.groups()) - seconds(activated.groups())
    return "Orca heard of the first page %.2f s %s it heard of the window's activation" % (
        abs(delay), "after" if delay >= 0 else "before")


def wait_for(what, probe, timeout):
    deadline = time.monotonic() + timeout
    while not (value := probe()):
        if time.monotonic() > deadline:
            raise SystemExit("timed out waiting for " + what)
        time.sleep(0.1)
    return value


def spoken(log):
    """What Orca said, one utterance each; one of several rows goes on in
    indented lines of the log."""
    try:
        with open(log, encoding="utf-8", errors="replace") as f:
            lines = f.read().split("\n")
    except FileNotFoundError:
        return []
    said, current = [], None
    for line in lines:
        if current is None:
            if "SPEECH OUTPUT: '" in line:
                current = line.split("SPEECH OUTPUT: '", 1)[1]
        elif line.startswith(" " * 10):
            current += "\n" + line.strip()
        if current is not None and re.search(r"'\s*(\{.*\})?\s*$", current):
            said.append(re.sub(r"'\s*(\{.*\})?\s*$", "", current))
            current = None
    return said


def ended(proc, grace=5):
    if proc and proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(grace)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def script_lines(game_dir, scene):
    with open(os.path.join(game_dir, "txt", scene + ".txt"), "rb") as f:
        return f.read().decode("cp932").replace("\r\n", "\n").split("\n")


def first_page(lines):
    """The rows a scene's first page holds when it comes to rest: until 15
    rows, or until a line that ends a page before it."""
    page = lines[:1]
    for line in lines[1:]:
        if len(page) >= 15 or not line or line.startswith(("-", ">end", ">game", ">ive", "tugi")):
            break
        page.append(line)
    return page


def plain(text):
    return text.replace("　", " ").strip()


def times_said(line, utterances):
    return sum(plain(line) in plain(u) for u in utterances)


def scene_start(scene, lines, words):
    """What Orca said from the focus on the scene's button to the key after
    the first page: the Space that pressed the button is its first echo."""
    at = max((i for i, l in enumerate(lines)
              if re.match(r"^%s %s" % (scene, words["push button"]), l)), default=None)
    if at is None:
        return []
    said = []
    echoes = 0
    for line in lines[at + 1:]:
        if KEY_ECHO.match(line):
            echoes += 1
            if echoes > 1:
                break
        else:
            said.append(line)
    return said


def inner(program, scenes, order, language, keep):
    work = tempfile.mkdtemp(prefix="pirokko-orca-")
    runtime = os.path.join(work, "run")
    os.mkdir(runtime, 0o700)
    prefs = os.path.join(work, "orca-prefs")
    os.mkdir(prefs)
    log = os.path.join(work, "orca.log")
    game_dir = os.path.join(work, "game")
    os.mkdir(game_dir)
    shutil.copy2(program, game_dir)
    for name in ("txt", "img"):
        shutil.copytree(os.path.join(os.path.dirname(program), name), os.path.join(game_dir, name))
    # There is no sound card: a speech module that synthesises nothing keeps
    # speech dispatcher from stalling Orca, which logs what it says anyway.
    config = os.path.join(work, "config")
    os.makedirs(os.path.join(config, "speech-dispatcher", "modules"))
    with open(os.path.join(config, "speech-dispatcher", "speechd.conf"), "w") as f:
        f.write('AddModule "silent" "sd_generic" "silent.conf"\nDefaultModule silent\n')
    with open(os.path.join(config, "speech-dispatcher", "modules", "silent.conf"), "w") as f:
        f.write('GenericExecuteSynth "true"\nAddVoice "en" "MALE1" "en"\n'
                'AddVoice "ja" "MALE1" "ja"\n')
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=config,
               SDL_AUDIODRIVER="dummy")
    wm_command = ["openbox"]
    if order == "rest-first":
        wm_config = os.path.join(work, "openbox-rc.xml")
        with open(wm_config, "w") as f:
            f.write(NO_FOCUS_NEW)
        wm_command += ["--config-file", wm_config]
    wm = orca = game = shell = None
    try:
        wm = subprocess.Popen(wm_command, env=env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
        def start_orca():
            started = subprocess.Popen(["orca", "--debug-file=" + log, "-u", prefs], env=env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            wait_for("Orca to speak", lambda: spoken(log), 60)
            return started

        def window_named(name):
            return wait_for(name, lambda: subprocess.run(
                ["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name], env=env,
                capture_output=True, text=True).stdout.split(), 20)[0]

        def start_launcher():
            # A window of another program, which holds the focus until the
            # game's takes it.
            started = subprocess.Popen(["/usr/bin/python3", "-c", LAUNCHER], env=env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(["xdotool", "windowactivate", "--sync", window_named("Launcher")],
                           env=env)
            wait_for("Orca to speak of the launcher", lambda: any(
                "Launcher" in line for line in spoken(log)), 20)
            return started

        # The player starts the game from another program's window.
        orca = start_orca()
        shell = start_launcher()
        game = subprocess.Popen([os.path.join(game_dir, os.path.basename(program))], env=env,
                                cwd="/", stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        window = window_named("Pirokko")
        subprocess.run(["xdotool", "mousemove", "0", "0"], env=env)
        if order == "rest-first":
            time.sleep(3)  # the first page rests in a window left inactive
        subprocess.run(["xdotool", "windowactivate", "--sync", window], env=env)

        def key(name, settle=2.5):
            subprocess.run(["xdotool", "key", name], env=env)
            time.sleep(settle)  # let Orca finish what it says

        time.sleep(3)  # the first page rolls in and rests
        for _ in range(OPENING_PAGES):
            key("space", 3)
        # The chooser holds the focus on its first box; back to the label
        # and into the boxes, ticking two of them.
        key("shift+Tab")
        key("Tab")
        key("space")
        key("Tab")
        key("space")
        played, on_star = [], True
        for scene in scenes:
            waiting = [b for b in REVEALED if b not in played]
            # From the box to 森, then past the unplayed buttons before it.
            for _ in range((1 if on_star else 2) + waiting.index(scene) + 1):
                key("Tab", 1.5)
            key("space", 4)  # the first page rolls in and rests
            played.append(scene)
            # On to the chooser: a key left over there does nothing until the
            # focus is moved, so one for every line of the script is enough.
            for _ in script_lines(game_dir, scene):
                key("space", 0.3)
            time.sleep(4)
            on_star = False
    finally:
        ended(game)
        ended(shell)
        ended(orca, 20)  # its log is written out as it shuts down
        ended(wm)
        # Speech dispatcher outlives the session and would hang the next
        # Orca: end the one this run started, known by the socket it was
        # given inside this run's own runtime folder.
        for pid in os.listdir("/proc"):
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    cmdline = f.read().decode(errors="replace")
                if pid.isdigit() and runtime + "/speech-dispatcher/" in cmdline:
                    os.kill(int(pid), 15)
                    time.sleep(2)
                    if os.path.exists("/proc/" + pid):
                        os.kill(int(pid), 9)  # one stuck on a sound device
            except (OSError, ValueError):
                pass

    lines = spoken(log)
    for line in lines:
        print("SPEECH OUTPUT: '%s'" % line)
    words = WORDS[language]
    said = "\n".join(lines)
    opening = lines[:next((i for i, l in enumerate(lines) if words["check box"] in l),
                          len(lines))]
    wanted = [l for l in script_lines(game_dir, "opn") if l and not l.startswith("tugi")]
    missing = [l for l in wanted if times_said(l, opening) == 0]
    missing += [w for w in ("月", "星", "森") if w not in said]
    missing += [words[w] for w in ("text", "unchecked", "checked") if words[w] not in said]
    # The opening up to the chooser, and the boxes up to the first scene: a
    # page heard again when the focus comes back to the text is heard twice.
    before_scenes = lines[:next((i for i, l in enumerate(lines) if words["push button"] in l),
                                len(lines))]
    twice = [l for l in wanted if times_said(l, before_scenes) > 1]
    first = first_page(script_lines(game_dir, "opn"))
    counts = sorted({times_said(l, before_scenes) for l in first})
    print("-- %s; its rows were spoken %s time(s)"
          % (heard_when(log, first[0]), " or ".join(map(str, counts))))
    for scene in scenes:
        start = scene_start(scene, lines, words)
        print("-- scene %s, from its button to the next key:" % scene)
        for line in start:
            print("   '%s'" % line)
        page = first_page(script_lines(game_dir, scene))
        missing += [l for l in page if times_said(l, start) == 0]
        twice += [l for l in page if times_said(l, start) > 1]
    if missing or twice:
        if missing:
            print("Orca never said: %r" % missing)
        if twice:
            print("Orca said more than once: %r" % twice)
        print("kept for inspection: " + work)
        return 1
    if keep:
        print("kept: " + work)
    else:
        shutil.rmtree(work, ignore_errors=True)
    print("Orca spoke every line of the opening%s once, and the boxes with their states."
          % (" and of each scene's first page" if scenes else ""))
    return 0


def arguments():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("program")
    parser.add_argument("--scenes", default="", type=lambda v: [s for s in v.split(",") if s])
    parser.add_argument("--order", choices=ORDERS + ["both"], default="both")
    parser.add_argument("--language", choices=list(WORDS) + ["both"], default="both")
    parser.add_argument("--keep", action="store_true",
                        help="keep the run's folder, with Orca's log, when it passes too")
    args = parser.parse_args()
    args.orders = ORDERS if args.order == "both" else [args.order]
    args.languages = list(WORDS) if args.language == "both" else [args.language]
    for scene in args.scenes:
        if scene not in REVEALED or args.scenes.count(scene) > 1:
            parser.error("--scenes takes each of %s once" % ", ".join(REVEALED))
    return args


if __name__ == "__main__":
    args = arguments()
    if os.environ.get("PIROKKO_ORCA_INNER"):
        sys.exit(inner(args.program, args.scenes, args.orders[0], args.languages[0], args.keep))
    sys.exit(outer(args.program, args.scenes, args.orders, args.languages, args.keep))
