#!/usr/bin/python3
"""Closing the window ends the program at once, without a question."""

import harness

# Long enough that the lines are still rolling in when the close comes.
ROLLING = ["%d 行目のテキスト" % n for n in range(1, 15)] * 3


class CloseTest(harness.GameTestCase):
    def test_close_during_a_scene_ends_with_status_0(self):
        game = self.game(ROLLING).start()
        window = game.main_window()
        harness.wait_for("a few lines", lambda: game.label_text().count("\r\n") >= 3, timeout=5)
        harness.request_close(window)
        self.assertEqual(game.wait_exit(1.0), 0, game.stderr())
        self.assertNotIn("Run-time error", game.stderr())

    def test_close_straight_after_the_window_appears(self):
        game = self.game(ROLLING).start()
        harness.request_close(game.main_window())
        self.assertEqual(game.wait_exit(1.0), 0, game.stderr())


if __name__ == "__main__":
    harness.main()
