#!/usr/bin/python3
"""The game without a pointer: the shipped content played from the title back
to the title with real key presses alone, read through the accessibility
interface as a screen reader reads it; and the label pressed through that
interface, with a listener on the bus hearing every line as it arrives."""

import time

import harness
from playthrough_test import FOREST, MOON, STAR, ShippedGame

# The keys that advance the text, taken in turn so that each one plays.
ADVANCE_KEYS = ["space", "Return", "Next", "Down", "KP_Enter"]


def focused(node):
    import pyatspi
    return node.getState().contains(pyatspi.STATE_FOCUSED)


def pump_events():
    """Lets the accessibility library deliver the events it has received."""
    from gi.repository import GLib
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


class KeyboardTest(ShippedGame):
    def key(self, name):
        self.running.alive()
        harness.run("xdotool", "key", name)

    def focus_owner(self):
        owners = [n for n in [self.label] + list(self.boxes.values()) + list(self.buttons.values())
                  if focused(n)]
        return owners[0] if len(owners) == 1 else None

    def tab_to(self, node):
        """Tab until `node` has the focus; every stop on the way must be a
        control the player can see and use."""
        for _ in range(14):
            if focused(node):
                return
            owner = self.focus_owner()
            self.key("Tab")
            harness.wait_for("the focus to move on from %r" % (owner and owner.name),
                             lambda: self.focus_owner() not in (None, owner), timeout=5)
            owner = self.focus_owner()
            self.assertTrue(harness.showing(owner), "Tab stopped on hidden %r" % owner.name)
            if owner is not self.label:
                import pyatspi
                self.assertTrue(owner.getState().contains(pyatspi.STATE_ENABLED),
                                "Tab stopped on played button %r" % owner.name)
        self.fail("Tab never reached %r" % node.name)

    def key_through(self, scene, done):
        """Advances every held page with the next advancing key until
        `done()` holds."""
        def advance():
            self.assertTrue(focused(self.label), "the label lost the focus in scene %s" % scene)
            self.keys_used = getattr(self, "keys_used", 0) + 1
            self.key(ADVANCE_KEYS[self.keys_used % len(ADVANCE_KEYS)])
        self.advance_through(scene, done, advance, how="a key")

    def chooser_opens_on_the_first_box(self):
        harness.wait_for("the focus on the first box", lambda: focused(self.boxes[MOON]))
        # Keys still meant for the text must not tick it.
        before = self.ticked()
        self.key("space")
        self.key("Return")
        time.sleep(0.3)
        self.assertEqual(self.ticked(), before)
        # Back to the label: from there Tab comes to the first box again,
        # and its name says so, since Space does nothing there now.
        self.key("shift+Tab")
        harness.wait_for("the focus back on the label", lambda: focused(self.label))
        self.assertIn("Tab", self.label.name)

    def toggle(self, name, expect_ticked, expect_showing):
        self.tab_to(self.boxes[name])
        self.key("space")
        self.wait_for_chooser("after Space on %s" % name, expect_ticked, expect_showing)

    def choose(self, name):
        self.tab_to(self.buttons[name])
        self.key("Return")
        self.wait_for_first_page(name)
        self.assertFalse(self.enabled(name))
        harness.wait_for("the focus back on the label", lambda: focused(self.label))
        self.key_through(name, self.chooser_open)
        self.chooser_opens_on_the_first_box()

    def test_keys_alone_play_the_shipped_game_from_the_title_to_the_title(self):
        game = self.start_shipped_game()
        harness.run("xdotool", "mousemove", "0", "0")  # outside the centred window
        harness.run("xdotool", "windowfocus", "--sync", self.window)

        self.check_title()
        harness.wait_for("the focus on the label", lambda: focused(self.label))
        self.key_through("opn", self.chooser_open)
        self.chooser_opens_on_the_first_box()

        self.toggle(MOON, [MOON], [])
        self.toggle(STAR, [MOON, STAR], ["6", "1", "2"])
        for name in ("2", "6", "1"):
            self.choose(name)
        self.toggle(FOREST, [MOON, STAR, FOREST], ["4", "1", "0"])
        for name in ("4", "0"):
            self.choose(name)
        self.toggle(MOON, [STAR, FOREST], ["5", "3", "6"])
        for name in ("5", "3"):
            self.choose(name)
        self.toggle(STAR, [FOREST], ["7"])

        self.tab_to(self.buttons["7"])
        self.key("Return")
        self.wait_for_first_page("7")
        self.key_through("7", lambda: self.label_text().startswith(self.expected["opn"]))
        self.check_title()
        harness.wait_for("the focus on the label", lambda: focused(self.label))
        self.assertEqual(game.proc.poll(), None)

    def test_a_page_at_rest_before_the_window_is_active_is_heard_once_it_is(self):
        """The first page rests as the window shows, before the program's
        link to the reader is up and before the window is active: the
        reader hears it once, after the window has become active."""
        import pyatspi
        game = self.game(["はじめ", "-次のページ"])
        heard = []

        def listen(event):
            try:
                if event.source.get_process_id() != game.proc.pid:
                    return
                if event.type.startswith("window:activate"):
                    heard.append("window")
                elif event.detail1 and event.source.getRoleName() == "notification":
                    heard.append(event.source.name)
            except Exception:  # a node gone by the time it is read
                pass

        types = ["window:activate", "object:state-changed:showing"]
        pyatspi.Registry.registerEventListener(listen, *types)
        try:
            harness.run("xdotool", "mousemove", "0", "0")  # nothing takes the focus
            game.start()
            label = game.label()
            harness.wait_for("the first page", lambda: game.label_text() == "はじめ")
            pump_events()
            self.assertEqual(heard, [])
            harness.run("xdotool", "windowfocus", "--sync", game.main_window())
            harness.wait_for("the page announced", lambda: pump_events() or "はじめ" in heard,
                             explain=lambda: "heard %r" % heard)
            harness.wait_for("the focus on the label", lambda: focused(label))
            pump_events()
        finally:
            pyatspi.Registry.deregisterEventListener(listen, *types)
        self.assertEqual(heard, ["window", "はじめ"])

    def test_a_reader_presses_the_label_and_hears_every_line(self):
        import pyatspi
        lines = ["はじめ", "-一行目", "二行目", "三行目", "-次のページ", "五行目"]
        game = self.game(lines)
        heard = []

        def listen(event):
            try:
                if event.source.get_process_id() != game.proc.pid:
                    return
                if event.type.endswith("insert"):
                    heard.append(("inserted", event.any_data))
                elif event.detail1 and event.source.getRoleName() == "notification":
                    heard.append(("announced", event.source.name))
            except Exception:  # a node gone by the time it is read
                pass

        types = ["object:text-changed:insert", "object:state-changed:showing"]
        pyatspi.Registry.registerEventListener(listen, *types)
        try:
            game.start()
            frame = harness.wait_for("the window on the bus",
                                     lambda: game.accessible().getChildCount() and
                                     game.accessible()[0])
            self.assertEqual((frame.getRoleName(), frame.name), ("frame", "Pirokko"))
            label = game.label()
            action = label.queryAction()
            self.assertEqual([action.getName(i) for i in range(action.nActions)], ["Press"])

            def held(text):
                pump_events()
                return game.label_text() == text and harness.announced(label) == text

            # The first page shows as the program starts, perhaps before it
            # is on the bus; what follows is heard from then on.
            harness.wait_for("the first page", lambda: held("はじめ"))
            del heard[:]
            for page in ("-一行目\n二行目\n三行目", "-次のページ\n五行目"):
                action.doAction(0)
                harness.wait_for("the page %r" % page, lambda: held(page),
                                 explain=lambda: "heard %r" % heard)
        finally:
            pyatspi.Registry.deregisterEventListener(listen, *types)

        inserted = [data.strip("\n") for kind, data in heard if kind == "inserted"]
        self.assertEqual(inserted, lines[1:])
        pages = ["-一行目\n二行目\n三行目", "-次のページ\n五行目"]
        self.assertEqual([data for kind, data in heard if kind == "announced"], pages)
        # What the focus speaks is the label's name: words of its own, never
        # a page, which the announcement speaks.
        self.assertTrue(label.name)
        self.assertNotIn(label.name, pages + lines)


if __name__ == "__main__":
    harness.main()
