"""Quorvel reads another process's list box or combo box as the user types its handle."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

ARGS = None

# Kept apart from the target's own table so a slip on either side shows up.
ITEMS = ["alpha", "", "Z\u00fcrich", "\u65e5\u672c\u8a9e", "0123456789" * 200, "omega"]
COMBO_ITEMS = ["combo", *ITEMS]
BIG_ITEMS = [f"item {i:05d}" for i in range(10000)]

from harness import ID_CAPTURE, ID_FRAME1, ID_FRAME2, ID_TXTLIST, ID_TXTWND  # noqa: E402

# id: (parent id or None for the main client area, x, y, width, height, class, text) at 96 dpi
LAYOUT = {
    ID_FRAME1: (None, 8, 8, 385, 57, "Button", "Window Handle"),
    ID_FRAME2: (None, 8, 72, 385, 193, "Button", "List Items"),
    ID_TXTWND: (ID_FRAME1, 16, 24, 321, 21, "Edit", None),
    ID_TXTLIST: (ID_FRAME2, 16, 24, 353, 153, "Edit", None),
    ID_CAPTURE: (ID_FRAME1, 344, 24, 25, 17, "Button", "..."),
}

ES_MULTILINE, ES_READONLY, ES_NUMBER, WS_VSCROLL, BS_GROUPBOX = 0x4, 0x800, 0x2000, 0x200000, 0x7


def listing(items):
    """What txtList shows for these items: every non-empty one, each ending in CR LF."""
    return "".join(item + "\r\n" for item in items if item)


class ReadingTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = harness.WineSession(ARGS.build, ARGS.probe, "reading")
        try:
            cls.session.start()
            cls.handles = cls.session.start_list_target(ARGS.target)
            cls.session.find_window("Quorvel Demo Target")
            _, cls.main, cls.txt_wnd, cls.txt_list, cls.capture, cls.xid = cls.session.start_quorvel(ARGS.exe)
        except BaseException:
            cls.session.close()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    # --- input helpers -----------------------------------------------------------------------------

    def clear_handle_field(self):
        self.session.clear_field(self.xid, self.main, self.txt_wnd, "txtWnd")

    def enter_handle(self, text):
        self.clear_handle_field()
        self.session.type_text(text)

    def show_list(self, name, items, timeout=30):
        self.enter_handle(str(self.handles[name]))
        self.session.wait_text(self.txt_wnd, str(self.handles[name]), timeout=10)
        self.session.wait_text(self.txt_list, listing(items), timeout=timeout)

    # --- reading -----------------------------------------------------------------------------------

    def test_list_box_items(self):
        self.show_list("list", ITEMS)

    def test_combo_box_items(self):
        self.show_list("combo", COMBO_ITEMS)

    def test_ten_thousand_items(self):
        self.show_list("big", BIG_ITEMS, timeout=120)

    def test_new_handle_replaces_previous_items(self):
        self.show_list("combo", COMBO_ITEMS)
        self.show_list("list", ITEMS)

    def test_every_digit_typed_reads_the_handle_so_far(self):
        s = self.session
        self.show_list("combo", COMBO_ITEMS)
        # An empty field keeps the listing; the first digit names a window that is no list, and
        # that read clears it, so an empty txtList shows each keystroke ran a read of its own.
        self.clear_handle_field()
        s.wait_text(self.txt_list, listing(COMBO_ITEMS), timeout=10)
        digits = str(self.handles["list"])
        for n in range(1, len(digits)):
            s.type_text(digits[n - 1])
            s.wait_text(self.txt_wnd, digits[:n], timeout=10)
            s.wait_text(self.txt_list, "", timeout=10)
        s.type_text(digits[-1])
        s.wait_text(self.txt_list, listing(ITEMS))

    # --- the handle field --------------------------------------------------------------------------

    def test_refuses_letters_signs_and_a_tenth_digit(self):
        s = self.session
        self.enter_handle("12a-34567890")
        s.wait_text(self.txt_wnd, "123456789", timeout=10)
        # Keys are handled in order, so once the Delete shows, the '0' before it has been handled too.
        s.key("Home", "Delete")
        s.wait_text(self.txt_wnd, "23456789", timeout=10)

    def test_empty_field_becomes_zero_on_leaving(self):
        self.clear_handle_field()
        self.session.key("Tab")
        self.session.wait_text(self.txt_wnd, "0", timeout=10)

    def test_leading_zeros_dropped_on_leaving(self):
        self.enter_handle("007")
        self.session.wait_text(self.txt_wnd, "007", timeout=10)
        self.session.key("Tab")
        self.session.wait_text(self.txt_wnd, "7", timeout=10)

    def test_tab_order(self):
        s = self.session
        self.clear_handle_field()
        order = ((self.txt_list, "txtList"), (self.capture, "CmdCapture"), (self.txt_wnd, "txtWnd"))
        for expected, name in order:
            s.key("Tab")
            harness.wait_for(lambda: s.focused(self.main) == expected, 10, f"focus on {name} after Tab")

    # --- looks and resources -----------------------------------------------------------------------

    def test_client_size_and_control_layout(self):
        rects = self.session.rects(self.main)
        client = next(r for r in rects if r["kind"] == "client")
        self.assertEqual((client["w"], client["h"]), (403, 274))
        children = {r["id"]: r for r in rects if r["kind"] == "child"}
        for cid, (parent_id, x, y, w, h, cls, text) in LAYOUT.items():
            with self.subTest(id=cid):
                self.assertIn(cid, children)
                c = children[cid]
                parent = self.main if parent_id is None else children[parent_id]["hwnd"]
                self.assertEqual(c["parent"], parent)
                self.assertEqual((c["x"], c["y"], c["w"], c["h"]), (x, y, w, h))
                self.assertEqual(c["class"].lower(), cls.lower())
                self.assertTrue(c["visible"])
                if text is not None:
                    self.assertEqual(c["text"], text)
        for frame in (ID_FRAME1, ID_FRAME2):
            self.assertEqual(children[frame]["style"] & 0xF, BS_GROUPBOX)
        self.assertTrue(children[ID_TXTWND]["style"] & ES_NUMBER)
        list_style = children[ID_TXTLIST]["style"]
        wanted = ES_MULTILINE | ES_READONLY | WS_VSCROLL
        self.assertEqual(list_style & wanted, wanted)

    def test_window_has_an_icon(self):
        # Wine does not hand out another process's class icon, but it puts the window icon on the X window.
        sizes = self.session.x_icon_sizes(self.xid)
        self.assertTrue(sizes, "no _NET_WM_ICON on Quorvel's X window; probe says: "
                        + self.session.probe("icon", self.main, check=False).stdout.decode())

    def test_version_record_and_icon_resource(self):
        out = self.session.probe("version", harness.win_path(ARGS.exe)).decode("utf-8")
        info = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        self.assertEqual(info.get("FileVersion"), "1.00")
        self.assertEqual(info.get("ProductVersion"), "1.00")
        self.assertTrue(info.get("translation", "").startswith("0409"), out)
        self.assertGreaterEqual(int(info.get("icons", "0")), 1)

    def test_fonts_for_caption_buttons_and_cjk(self):
        # Wine draws the caption buttons with Marlett; without it they show as "0", "1" and "r".
        self.assertEqual(self.session.glyphs("Marlett", "012r"), ("Marlett", 0))
        # The edit controls fall back to SimSun for Han; with no CJK font behind it, Japanese shows as boxes.
        _, missing = self.session.glyphs("SimSun", "\u65e5\u672c\u8a9e")
        self.assertEqual(missing, 0)

    def test_screenshot_of_items(self):
        s = self.session
        self.show_list("list", ITEMS)
        path = s.screenshot(os.path.join(ARGS.build, "screenshot.png"), self.xid)
        _, _, w, h = s.screen_rect(self.main)
        self.assertEqual(harness.png_size(path), (w, h))
        harness.update_docs_picture(ARGS.docs, path, "screenshot.png")


if __name__ == "__main__":
    ARGS, argv = harness.parse_args("exe", "target", "probe", "build", optional=("docs",))
    unittest.main(argv=argv)
