#!/usr/bin/python3
"""Playing a scene with the mouse, reading the label as a screen reader does."""

import time

import harness

A, B, C, D, E = "最初の行です", "二行目", "空行のあとの行", "-新しいページ", "最後の行"
SCRIPT = [A, B, "", C, D, E, "tugi"]
CRLF = "\r\n"


def page(*rows):
    # Every page begins with a line break, so its first row is blank.
    return "".join(CRLF + row for row in rows)


class PlayTest(harness.GameTestCase):
    def wait_label(self, game, text):
        try:
            harness.wait_for("the label to read %r" % text, lambda: game.label_text() == text,
                             timeout=5)
        except AssertionError:
            self.fail("label reads %r, expected %r" % (game.label_text(), text))

    def chooser_showing(self, game):
        boxes = game.nodes("check box")
        self.assertEqual([b.name for b in boxes], ["月", "星", "森"])
        states = {harness.showing(b) for b in boxes}
        self.assertEqual(len(states), 1, "the check boxes disagree about showing")
        return states.pop()

    def test_clicks_on_the_label_advance_page_by_page_to_the_chooser(self):
        game = self.game(SCRIPT).start()
        window = game.main_window()

        # The timer rolls the second line in, which ends the page: held there.
        self.wait_label(game, page(A, B + "▼"))
        self.assertFalse(self.chooser_showing(game))
        buttons = game.nodes("push button")
        self.assertEqual(sorted(b.name for b in buttons), [str(i) for i in range(8)])
        self.assertFalse(any(harness.showing(b) for b in buttons))

        # A click on the window beside the label is not a click on the label.
        harness.click(window, 432, 140)
        time.sleep(0.3)
        self.assertEqual(game.label_text(), page(A, B + "▼"))

        # On the text: the empty line clears the page and the next line ends
        # it, because a new-page line follows.
        harness.click(window, 200, 40)
        self.wait_label(game, page(C + "▼"))

        # On an empty part of the label: the new-page line opens the page,
        # and the timer adds the last line, which the end of the file ends.
        harness.click(window, 30, 265)
        self.wait_label(game, page(D, E + "▼"))
        self.assertFalse(self.chooser_showing(game))

        harness.click(window, 200, 150)
        harness.wait_for("the chooser to open", lambda: self.chooser_showing(game), timeout=5)
        self.assertEqual(game.label_text(), page(D, E + "▼"))
        # Opening the chooser reveals no scene button by itself.
        self.assertFalse(any(harness.showing(b) for b in game.nodes("push button")))

        # While the chooser is open, clicks on the label do nothing.
        harness.click(window, 200, 150)
        time.sleep(0.3)
        self.assertEqual(game.label_text(), page(D, E + "▼"))
        self.assertTrue(self.chooser_showing(game))

        # Closing with the chooser open ends the game at once.
        harness.request_close(window)
        self.assertEqual(game.wait_exit(1.0), 0, game.stderr())


if __name__ == "__main__":
    harness.main()
