#!/usr/bin/python3
"""A game folder named on the command line, as a player with the package
installed plays someone else's scenes: the installed launcher, started from
another working folder with a relative folder, plays that folder's opening.
A folder it cannot play is named in a box and on stderr."""

import os
import shutil
import subprocess
import sys
import tempfile

import harness

OPENING = ["夜の森の　はずれ。", "ここは　よるの　ゲーム。"]


class FolderTest(harness.GameTestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = tempfile.mkdtemp(prefix="pirokko e2e prefix ")
        subprocess.run(["cmake", "--install", os.environ["PIROKKO_E2E_BUILD_DIR"], "--prefix",
                        cls.prefix], check=True, stdout=subprocess.DEVNULL)
        cls.launcher = os.path.join(cls.prefix, "bin", "pirokko")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.prefix, ignore_errors=True)

    def test_the_installed_launcher_plays_a_folder_named_relative_to_the_working_folder(self):
        game = self.game(OPENING)
        os.remove(game.program)  # nothing of a program's folder is in it
        parent, name = os.path.split(game.folder)
        game.start(command=[self.launcher, name], cwd=parent)
        game.main_window()
        harness.wait_for("the folder's opening",
                         lambda: game.label_text() == "\n".join(OPENING) and game.page_held(),
                         timeout=10, explain=lambda: repr(game.label_text()))

    def test_a_folder_that_is_a_file_is_named_in_a_box(self):
        game = self.game(OPENING)
        game.start(command=[self.launcher, game.script_path])
        self.fails_with_message(game, "not a folder")
        self.assertIn(game.script_path, game.stderr())


if __name__ == "__main__":
    harness.main()
