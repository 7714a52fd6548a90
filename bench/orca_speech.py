#!/usr/bin/python3
"""A real screen reader on the game: Orca runs on a private X server with a
small window manager, the shipped game is played with the keyboard through
its opening scene into the chooser, and every line that Orca spoke is
printed (its `SPEECH OUTPUT` lines), followed by a check of what it had to
say: each page of the opening and the boxes' names and states.

    bench/orca_speech.py build/pirokko

Not a CTest test: speech timing depends on the machine and Orca can hang at
start on a busy one. Exits 0 when Orca said what it should, 1 when it did not,
77 when a tool is missing.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

TOOLS = ["xvfb-run", "dbus-run-session", "openbox", "orca", "xdotool"]
OPENING_PAGES = 4  # pages of the shipped opening scene before the chooser


def outer(program):
    missing = [t for t in TOOLS if shutil.which(t) is None]
    if missing:
        print("skipped: missing %s (Debian packages: orca openbox speech-dispatcher xvfb "
              "xauth dbus-x11 xdotool)" % ", ".join(missing))
        return 77
    env = dict(os.environ, PIROKKO_ORCA_INNER="1")
    return subprocess.call(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "dbus-run-session",
                            "--", sys.executable, os.path.abspath(__file__),
                            os.path.abspath(program)], env=env)


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


def inner(program):
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
    with open(os.path.join(game_dir, "txt", "opn.txt"), "rb") as f:
        script = f.read().decode("cp932").replace("\r\n", "\n").split("\n")
    wanted = [l for l in script if l and not l.startswith("tugi")]
    missing = [l for l in wanted if l.replace("　", " ").strip() not in said.replace("　", " ")]
    missing += [w for w in ("月", "星", "森") if w not in said]
    missing += [w for w in ("check box not checked", "checked") if w not in said]
    if missing:
        print("Orca never said: %r" % missing)
        print("kept for inspection: " + work)
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print("Orca spoke every line of the opening and the boxes with their states.")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    sys.exit(inner(sys.argv[1]) if os.environ.get("PIROKKO_ORCA_INNER") else outer(sys.argv[1]))
