#!/usr/bin/python3
"""A whole game of the shipped content, played as a player plays it: the label
clicked page by page, the boxes ticked with the mouse, the revealed scene
buttons pressed (one with the mouse, timed between two jumps; the others
through the accessibility interface, as a screen reader's user would), until
the last scene returns to the title. Screenshots check what the player sees
where only a real screen shows it: scene pictures, the chooser's red field,
played buttons black and unplayed ones red."""

import os
import shutil
import subprocess

import harness

RED = (255, 0, 0)
MOON, STAR, FOREST = "月", "星", "森"
LABEL_POINT = (200, 140)  # inside the label, away from the picture area
SCENES = ["opn"] + [str(n) for n in range(8)]


def extents(node):
    """The node's rectangle on the screen, as (x, y, width, height)."""
    import pyatspi
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return (e.x, e.y, e.width, e.height)


def grid_means(convert_args, rgb=None):
    """Mean colours of an 8 x 8 grid over the image that `convert_args` make."""
    out = subprocess.run(["convert"] + convert_args + ["-scale", "8x8!", "-depth", "8", "rgb:-"],
                         input=rgb, capture_output=True, check=True).stdout
    return [tuple(out[i:i + 3]) for i in range(0, len(out), 3)]


def inside(rect, x, y):
    rx, ry, rw, rh = rect
    return rx <= x < rx + rw and ry <= y < ry + rh


class ShippedGame(harness.GameTestCase):
    """The shipped content in a game of the test's own, and what a player
    reads and does in it."""

    def start_shipped_game(self):
        # The build lays the content beside the program.
        source = os.path.dirname(harness.program_path())
        game = self.running = self.game(picture=False)
        for name in ("txt", "img"):
            shutil.rmtree(os.path.join(game.folder, name))
            shutil.copytree(os.path.join(source, name), os.path.join(game.folder, name))
        # With its music, played into nothing: there is no sound card here.
        if os.path.isfile(os.path.join(source, "bgm.wav")):
            shutil.copy2(os.path.join(source, "bgm.wav"), game.folder)
        os.environ["SDL_AUDIODRIVER"] = "dummy"
        self.window = game.start().main_window()
        g = harness.geometry(self.window)  # no window manager moves it later
        self.origin = (g["x"], g["y"])
        nodes = list(harness.walk(game.accessible()))
        self.label = next(n for n in nodes if n.getRoleName() == "label")
        self.buttons = {n.name: n for n in nodes if n.getRoleName() == "push button"}
        self.boxes = {n.name: n for n in nodes if n.getRoleName() == "check box"}
        self.assertEqual(sorted(self.buttons), [str(i) for i in range(8)])
        self.assertEqual(sorted(self.boxes), sorted([MOON, STAR, FOREST]))
        # The picture area is the largest picture box; the field the one
        # that holds the scene buttons.
        frames = [n for n in nodes if n.getRoleName() == "frame"
                  and n.parent.getRoleName() != "application"]  # not the window
        self.picture_node = max(frames, key=lambda n: extents(n)[2] * extents(n)[3])[0]
        self.field_node = self.buttons["0"].parent
        self.expected = {}
        for scene in SCENES:
            with open(os.path.join(game.folder, "txt", scene + ".txt"), "rb") as f:
                self.expected[scene] = f.read().decode("cp932").replace("\r\n", "\r").split("\r")[0]
        return game

    def to_window(self, rect):
        return (rect[0] - self.origin[0], rect[1] - self.origin[1], rect[2], rect[3])

    def label_text(self):
        self.running.alive()
        return harness.page_text(self.label)

    def page_held(self):
        return harness.page_held(self.label)

    def chooser_open(self):
        # The game shows the boxes and the field in one handler, but the
        # accessibility bus reports each control's state on its own: read in
        # the middle of that, they may disagree for a moment. They must agree
        # once the reports are in.
        def agreed():
            shown = {harness.showing(b) for b in self.boxes.values()}
            shown.add(harness.showing(self.field_node))
            return shown if len(shown) == 1 else None
        return harness.wait_for("the boxes and the field to agree about showing", agreed,
                                timeout=1.0).pop()

    def showing_buttons(self):
        return {name for name, b in self.buttons.items() if harness.showing(b)}

    def ticked(self):
        import pyatspi
        return {n for n, b in self.boxes.items() if b.getState().contains(pyatspi.STATE_CHECKED)}

    def enabled(self, name):
        import pyatspi
        return self.buttons[name].getState().contains(pyatspi.STATE_ENABLED)

    # -- what the player does -------------------------------------------------

    def wait_for_first_page(self, scene):
        """A scene opens its first page, which then fills and holds."""
        start = self.expected[scene]
        harness.wait_for("scene %s's first page, beginning %r" % (scene, start),
                         lambda: self.label_text().startswith(start) and self.page_held(),
                         explain=lambda: "the label reads %r" % self.label_text())
        self.assertFalse(self.chooser_open(), "the chooser is open during scene %s" % scene)

    def advance_through(self, scene, done, advance, how="a click"):
        """Calls `advance()` at every held page until `done()` holds."""
        for _ in range(60):
            harness.wait_for("a held page in scene %s" % scene,
                             lambda: done() or self.page_held(),
                             explain=lambda: "the label reads %r" % self.label_text())
            if done():
                return
            # The announcement changes too when a page like the last one
            # comes to rest.
            page = (self.label_text(), harness.announced(self.label))
            advance()
            harness.wait_for("%s on the held page %r of scene %s to act" % (how, page[0], scene),
                             lambda: done() or
                             (self.label_text(), harness.announced(self.label)) != page,
                             timeout=5)
        self.fail("scene %s never ended" % scene)

    def click_through(self, scene, done):
        """Clicks the label at every held page until `done()` holds."""
        self.advance_through(scene, done, lambda: harness.click(self.window, *LABEL_POINT))

    def tick(self, name, expect_ticked, expect_showing):
        """A real click on a box, then the boxes and the revealed buttons as
        the unlock rules have them."""
        x, y, w, h = self.to_window(extents(self.boxes[name]))
        harness.click(self.window, x + w // 2, y + h // 2)
        self.wait_for_chooser("after a click on %s" % name, expect_ticked, expect_showing)

    def wait_for_chooser(self, after, expect_ticked, expect_showing):
        """Waits until the boxes and the revealed buttons are as expected."""
        harness.wait_for("%s, the boxes %s ticked and buttons %s showing"
                         % (after, sorted(expect_ticked), sorted(expect_showing)),
                         lambda: (self.ticked() == set(expect_ticked)
                                  and self.showing_buttons() == set(expect_showing)),
                         timeout=5, explain=lambda: "boxes %s and buttons %s"
                         % (sorted(self.ticked()), sorted(self.showing_buttons())))

    def choose(self, name, by_pointer=False):
        """Presses a revealed scene button and plays its scene to the chooser."""
        self.assertIn(name, self.showing_buttons())
        self.assertTrue(self.enabled(name), "button %s was played already" % name)
        revealed, ticked = self.showing_buttons(), self.ticked()
        if by_pointer:
            self.click_wandering(name)
        else:
            harness.act(self.buttons[name], "Press")
        self.wait_for_first_page(name)
        self.assertFalse(self.enabled(name), "button %s still enabled in its scene" % name)
        self.click_through(name, self.chooser_open)
        # Opening the chooser leaves the boxes and the revealed buttons as they were.
        self.assertEqual((self.ticked(), self.showing_buttons()), (ticked, revealed))

    def click_wandering(self, name):
        """A real click on a wandering button: aimed just after the buttons
        have jumped, so the next jump is a whole tick away, and only while no
        other button lies on it."""
        shown = [self.buttons[n] for n in sorted(self.showing_buttons())]
        target = self.buttons[name]
        for _ in range(10):
            before = [extents(n) for n in shown]
            harness.wait_for("the buttons to jump", lambda: [extents(n) for n in shown] != before,
                             timeout=5, interval=0.02)
            x, y, w, h = extents(target)
            if not any(x < a + c and a < x + w and y < b + d and b < y + h
                       for a, b, c, d in (extents(n) for n in shown if n is not target)):
                x, y, w, h = self.to_window((x, y, w, h))
                harness.click(self.window, x + w // 2, y + h // 2)
                return
        self.fail("button %s never stood clear of the others" % name)

    # -- what the screen shows ----------------------------------------------

    def screenshot_until(self, what, nodes, check):
        """Screenshots the window until `check(shot, rects)` returns None (all
        well) for a shot taken while no node in `nodes` moved; `rects` are
        their window rectangles. Fails with check's last complaint."""
        last = {}

        def probe():
            before = [extents(n) for n in nodes]
            shot = harness.Screenshot(self.window)
            moved = [extents(n) for n in nodes] != before
            last["complaint"] = ("the buttons kept moving" if moved
                                 else check(shot, [self.to_window(r) for r in before]))
            return last["complaint"] is None

        harness.wait_for(what, probe, timeout=8, interval=0.1, explain=lambda: last["complaint"])

    def check_picture(self, scene):
        """The picture area shows the scene's own GIF stretched, nearer to it
        than to any other scene's."""
        x, y, w, h = self.to_window(extents(self.picture_node))
        pictures = {s: grid_means([os.path.join(self.running.folder, "img", s + ".gif[0]"),
                                   "-background", "rgb(128,128,255)", "-flatten", "-filter",
                                   "Triangle", "-resize", "%dx%d!" % (w, h)]) for s in SCENES}

        def check(shot, _):
            seen = grid_means(["-size", "%dx%d" % (shot.width, shot.height), "-depth", "8", "rgb:-",
                               "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage"], shot.rgb)
            # Mean over the grid cells of the largest channel difference.
            distance = {s: sum(max(abs(p - q) for p, q in zip(u, v)) for u, v in zip(seen, m))
                        / len(m) for s, m in pictures.items()}
            nearest = min(distance, key=distance.get)
            if distance[scene] > 6 or nearest != scene:
                return ("the picture area differs from %s.gif by %.1f on average; nearest is %s.gif"
                        " (%.1f)" % (scene, distance[scene], nearest, distance[nearest]))
            return None

        self.screenshot_until("scene %s picture" % scene, [], check)

    def check_chooser(self, scene, played, unplayed):
        """With the chooser open: the field's red shows wherever no button
        stands; each button named in `played` is drawn black where the
        accessibility interface says it is, each in `unplayed` red."""
        shown = sorted(self.showing_buttons())
        self.assertEqual(set(shown), set(played) | set(unplayed))

        def check(shot, rects):
            field, button_rects = rects[0], dict(zip(shown, rects[1:]))
            covered = lambda x, y, but=None: any(inside(r, x, y) for n, r in button_rects.items()
                                                 if n != but)
            wrong = sum(1 for y in range(field[1], field[1] + field[3])
                        for x in range(field[0], field[0] + field[2])
                        if not covered(x, y) and shot.pixel(x, y) != RED)
            if wrong:
                return "%d pixels of the open field are not red" % wrong
            colours = [(n, "black", lambda p: max(p) < 70) for n in played]
            colours += [(n, "red", lambda p: p[0] > 200 and p[0] - max(p[1:]) > 80)
                        for n in unplayed]
            for name, colour, matches in colours:
                x, y, w, h = button_rects[name]
                # The face, less its bevel, where no other button covers it.
                points = [(px, py) for py in range(y + 3, y + h - 3) for px in range(x + 3, x + w - 3)
                          if inside(field, px, py) and not covered(px, py, name)]
                if len(points) < 30:
                    return "button %s is hidden under the others" % name
                good = sum(1 for p in points if matches(shot.pixel(*p)))
                if good < 0.6 * len(points):
                    return ("button %s at %s is %s on only %d of %d face pixels"
                            % (name, (x, y, w, h), colour, good, len(points)))
            return None

        self.screenshot_until("chooser after %s showing %s" % (scene, ",".join(shown) or "none"),
                              [self.field_node] + [self.buttons[n] for n in shown], check)

    def check_title(self):
        self.wait_for_first_page("opn")
        self.assertEqual((self.ticked(), self.showing_buttons()), (set(), set()))
        for name in self.buttons:
            self.assertTrue(self.enabled(name), "button %s still disabled after the title" % name)


class PlaythroughTest(ShippedGame):
    def test_a_whole_game_from_the_title_back_to_the_title(self):
        game = self.start_shipped_game()

        self.check_title()
        self.check_picture("opn")
        self.click_through("opn", self.chooser_open)
        self.check_chooser("opn", [], [])

        # One box reveals nothing; a second one three buttons.
        self.tick(MOON, [MOON], [])
        self.tick(STAR, [MOON, STAR], ["6", "1", "2"])
        self.choose("2", by_pointer=True)
        self.check_chooser("2", ["2"], ["6", "1"])
        self.choose("1")
        self.choose("6")

        # The third box: the rule for all three takes over.
        self.tick(FOREST, [MOON, STAR, FOREST], ["4", "1", "0"])
        self.choose("4")
        self.choose("0")

        self.tick(MOON, [STAR, FOREST], ["5", "3", "6"])
        self.choose("5")
        self.choose("3")
        # All of 0 to 6 are played, but only a change of a box shows that.
        self.check_chooser("3", ["5", "3", "6"], [])
        self.tick(STAR, [FOREST], ["7"])

        # The last scene ends in the title, where a new game begins.
        harness.act(self.buttons["7"], "Press")
        self.wait_for_first_page("7")
        self.check_picture("7")
        self.click_through("7", lambda: self.label_text().startswith(self.expected["opn"]))
        self.check_title()

        harness.request_close(self.window)
        self.assertEqual(game.wait_exit(2.0), 0, game.stderr())
        self.assertNotRegex(game.stderr(), r"Sanitizer|runtime error:")


if __name__ == "__main__":
    harness.main()
