"""Point and press F12: the inverted frame follows the real pointer and F12 captures the window under it.

Painting on another process's window shows nothing under Wine, so the frame's pixels are checked on
Quorvel's own fields, which tracking does not exclude; capture is checked on the foreign target.
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import pixels  # noqa: E402

ARGS = None
from harness import ID_TXTWND  # noqa: E402
WS_DISABLED = 0x08000000
ITEMS = ["alpha", "Z\u00fcrich", "\u65e5\u672c\u8a9e", "0123456789" * 200, "omega"]
COMBO_ITEMS = ["combo", *ITEMS]


def listing(items):
    return "".join(item + "\r\n" for item in items)


class PickingTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = harness.WineSession(ARGS.build, ARGS.probe, "picking")
        try:
            s = cls.session.start()
            cls.handles = s.start_list_target(ARGS.target)
            s.find_window("Quorvel Demo Target")
            _, cls.main, cls.txt_wnd, cls.txt_list, cls.capture, cls.xid = s.start_quorvel(ARGS.exe)
        except BaseException:
            cls.session.close()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    # --- helpers -------------------------------------------------------------------------------------------------

    def tracking(self):
        """Tracking is on exactly while the handle field is disabled."""
        style = next(r["style"] for r in self.session.rects(self.main) if r.get("id") == ID_TXTWND)
        return bool(style & WS_DISABLED)

    def set_tracking(self, on):
        s = self.session
        if self.tracking() != on:
            s.focus(self.xid)
            s.click_window(self.capture)
            harness.wait_for(lambda: self.tracking() == on, 10, f"tracking {'on' if on else 'off'}")

    def move_to(self, hwnd):
        x, y, w, h = self.session.screen_rect(hwnd)
        # Wine skips a pointer move to the position it has cached, so step beside it first.
        self.session.xdotool("mousemove", "--sync", x + w // 2 + 1, y + h // 2 + 1)
        self.session.xdotool("mousemove", "--sync", x + w // 2, y + h // 2)

    def move_off_quorvel(self):
        """Over the target's own window: its frame, painted from another process, shows nothing. (The bare
        root would not do: Wine paints the desktop window's frame around the whole screen.)"""
        x, y, w, h = self.session.screen_rect(self.handles["main"])
        qx, qy, qw, qh = self.session.screen_rect(self.main)
        px, py = x + w - 8, y + h - 8
        self.assertFalse(self.inside((qx, qy, qw, qh), (px, py)), "the target window lies under Quorvel")
        self.session.xdotool("mousemove", "--sync", px - 1, py - 1)
        self.session.xdotool("mousemove", "--sync", px, py)

    def grab_main(self):
        """Quorvel's window on the screen, with the "..." button blanked out: it repaints itself when the
        pointer leaves it after the click, which may wipe or restore a frame at any later moment."""
        x, y, w, h = self.session.screen_rect(self.main)
        shot = pixels.grab(self.session.env(), x, y, w, h)
        shot.blank(self.session.screen_rect(self.capture))
        return shot

    def wait_for_shot(self, cond, what, timeout=10):
        """Screenshots until cond(shot) holds; returns that shot."""
        return harness.wait_for(lambda: (lambda shot: shot if cond(shot) else None)(self.grab_main()), timeout, what,
                                interval=0.1)

    def wait_until_still(self, timeout=10):
        """A screenshot once two taken more than a tick apart agree: the frame has left Quorvel's windows."""
        shots = [self.grab_main()]

        def still():
            shots.append(self.grab_main())
            return shots[-1] if shots[-1].data == shots[-2].data else None

        return harness.wait_for(still, timeout, "the screen to stop changing", interval=0.45)

    def in_band(self, rect, point):
        """Inside rect and less than the pen's width from its edge."""
        x, y, w, h = rect
        px, py = point
        return self.inside(rect, point) and min(px - x, py - y, x + w - 1 - px, y + h - 1 - py) < 6

    def inside(self, rect, point):
        x, y, w, h = rect
        return x <= point[0] < x + w and y <= point[1] < y + h

    def capture_with_f12(self, hwnd, expected_text):
        s = self.session
        self.set_tracking(True)
        self.move_to(hwnd)
        harness.press_f12_until(s, self.xid, self.txt_wnd, str(hwnd))
        s.wait_text(self.txt_list, expected_text, timeout=30)
        self.assertFalse(self.tracking())

    # --- the frame on the screen ---------------------------------------------------------------------------------

    def test_frame_inverts_a_band_inside_the_field_and_moves_on(self):
        s = self.session
        self.set_tracking(True)
        try:
            self.move_off_quorvel()
            before = self.wait_until_still()
            list_rect = s.screen_rect(self.txt_list)
            self.move_to(self.txt_list)
            framed = self.wait_for_shot(lambda shot: pixels.changes(before, shot), "the frame on txtList")
            diff = pixels.changes(before, framed)
            outside = [p for p in diff if not self.inside(list_rect, p)]
            self.assertFalse(outside, f"{len(outside)} pixels changed outside txtList {list_rect}, e.g. {outside[:5]}")
            self.assertTrue(all(pixels.is_inversion(o, n) for o, n in diff.values()), "changed pixels not inverted")
            # A band along the inside of the edge: the corners change, the middle does not.
            x, y, w, h = list_rect
            self.assertIn((x, y), diff)
            self.assertIn((x + w - 1, y + h - 1), diff)
            self.assertNotIn((x + w // 2, y + h // 2), diff)
            self.assertTrue(all(self.in_band(list_rect, p) for p in diff))
            if ARGS.docs and os.environ.get("QUORVEL_UPDATE_SCREENSHOT") == "1":
                shot = s.screenshot(os.path.join(ARGS.build, "tracking.png"), self.xid)
                harness.update_docs_picture(ARGS.docs, shot, "screenshot.png")

            # The handle field is disabled while tracking and WindowFromPoint passes over disabled windows
            # (and over group boxes), so pointing at it frames the main window itself. (The button would
            # not do: it repaints itself when the pointer enters it, wiping the frame at once.)
            self.move_to(self.txt_wnd)
            main_rect = s.screen_rect(self.main)
            moved = self.wait_for_shot(
                lambda shot: any(not self.inside(list_rect, p) for p in pixels.changes(before, shot)),
                "the frame on the main window")
            diff = pixels.changes(before, moved)
            self.assertFalse([p for p in diff if self.inside(list_rect, p)], "txtList not restored exactly")
            self.assertTrue(all(pixels.is_inversion(o, n) for o, n in diff.values()))
            self.assertTrue(all(self.in_band(main_rect, p) for p in diff), "changes beyond the main window's edge")
            self.assertIn(main_rect[:2], diff)
        finally:
            self.set_tracking(False)

    # --- capture -------------------------------------------------------------------------------------------------

    def test_f12_captures_the_list_box(self):
        self.capture_with_f12(self.handles["list"], listing(ITEMS))

    def test_f12_captures_the_combo_box(self):
        self.capture_with_f12(self.handles["combo"], listing(COMBO_ITEMS))

    def test_f12_reads_the_drawn_list_under_the_point(self):
        # The middle of the drawn panel lies in its second list; a handle typed reads the first.
        s = self.session
        s.xdotool("windowraise", s.find_x_window("^Quorvel Demo Drawn$"))
        try:
            self.capture_with_f12(self.handles["drawn_panel"], listing(["red", "green"]))
            self.assertEqual(s.read_outcome(self.main), "List Items (2 in Colors, list 2 of 2)")
        finally:
            s.xdotool("windowraise", s.find_x_window("^Quorvel Demo Target$"))

    def test_click_during_tracking_stops_it(self):
        self.set_tracking(True)
        self.move_to(self.handles["list"])
        self.set_tracking(False)
        # No capture afterwards: F12 with tracking off leaves the field as it was.
        before = self.session.text(self.txt_wnd)
        self.session.focus(self.xid)
        self.session.key("F12")
        self.assertEqual(self.session.text(self.txt_wnd), before)


if __name__ == "__main__":
    ARGS, argv = harness.parse_args("exe", "target", "probe", "build", optional=("docs",))
    unittest.main(argv=argv)
