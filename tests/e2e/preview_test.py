#!/usr/bin/python3
"""The author's preview as an author uses it: the game started at a line of
the scene being written, that scene saved again by an editor that renames a
new file over the old one, a save that breaks it and the save that mends it,
read through the accessibility interface as a screen reader reads it."""

import os
import shutil
import subprocess

import harness

OPENING = ["はじまり"]
# Pages for a player who clicks through: あ/い (lines 1-3), う (4-5),
# え/お/か (6-8, the repeat line brings two), -き/く (9-10).
SCENE = ["あ", "い", "", "う", "--2", "え", "お", "か", "-き", "く"]


class PreviewTest(harness.GameTestCase):
    def save(self, game, lines, how="rename"):
        """Writes scene 3 in code page 932 with CR LF, as the game reads it."""
        path = os.path.join(game.folder, "txt", "3.txt")
        data = "".join(line + "\r\n" for line in lines).encode("cp932")
        if how == "rename":
            with open(path + ".new", "wb") as f:
                f.write(data)
            os.replace(path + ".new", path)
        else:
            with open(path, "wb") as f:
                f.write(data)

    def wait_for_page(self, game, rows, what):
        harness.wait_for(what, lambda: game.label_text() == "\n".join(rows) and game.page_held(),
                         timeout=10, explain=lambda: repr(game.label_text()))

    def test_an_author_saves_the_scene_breaks_it_and_mends_it(self):
        game = self.game(OPENING)
        self.save(game, SCENE, how="in place")
        shutil.copy(harness.OPENING_PICTURE, os.path.join(game.folder, "img", "3.gif"))
        game.start(command=[game.program, "--preview", "3:7", game.folder])
        window = game.main_window()
        self.wait_for_page(game, ["え", "お", "か"], "the page that holds line 7")

        edited = list(SCENE)
        edited[6] = "お、書き直し"
        self.save(game, edited)
        self.wait_for_page(game, ["え", "お、書き直し", "か"], "the page saved by a rename")

        broken = list(edited)
        broken[4] = "--に"
        self.save(game, broken)
        harness.wait_for("the message in the label",
                         lambda: "Run-time error 13" in game.label_text(), timeout=10,
                         explain=lambda: repr(game.label_text()))
        message = game.label_text()
        self.assertIn(os.path.join(game.folder, "txt", "3.txt") + ":5", message)
        # A screen reader hears it as it hears a page that has come to rest.
        self.assertEqual(harness.announced(game.label()), message)
        self.assertEqual(game._window(dialog=True), None, "a message box came up")
        self.assertEqual(harness.window_name(window), "Pirokko")
        self.assertIn("Run-time error 13", game.stderr())

        self.save(game, edited)
        self.wait_for_page(game, ["え", "お、書き直し", "か"], "the page back after the fix")
        # Play goes on from there as the player's keys take it.
        harness.run("xdotool", "mousemove", "0", "0")
        harness.run("xdotool", "windowfocus", "--sync", window)
        harness.run("xdotool", "key", "space")
        self.wait_for_page(game, ["-き", "く"], "the next page after Space")
        game.alive()
        self.assertNotRegex(game.stderr(), r"Sanitizer|runtime error:")

    def test_a_script_saved_by_a_linux_editor_waits_for_the_fix(self):
        game = self.game(OPENING)
        self.save(game, SCENE, how="in place")
        shutil.copy(harness.OPENING_PICTURE, os.path.join(game.folder, "img", "3.gif"))
        game.start(command=[game.program, "--preview=3:7", game.folder])
        self.wait_for_page(game, ["え", "お", "か"], "the page that holds line 7")

        # As a Linux editor saves: UTF-8 with LF line ends, and the author
        # has written two lines more at the top.
        path = os.path.join(game.folder, "txt", "3.txt")
        with open(path + ".new", "wb") as f:
            f.write("".join(line + "\n" for line in ["まえがき", "その二"] + SCENE).encode())
        os.replace(path + ".new", path)
        harness.wait_for("the message in the label",
                         lambda: "pirokko-check --fix" in game.label_text(), timeout=10,
                         explain=lambda: repr(game.label_text()))
        message = game.label_text().replace("\n", "")
        self.assertIn("UTF-8", message)
        self.assertIn(path + ":1", message)

        check = os.path.join(os.path.dirname(harness.program_path()), "pirokko-check")
        fixed = subprocess.run([check, "--fix", game.folder], capture_output=True, text=True)
        self.assertEqual(fixed.returncode, 0, fixed.stdout + fixed.stderr)
        self.assertIn("txt/3.txt: converted: UTF-8 to code page 932, line ends LF to CR LF",
                      fixed.stdout)
        self.wait_for_page(game, ["え", "お", "か"], "the same page back after --fix")
        game.alive()


if __name__ == "__main__":
    harness.main()
