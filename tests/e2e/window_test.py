#!/usr/bin/python3
"""The window as a player and a screen reader first meet it, and closing it.
Broken content: the player is told what failed and which file, in a message
box and on stderr, and the program ends with a failure status once the box is
dismissed. Nothing worse: no crash, no sanitizer report."""

import re
import time

import harness
from harness import SCREEN_H, SCREEN_W, WINDOW_H, WINDOW_W

FIRST, SECOND, LAST = "はじめの行", "つぎの行", "あとの行"


class WindowTest(harness.GameTestCase):
    def test_fixed_window_centred_with_its_text_for_screen_readers(self):
        # The first page ends after two lines and holds there.
        game = self.game([FIRST, SECOND, "", LAST]).start()
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

        held = "%s\n%s" % (FIRST, SECOND)
        harness.wait_for("the first page",
                         lambda: game.label_text() == held and game.page_held(), timeout=5)
        # A click on the window beside the label is not a click on the label.
        harness.click(window, 432, 140)
        time.sleep(0.3)
        self.assertEqual(game.label_text(), held)
        harness.click(window, 200, 40)
        harness.wait_for("the next page", lambda: game.label_text() == LAST and game.page_held(),
                         timeout=5)

    def test_closing_during_a_scene_ends_with_status_0(self):
        # Long enough that the lines are still rolling in when the close comes.
        game = self.game(["%d 行目のテキスト" % n for n in range(1, 15)]).start()
        window = game.main_window()
        harness.wait_for("a few lines", lambda: game.label_text().count("\n") >= 2, timeout=5)
        harness.request_close(window)
        self.assertEqual(game.wait_exit(1.0), 0, game.stderr())
        self.assertNotIn("Run-time error", game.stderr())

    # Broken content found as the game starts, and in a click later in play.
    def test_missing_picture(self):
        game = self.game(["一行目"], picture=False).start()
        self.fails_with_message(game, re.escape(game.folder + "/img/opn.gif"))

    def test_repeat_count_that_is_not_a_number(self):
        game = self.game(["一行目", "二行目", "--x", "四行目"]).start()
        window = game.main_window()
        # The page holds before the repeat line; the click acts on it.
        harness.wait_for("the page end", lambda: game.label_text().endswith("二行目") and game.page_held(), timeout=5)
        harness.click(window, 200, 100)
        # The message names the file and the line of the repeat count.
        self.fails_with_message(game, re.escape(game.script_path) + r"\D{0,8}\b3\b")


if __name__ == "__main__":
    harness.main()
