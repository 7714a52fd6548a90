#!/usr/bin/python3
"""Broken content: the player is told what failed and which file, in a message
box and on stderr, and the program ends with a failure status once the box is
dismissed. Nothing worse: no crash, no sanitizer report."""

import re

import harness


class BadContentTest(harness.GameTestCase):
    def fails_with_message(self, game, pattern):
        box = game.message_box()
        self.assertEqual(harness.window_name(box), "Pirokko")
        self.assertRegex(game.stderr(), pattern)

        # A screen reader reads the same message in the box.
        alerts = [a for a in game.nodes("alert") if harness.showing(a)]
        self.assertEqual(len(alerts), 1)
        texts = [n.name for n in harness.walk(alerts[0]) if n.getRoleName() == "label"]
        self.assertTrue(any(re.search(pattern, t) for t in texts), texts)

        self.assertIsNone(game.proc.poll(), "the program ended before the box was dismissed")
        harness.press_return(box)
        status = game.wait_exit(2.0)
        self.assertGreater(status, 0, "status %d:\n%s" % (status, game.stderr()))
        self.assertNotRegex(game.stderr(), r"Sanitizer|runtime error:")

    # As the game starts.
    def test_missing_picture(self):
        game = self.game(["一行目"], picture=False).start()
        self.fails_with_message(game, re.escape(game.folder + "/img/opn.gif"))

    # In a click on the label, later in play.
    def test_repeat_count_that_is_not_a_number(self):
        game = self.game(["一行目", "二行目", "--x", "四行目"]).start()
        window = game.main_window()
        # The page holds before the repeat line; the click acts on it.
        harness.wait_for("the page end", lambda: game.label_text().endswith("二行目▼"), timeout=5)
        harness.click(window, 200, 100)
        # The message names the file and the line of the repeat count.
        self.fails_with_message(game, re.escape(game.script_path) + r"\D{0,8}\b3\b")


if __name__ == "__main__":
    harness.main()
