#!/usr/bin/python3
"""The window as a player first sees it: size, caption, place, and the scene
picture painted over the picture area."""

import harness
from harness import BACK_COLOUR, QUADRANTS, SCREEN_H, SCREEN_W, WINDOW_H, WINDOW_W

# The first page ends after two lines and holds there, so nothing moves while
# the window is looked at and the chooser stays closed.
HELD_PAGE = ["はじめの行", "つぎの行", "", "あとの行"]


def close_to(actual, expected, tolerance=8):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


class WindowTest(harness.GameTestCase):
    def test_fixed_window_with_its_caption_centred_on_the_screen(self):
        game = self.game(HELD_PAGE).start()
        window = game.main_window()
        g = harness.geometry(window)
        self.assertEqual((g["width"], g["height"]), (WINDOW_W, WINDOW_H))
        self.assertEqual(harness.window_name(window), "Pirokko")
        # No window manager here, so the window stands exactly where it asked.
        self.assertLessEqual(abs(g["x"] - (SCREEN_W - WINDOW_W) / 2), 1, g)
        self.assertLessEqual(abs(g["y"] - (SCREEN_H - WINDOW_H) / 2), 1, g)
        hints = harness.run("xprop", "-id", window, "WM_NORMAL_HINTS")
        self.assertIn("minimum size: %d by %d" % (WINDOW_W, WINDOW_H), hints)
        self.assertIn("maximum size: %d by %d" % (WINDOW_W, WINDOW_H), hints)

    def test_picture_fills_the_picture_area_over_the_back_colour(self):
        game = self.game(HELD_PAGE).start()
        window = game.main_window()
        # Inside the picture area's border (x 448-673, y 8-265): the middle of
        # each quarter, and points a few pixels in from its corners, which only
        # a picture stretched over the whole interior reaches.
        expected = {
            (505, 73): QUADRANTS["top_left"],
            (615, 73): QUADRANTS["top_right"],
            (505, 200): QUADRANTS["bottom_left"],
            (615, 200): QUADRANTS["bottom_right"],
            (452, 12): QUADRANTS["top_left"],
            (668, 12): QUADRANTS["top_right"],
            (452, 260): QUADRANTS["bottom_left"],
            (668, 260): QUADRANTS["bottom_right"],
            # The window itself: above and below the label, between label and
            # picture, right of and below the picture.
            (5, 5): BACK_COLOUR,
            (200, 282): BACK_COLOUR,
            (432, 140): BACK_COLOUR,
            (677, 140): BACK_COLOUR,
            (560, 280): BACK_COLOUR,
        }
        shot = None

        def all_match():
            nonlocal shot
            shot = harness.Screenshot(window)
            return all(close_to(shot.pixel(x, y), rgb) for (x, y), rgb in expected.items())

        try:
            harness.wait_for("the picture on screen", all_match, timeout=5)
        except AssertionError:
            shot.save(game.folder + "/screenshot.png")
            wrong = {xy: shot.pixel(*xy) for xy, rgb in expected.items()
                     if not close_to(shot.pixel(*xy), rgb)}
            self.fail("pixels differ from the design: %s" % wrong)

        # The first page's text is drawn in black somewhere in the label.
        dark = [(x, y) for y in range(16, 273, 2) for x in range(0, 417, 2)
                if max(shot.pixel(x, y)) < 80]
        self.assertTrue(dark, "no text drawn in the label")


if __name__ == "__main__":
    harness.main()
