#!/usr/bin/python3
"""A real screen reader on the game: Orca runs on a private X server with a
small window manager, the shipped game is played with the keyboard through
its opening scene into the chooser, and every line that Orca spoke is
printed (its `SPEECH OUTPUT` lines), followed by a check of what it had to
say: each page of the opening once, and the boxes' names and states.

    bench/orca_speech.py build/pirokko [--scenes 6,1,2]

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


def outer(program, scenes):
    missing = [t for t in TOOLS if shutil.which(t) is None]
    if missing:
        print("skipped: missing %s (Debian packages: orca openbox speech-dispatcher xvfb "
              "xauth dbus-x11 xdotool)" % ", ".join(missing))
        return 77
    env = dict(os.environ, PIROKKO_ORCA_INNER="1")
    return subprocess.call(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "dbus-run-session",
                            "--", sys.executable, os.path.abspath(__file__),
                            os.path.abspath(program)] + scenes_option(scenes), env=env)


def scenes_option(scenes):
    return ["--scenes", ",".join(scenes)] if scenes else []


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


def scene_start(scene, lines):
    """What Orca said from the focus on the scene's button to the key after
    the first page: the Space that pressed the button is its first echo."""
    at = max((i for i, l in enumerate(lines) if re.match(r"^%s push button" % scene, l)),
             default=None)
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


def inner(program, scenes):
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
    wm = orca = game = None
    try:
        wm = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
        orca = subprocess.Popen(["orca", "--debug-file=" + log, "-u", prefs], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("Orca to speak", lambda: spoken(log), 60)
        game = subprocess.Popen([os.path.join(game_dir, os.path.basename(program))],
                                env=dict(env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"),
                                cwd="/", stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        window = wait_for("the game window", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^Pirokko$"], env=env,
            capture_output=True, text=True).stdout.split(), 20)[0]
        subprocess.run(["xdotool", "mousemove", "0", "0"], env=env)
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
    said = "\n".join(lines)
    opening = lines[:next((i for i, l in enumerate(lines) if "check box" in l), len(lines))]
    wanted = [l for l in script_lines(game_dir, "opn") if l and not l.startswith("tugi")]
    missing = [l for l in wanted if times_said(l, opening) == 0]
    missing += [w for w in ("月", "星", "森") if w not in said]
    missing += [w for w in ("check box not checked", "checked") if w not in said]
    # The opening up to the chooser, and the boxes up to the first scene: a
    # page heard again when the focus comes back to the text is heard twice.
    before_scenes = lines[:next((i for i, l in enumerate(lines) if "push button" in l), len(lines))]
    twice = [l for l in wanted if times_said(l, before_scenes) > 1]
    for scene in scenes:
        start = scene_start(scene, lines)
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
    shutil.rmtree(work, ignore_errors=True)
    print("Orca spoke every line of the opening%s once, and the boxes with their states."
          % (" and of each scene's first page" if scenes else ""))
    return 0


def arguments():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("program")
    parser.add_argument("--scenes", default="", type=lambda v: [s for s in v.split(",") if s])
    args = parser.parse_args()
    for scene in args.scenes:
        if scene not in REVEALED or args.scenes.count(scene) > 1:
            parser.error("--scenes takes each of %s once" % ", ".join(REVEALED))
    return args


if __name__ == "__main__":
    args = arguments()
    sys.exit((inner if os.environ.get("PIROKKO_ORCA_INNER") else outer)(args.program, args.scenes))
