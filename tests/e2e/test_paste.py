"""A real clipboard paste into txtWnd under Wine: what the field takes, what leaving it makes of the text,
and what txtList then shows.

Wine's edit control filters typed characters for ES_NUMBER but not pasted text, and cuts a paste to the
field's 9-character limit; leaving the field normalises whatever arrived.
"""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

ARGS = None

ITEMS = ["alpha", "bravo", "Gr\u00fc\u00dfe \u65e5\u672c \u20ac", "delta", "echo", "", "foxtrot"]
EM_GETSEL = 0xB0
WM_NULL = 0x0000
PREVIOUS = object()  # txtList keeps the items it showed before the paste
UNCHANGED = object()  # txtWnd keeps the handle it had before the paste

STATS = {"inputs": 0, "crashes": 0}


def listing(items):
    return "".join(item + "\r\n" for item in items if item)


# clipboard text (None: empty clipboard) -> (txtWnd after the paste, txtWnd after Tab, handle Quorvel reads
# or PREVIOUS when a value that is not positive leaves txtList alone)
CASES = [
    ("1e10", "1e10", "10000000000", None),
    ("-5", "-5", "-5", PREVIOUS),
    ("&HFF", "&HFF", "255", 255),
    ("0x1F", "0x1F", "31", 31),
    ("  42", "  42", "42", 42),
    ("abc", "abc", "0", PREVIOUS),
    ("9999999999", "999999999", "999999999", 999999999),
    ("1.5", "1.5", "1.5", 2),
    ("2.5", "2.5", "2.5", 2),
    (None, UNCHANGED, UNCHANGED, PREVIOUS),
]


class PasteTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = s = harness.WineSession(ARGS.build, ARGS.probe, "paste")
        try:
            s.start()
            cls.handles = s.start_list_target(ARGS.hostile)
            cls.quorvel, cls.main, cls.txt_wnd, cls.txt_list, _, cls.xid = s.start_quorvel(ARGS.exe)
        except BaseException:
            s.close()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    # --- helpers ----------------------------------------------------------------------------------------------

    def write_temp(self, text):
        fd, path = tempfile.mkstemp(suffix=".txt", dir=self.session.run_dir)
        with os.fdopen(fd, "wb") as f:
            f.write(text.encode("utf-8"))
        return path

    def set_clipboard(self, text):
        if text is None:
            self.session.probe("clipboard-empty")
            return
        path = self.write_temp(text)
        try:
            self.session.probe("clipboard-set", harness.win_path(path))
        finally:
            os.remove(path)

    def preload(self):
        """txtWnd names the well-behaved list and txtList shows its items."""
        s = self.session
        path = self.write_temp(str(self.handles["plain"]))
        try:
            s.probe("settext", self.txt_wnd, harness.win_path(path), 3000)
        finally:
            os.remove(path)
        s.wait_text(self.txt_list, listing(ITEMS), timeout=10)

    def selection(self):
        v = self.session.probe_int("send", self.txt_wnd, EM_GETSEL, 0, 0, 5000)
        return v & 0xFFFF, (v >> 16) & 0xFFFF

    def expected_list(self, handle):
        """What a read of handle shows: nothing, unless Wine happens to have a window there (it takes a small
        number for the low word of a handle), which may hold any kind of list Quorvel reads: None, unknown."""
        if handle is None:
            return ""
        if self.session.probe("send", handle, WM_NULL, 0, 0, 5000, check=False).returncode == 0:
            return None
        return ""

    def alive(self):
        return (self.quorvel.poll() is None
                and self.session.probe("ping", self.main, 3000, check=False).returncode == 0)

    # --- the cases --------------------------------------------------------------------------------------------

    def paste(self, clip, after_paste, after_tab, handle, paste_key):
        s = self.session
        STATS["inputs"] += 1
        self.preload()
        before = str(self.handles["plain"])
        self.set_clipboard(clip)
        s.focus_field(self.xid, self.main, self.txt_wnd, "txtWnd")
        s.key("End", "shift+Home")
        harness.wait_for(lambda: self.selection() == (0, len(before)), 10, "txtWnd selected")
        # Home after the paste: once the caret is at 0 the paste, and the read it caused, are over.
        s.key(paste_key, "Home")
        harness.wait_for(lambda: self.selection() == (0, 0), 10, "the paste to be handled")
        pasted = s.text(self.txt_wnd)
        listed = s.text(self.txt_list)
        # Tab away, then back: once the focus is back, leaving the field (and its read) is over too.
        s.key("Tab")
        harness.wait_for(lambda: s.focused(self.main) == self.txt_list, 10, "focus on txtList")
        s.key("shift+Tab")
        harness.wait_for(lambda: s.focused(self.main) == self.txt_wnd, 10, "focus back in txtWnd")
        if not self.alive():
            STATS["crashes"] += 1
            self.fail("Quorvel is gone or stopped answering")
        previous = listing(ITEMS)
        want_list = previous if handle is PREVIOUS else self.expected_list(handle)
        self.assertEqual(pasted, before if after_paste is UNCHANGED else after_paste)
        self.assertEqual(s.text(self.txt_wnd), before if after_tab is UNCHANGED else after_tab)
        if want_list is not None:
            self.assertEqual(listed, want_list)
            self.assertEqual(s.text(self.txt_list), want_list)


def _make_case(clip, after_paste, after_tab, handle, paste_key):
    def test(self):
        self.paste(clip, after_paste, after_tab, handle, paste_key)

    return test


for _n, (_clip, _pasted, _left, _handle) in enumerate(CASES):
    _name = "empty_clipboard" if _clip is None else "".join(c if c.isalnum() else "_" for c in _clip.strip())
    # Both paste keys of the edit control: every third case uses shift+Insert.
    _key = "shift+Insert" if _n % 3 == 2 else "ctrl+v"
    setattr(PasteTest, f"test_paste_{_n:02d}_{_name}", _make_case(_clip, _pasted, _left, _handle, _key))


if __name__ == "__main__":
    ARGS, argv = harness.parse_args("exe", "hostile", "probe", "build")
    harness.main_with_figures(ARGS, argv, "paste", STATS)
