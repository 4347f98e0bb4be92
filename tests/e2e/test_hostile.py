"""Quorvel survives list controls of other processes that lie, hang or die while it reads them.

Every step is bounded: Quorvel gives each message 2 s, so it must have finished a step, and answer again,
within 3 s of it. A step is either real keystrokes or a WM_SETTEXT from the probe, which returns only once
Quorvel has handled the change and the read it caused.
"""

import os
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

ARGS = None

# Kept apart from the target's own table so a slip on either side shows up.
ITEMS = ["alpha", "bravo", "Gr\u00fc\u00dfe \u65e5\u672c \u20ac", "delta", "echo", "", "foxtrot"]
HANG_INDEX = 3
EXIT_INDEX = 4
GROWN_LENGTH = 4000

LB_GETTEXT, LB_GETTEXTLEN, LB_GETCOUNT = 0x189, 0x18A, 0x18B
CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT = 0x146, 0x149, 0x148
EM_GETSEL = 0xB0
WM_APP = 0x8000
QUERY_COUNT, RESET_COUNTS = WM_APP + 1, WM_APP + 2

# Quorvel's own per-message wait, and the slack the probe and Wine add around a step.
MESSAGE_TIMEOUT_S = 2.0
STEP_DEADLINE_MS = int((MESSAGE_TIMEOUT_S + 1) * 1000)

STATS = {"behaviours": 0, "crashes": 0, "lost_items": 0}


def listing(items):
    """What txtList shows for these items: every non-empty one, each ending in CR LF."""
    return "".join(item + "\r\n" for item in items if item)


def understated(item):
    # Wine sizes the reply of a cross-process LB_GETTEXT from its own LB_GETTEXTLEN query, and copies back
    # that many characters plus one, whatever the target wrote or answered.
    return item[: len(item) // 2 + 1] if item else ""


class QuorvelSession:
    """Quorvel and the hostile target in one Wine session, with the steps the tests take."""

    def __init__(self, name, *target_args):
        self.s = harness.WineSession(ARGS.build, ARGS.probe, name)
        try:
            self.s.start()
            self.handles = self.s.start_list_target(ARGS.hostile, *target_args)
            self.quorvel, self.main, self.txt_wnd, self.txt_list, _, self.xid = self.s.start_quorvel(ARGS.exe)
        except BaseException:
            self.s.close()
            raise

    def close(self):
        self.s.close()

    # --- state ------------------------------------------------------------------------------------------------

    def alive(self):
        """Quorvel's process runs and its window answers WM_GETTEXT within the step deadline."""
        if self.quorvel.poll() is not None:
            return False
        r = self.s.probe("ping", self.main, STEP_DEADLINE_MS, check=False)
        return r.returncode == 0

    def list_text(self):
        return self.s.text(self.txt_list)

    def count(self, hwnd, message):
        return self.s.probe_int("send", hwnd, QUERY_COUNT, message, 0, 5000)

    def reset_counts(self, hwnd):
        self.s.probe("send", hwnd, RESET_COUNTS, 0, 0, 5000)

    # --- steps ------------------------------------------------------------------------------------------------

    def set_handle(self, text):
        """WM_SETTEXT on txtWnd; returns once Quorvel has read what it names, failing after the step deadline."""
        fd, path = tempfile.mkstemp(suffix=".txt", dir=self.s.run_dir)
        with os.fdopen(fd, "wb") as f:
            f.write(str(text).encode("utf-8"))
        try:
            r = self.s.probe("settext", self.txt_wnd, harness.win_path(path), STEP_DEADLINE_MS, check=False)
        finally:
            os.remove(path)
        if r.returncode != 0:
            raise AssertionError(f"Quorvel did not finish the change to {text!r} within {STEP_DEADLINE_MS} ms: "
                                 + r.stdout.decode(errors="replace"))

    def type_handle(self, text):
        """Real keystrokes: clear txtWnd, type text, then wait until a later key shows all before it are handled."""
        s = self.s
        s.clear_field(self.xid, self.main, self.txt_wnd, "txtWnd")
        s.type_text(text)
        s.wait_text(self.txt_wnd, text, timeout=10)
        # Keys are handled in order, and the last digit's read runs inside its key: once shift+Home has
        # selected the field, that read is over. It must be over within the step deadline.
        started = time.monotonic()
        s.key("shift+Home")
        whole = len(text) << 16
        harness.wait_for(lambda: s.probe_int("send", self.txt_wnd, EM_GETSEL, 0, 0, 5000) == whole,
                         MESSAGE_TIMEOUT_S + 1 + 5, "the keys after the handle to be handled")
        return time.monotonic() - started

    def preload(self):
        """Fills txtList from a well-behaved list, so that a case that reads nothing is seen to clear it."""
        self.set_handle(self.handles["plain"])
        self.s.wait_text(self.txt_list, listing(ITEMS), timeout=10)


class HostileTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.q = QuorvelSession("hostile")
        cls.h = cls.q.handles

    @classmethod
    def tearDownClass(cls):
        cls.q.close()

    def setUp(self):
        STATS["behaviours"] += 1

    def tearDown(self):
        # Every case ends with Quorvel still there and answering.
        if not self.q.alive():
            STATS["crashes"] += 1
            self.fail("Quorvel is gone or stopped answering")

    def expect_list(self, items_expected):
        text = self.q.list_text()
        lost = [i for i in items_expected if i and (i + "\r\n") not in text]
        STATS["lost_items"] += len(lost)
        self.assertEqual(text, listing(items_expected))

    def read_nothing(self, name, typed=False, counted=True):
        q = self.q
        q.preload()
        if counted:
            q.reset_counts(self.h[name])
        if typed:
            q.type_handle(str(self.h[name]))
        else:
            q.set_handle(self.h[name])
        self.assertTrue(q.alive())
        self.expect_list([])

    # --- counts that lie --------------------------------------------------------------------------------------

    def test_count_minus_one_reads_nothing(self):
        self.read_nothing("count_minus_one")
        hwnd = self.h["count_minus_one"]
        self.assertEqual(self.q.count(hwnd, LB_GETTEXTLEN), 0)
        self.assertEqual(self.q.count(hwnd, CB_GETCOUNT), 0, "a count of -1 is not 0: no combo box fallback")

    def test_count_int_min_reads_nothing(self):
        self.read_nothing("count_int_min")
        self.assertEqual(self.q.count(self.h["count_int_min"], LB_GETTEXTLEN), 0)

    def test_count_int_max_ends_after_one_message(self):
        hwnd = self.h["count_int_max"]
        self.read_nothing("count_int_max")
        # Ending at the first LB_ERR length: one query, no text fetch, not two billion.
        self.assertEqual(self.q.count(hwnd, LB_GETCOUNT), 1)
        self.assertEqual(self.q.count(hwnd, LB_GETTEXTLEN), 1)
        self.assertEqual(self.q.count(hwnd, LB_GETTEXT), 0)

    def test_count_int_max_typed(self):
        q = self.q
        hwnd = self.h["count_int_max"]
        q.preload()
        q.reset_counts(hwnd)
        took = q.type_handle(str(hwnd))
        self.assertLess(took, MESSAGE_TIMEOUT_S + 1, "the read of an INT_MAX count did not end quickly")
        self.expect_list([])
        self.assertEqual(q.count(hwnd, LB_GETTEXTLEN), 1)

    # --- lengths that lie -------------------------------------------------------------------------------------

    def test_understated_length_cuts_no_item_short(self):
        q = self.q
        hwnd = self.h["understate"]
        # What Wine hands back for "alpha" (length answered: 2) into a 1-character buffer: 3 characters and
        # no terminator, although the target wrote and answered 5.
        out = q.s.probe("guarded-text", hwnd, LB_GETTEXT, 0, 1).decode("utf-8")
        self.assertIn("answer=5 written=3 nul_at=-1", out)
        q.set_handle(hwnd)
        # An item the system cut short is a failed fetch: it is left out rather than shown truncated.
        self.expect_list([i for i in ITEMS if understated(i) == i])

    def test_overstated_length_reads_every_item(self):
        self.q.set_handle(self.h["overstate"])
        self.expect_list(ITEMS)

    # --- not a list, or no items ------------------------------------------------------------------------------

    def test_empty_list_falls_back_to_combo_count_and_reads_nothing(self):
        self.read_nothing("empty")
        hwnd = self.h["empty"]
        self.assertEqual(self.q.count(hwnd, LB_GETCOUNT), 1)
        self.assertEqual(self.q.count(hwnd, CB_GETCOUNT), 1)
        self.assertEqual(self.q.count(hwnd, LB_GETTEXTLEN) + self.q.count(hwnd, CB_GETLBTEXTLEN), 0)

    def test_static_reads_nothing(self):
        self.read_nothing("static", typed=True)
        self.assertEqual(self.q.count(self.h["static"], CB_GETCOUNT), 1)

    def test_button_reads_nothing(self):
        self.read_nothing("button")
        self.assertEqual(self.q.count(self.h["button"], CB_GETLBTEXT), 0)

    def test_destroyed_window_reads_nothing(self):
        self.read_nothing("destroyed", typed=True, counted=False)

    # --- hangs ------------------------------------------------------------------------------------------------

    def test_hang_before_read_gives_up_and_reads_nothing(self):
        # The target sleeps 8 s inside LB_GETCOUNT; set_handle fails unless Quorvel is done within 3 s.
        self.q.preload()
        self.q.set_handle(self.h["hang_count"])
        self.assertTrue(self.q.alive())
        self.expect_list([])

    def test_hang_during_read_keeps_the_items_before(self):
        self.q.preload()
        self.q.set_handle(self.h["hang_text"])
        self.assertTrue(self.q.alive())
        self.expect_list(ITEMS[:HANG_INDEX])

    # --- a target that dies -----------------------------------------------------------------------------------

    def test_target_exiting_mid_read_keeps_the_items_before(self):
        q = self.q
        handles = q.s.start_list_target(ARGS.hostile, "--exit-at", EXIT_INDEX)
        target = q.s.procs[-1]
        q.preload()
        took = q.type_handle(str(handles["exit"]))
        self.assertLess(took, MESSAGE_TIMEOUT_S + 1)
        harness.wait_for(lambda: target.poll() is not None, 30, "the target to exit")
        self.assertEqual(target.returncode, 3, "the target should have ended inside LB_GETTEXT")
        self.expect_list(ITEMS[:EXIT_INDEX])


class GrowingTextTest(unittest.TestCase):
    """An item whose length grows between Quorvel's length query and the one Wine makes for LB_GETTEXT.

    Wine copies the reply into the caller's buffer by its own query's size, so Quorvel fetches into a large
    region of its own where such a reply lands harmlessly; kept in a session of its own in case it does not.
    """

    @classmethod
    def setUpClass(cls):
        cls.q = QuorvelSession("growing", "--grow")

    @classmethod
    def tearDownClass(cls):
        cls.q.close()

    def test_growing_text_is_a_failed_fetch(self):
        STATS["behaviours"] += 1
        q = self.q
        hwnd = q.handles["grow"]
        # Shown on the probe first: a caller's 262-character buffer gets the whole 4,001-character reply.
        q.s.probe("send", hwnd, LB_GETTEXTLEN, 6, 0, 5000)
        out = q.s.probe("guarded-text", hwnd, LB_GETTEXT, 6, 262).decode("utf-8")
        self.assertIn(f"answer={GROWN_LENGTH} written={GROWN_LENGTH + 1} nul_at={GROWN_LENGTH}", out)
        try:
            q.set_handle(hwnd)
        except AssertionError:
            pass  # reported below, with whether Quorvel is still there
        if not q.alive():
            STATS["crashes"] += 1
            self.fail("Quorvel crashed or stopped answering after reading a list whose text grew")
        # Every item but the last (already fetched by the probe above) grew past Quorvel's buffer: each
        # such fetch fails and adds nothing; the last one now answers its grown length up front.
        grown = "".join(chr(ord("a") + i % 26) for i in range(GROWN_LENGTH))
        self.assertEqual(q.list_text(), listing([grown]))
        # Read again, now that every item answers its grown length first: all of them, and Quorvel's heap,
        # written past by the first read, still carries it through.
        q.set_handle("0")
        q.set_handle(hwnd)
        self.assertTrue(q.alive(), "Quorvel did not survive a second read after the overrun")
        self.assertEqual(q.list_text(), listing([grown] * len(ITEMS)))


if __name__ == "__main__":
    ARGS, argv = harness.parse_args("exe", "hostile", "probe", "build")
    harness.main_with_figures(ARGS, argv, "hostile", STATS)
