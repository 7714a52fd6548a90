#!/usr/bin/python3
"""Soak test: the real program under a private X server, clicked at random as
fast as a frantic player for a given time, reporting crashes and memory growth.

    bench/soak.py BUILD_DIR [--minutes 60] [--clicks-per-second 20]

Clicks land on the label, the check boxes and anywhere in the button field,
so scenes start, pages turn, boxes toggle and buttons are pressed. The music
loops on SDL's dummy driver. A program that exits counts as a crash and is
started again. Memory is the resident set read from /proc at the tenth minute
(or a sixth of the run, if shorter) and at the end. Not a test.
"""

import argparse
import os
import random
import subprocess
import sys
import tempfile
import time


def rss_kb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def find_window(display):
    for _ in range(100):
        out = subprocess.run(["xdotool", "search", "--name", "^Pirokko$"], env=display,
                             capture_output=True, text=True).stdout.split()
        if out:
            return out[0]
        time.sleep(0.1)
    return None


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build")
    ap.add_argument("--minutes", type=float, default=60)
    ap.add_argument("--clicks-per-second", type=float, default=20)
    args = ap.parse_args()

    program = os.path.join(os.path.abspath(args.build), "pirokko")
    display_no = 90 + os.getpid() % 50
    xvfb = subprocess.Popen(["Xvfb", ":%d" % display_no, "-screen", "0", "1280x1024x24",
                             "-nolisten", "tcp"], stderr=subprocess.DEVNULL)
    time.sleep(1)
    env = dict(os.environ, DISPLAY=":%d" % display_no, SDL_AUDIODRIVER="dummy",
               XDG_RUNTIME_DIR=tempfile.mkdtemp())
    env.pop("QT_QPA_PLATFORM", None)

    crashes, clicks = 0, 0
    start = time.time()
    end = start + args.minutes * 60
    mark_at = start + min(600, args.minutes * 60 / 6)
    rss_mark = None
    rng = random.Random(1)
    log = open(os.path.join(tempfile.gettempdir(), "pirokko-soak.log"), "w")

    def launch():
        p = subprocess.Popen([program], env=env, stdout=log, stderr=log)
        return p, find_window(env)

    proc, win = launch()
    try:
        while time.time() < end:
            if proc.poll() is not None:
                crashes += 1
                print("program ended with status %s after %.0f s" % (proc.returncode,
                                                                      time.time() - start))
                proc, win = launch()
                continue
            r = rng.random()
            if r < 0.5:
                x, y = rng.randrange(0, 417), rng.randrange(16, 273)      # the label
            elif r < 0.7:
                x, y = rng.randrange(456, 632), rng.randrange(16, 41)     # the check boxes
            else:
                x, y = rng.randrange(458, 663), rng.randrange(58, 249)    # the button field
            subprocess.run(["xdotool", "mousemove", "--window", win, str(x), str(y),
                            "click", "1"], env=env, stderr=subprocess.DEVNULL)
            clicks += 1
            if rss_mark is None and time.time() >= mark_at:
                rss_mark = rss_kb(proc.pid)
            time.sleep(1.0 / args.clicks_per_second)
        rss_end = rss_kb(proc.pid)
    finally:
        proc.terminate()
        proc.wait()
        xvfb.terminate()

    minutes = (time.time() - start) / 60
    print("soak: %.1f min, %d clicks, %d crashes" % (minutes, clicks, crashes))
    if rss_mark:
        print("resident memory: %.1f MB at the mark, %.1f MB at the end, growth %+.2f MB"
              % (rss_mark / 1024, rss_end / 1024, (rss_end - rss_mark) / 1024))
    return 1 if crashes else 0


if __name__ == "__main__":
    sys.exit(main())
