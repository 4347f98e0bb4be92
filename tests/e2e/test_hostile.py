"""Quorvel survives list controls of other processes that lie, hang or die while it reads them (lists that only
accessibility tells among them), and tells how each read ended in the caption of its "List Items" frame.

Every step is bounded: a read runs off the window's thread, so the window answers at once, and Quorvel gives
each message 2 s, so a read must have ended within a few seconds of the change that started it. A step is
either real keystrokes or a WM_SETTEXT from the probe, which returns once Quorvel has handled the change;
the step then waits for the frame to say how the read ended.
"""

import json
import os
from collections import Counter, namedtuple
import re
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

ARGS = None

# Kept apart from the target's own table so a slip on either side shows up.
ITEMS = ["alpha", "bravo", "Gr\u00fc\u00dfe \u65e5\u672c \u20ac", "delta", "echo", "", "foxtrot"]
HANG_INDEX = 3
EXIT_INDEX = 4
ACC_ITEMS = ["one", "two", "three"]
GROWN_LENGTH = 4000
NONSENSE_SHOWN = ["one", "three", "five"]
# How long the hanging accessible object's program sleeps in a question.
HANG_S = 8

LB_GETTEXT, LB_GETTEXTLEN, LB_GETCOUNT = 0x189, 0x18A, 0x18B
CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT = 0x146, 0x149, 0x148
EM_GETSEL, EM_SETSEL = 0xB0, 0xB1
WM_KEYDOWN, VK_ESCAPE = 0x100, 0x1B
WM_APP = 0x8000
QUERY_COUNT, RESET_COUNTS = WM_APP + 1, WM_APP + 2

# Quorvel's own per-message wait, and the slack the probe and Wine add around a step.
MESSAGE_TIMEOUT_S = 2.0
STEP_DEADLINE_MS = int((MESSAGE_TIMEOUT_S + 1) * 1000)

STATS = {"behaviours": 0, "view_behaviours": 0, "crashes": 0, "lost_items": 0, "leaked_bytes": 0}

# The hostile views' rows and tree, kept apart from the target's own tables.
VIEW_ROWS = [["r0", "Z\u00fcrich", "a"], ["r1", "\u65e5\u672c\u8a9e", "b"], ["r2", "", "c"], ["r3", "x", "d"],
             ["r4", "y", "e"]]
TREE = [(0, "A"), (1, "A1"), (2, "A1a"), (2, "A1b"), (1, "A2"), (0, "B"), (1, "B1")]
HANG_ROW = 3
HANG_TREE_ITEM = 3  # A1b
EXIT_VIEW_ROW = 150
SLOW_ITEMS = [f"slow {100 + i}" for i in range(60)]
SLOW_ROWS = VIEW_ROWS + [[f"r{i}", f"v{i}", "z"] for i in range(5, 40)]

LVM_GETITEMTEXTW, TVM_GETITEMW = 0x1073, 0x113E
# The hostile tab controls' tabs and status bars' parts, kept apart from the target's own table; the third part is
# the one whose length a status bar understates.
BAR_TABS = ["one", "Z\u00fcrich", "three"]
BAR_PARTS = ["Ready", "x" * 1000, "y" * 600, "end"]
TCM_GETITEMW, SB_GETTEXTLENGTHW = 0x133C, 0x40C
QUERY_COMMITTED_KIB, QUERY_HANDLE_COUNT, SET_OVERTAKE, QUERY_DISTINCT_ITEMS, DRIVE_READS, QUERY_THREAD_COUNT = (
    WM_APP + 3, WM_APP + 4, WM_APP + 5, WM_APP + 6, WM_APP + 7, WM_APP + 8)
DRIVEN_READS = 1000
# The target's own heap grows now and then by 64 KiB; a block Quorvel left behind would be at least its
# batch block, over 256 KiB.
NOISE_KIB = 256
# Objects Wine may make in Quorvel once, on a loaded machine, and the kinds a read opens itself.
ONE_TIME_HANDLES = 2
READ_HANDLE_KINDS = ("Process", "Thread")
Footprint = namedtuple("Footprint", "committed handles threads")


def listing(items):
    """What txtList shows for these items: every non-empty one, each ending in CR LF."""
    return "".join(item + "\r\n" for item in items if item)


def rows_listing(rows):
    """What txtList shows for report rows: cells joined by TAB, all-empty rows left out."""
    return "".join("\t".join(row) + "\r\n" for row in rows if any(row))


def slow_accessible_names():
    """The hostile target's slow accessible list, kept apart from its own table: 300 names of 250 characters."""
    names = []
    for i in range(300):
        name = f"slow {chr(ord('a') + i % 26)}"
        names.append(name + str(i % 10) * (250 - len(name)))
    return names


def tree_listing(items):
    return "".join("\t" * depth + text + "\r\n" for depth, text in items)


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

    def set_handle(self, text, wait=True):
        """WM_SETTEXT on txtWnd, which Quorvel must handle within the step deadline; then, unless told not to
        wait, waits for the read it started to end and returns the frame's caption."""
        r = self.s.set_text(self.txt_wnd, text, STEP_DEADLINE_MS)
        if r.returncode != 0:
            raise AssertionError(f"Quorvel did not handle the change to {text!r} within {STEP_DEADLINE_MS} ms: "
                                 f"probe exit {r.returncode}: {r.stdout!r} {r.stderr!r}")
        return self.outcome() if wait else None

    def outcome(self):
        """The frame's caption once the read has ended; a read's every message is bounded, so it ends soon."""
        return self.s.read_outcome(self.main, timeout=MESSAGE_TIMEOUT_S + 10)

    def wait_reading(self, at_least):
        """Waits until the frame says a read is under way with at least that many items read."""
        frame = self.s.child(self.main, harness.ID_FRAME2)

        def count():
            m = re.fullmatch(r"List Items \((?:reading)?\u2026 ([\d,]+)\)", self.s.text(frame))
            return m and int(m.group(1).replace(",", "")) >= at_least

        harness.wait_for(count, 30, f"a read with {at_least} items so far")

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
        took = time.monotonic() - started
        self.outcome()
        return took

    def preload(self):
        """Fills txtList from a well-behaved list, so that a case that reads nothing is seen to clear it."""
        self.set_handle(self.handles["plain"])
        self.s.wait_text(self.txt_list, listing(ITEMS), timeout=10)


class HostileCase(unittest.TestCase):
    """One Quorvel and hostile target per class; every case ends with Quorvel still there and answering."""

    SESSION = "hostile"

    @classmethod
    def setUpClass(cls):
        cls.q = QuorvelSession(cls.SESSION)
        cls.h = cls.q.handles

    @classmethod
    def tearDownClass(cls):
        cls.q.close()

    def setUp(self):
        STATS["behaviours"] += 1

    def tearDown(self):
        if not self.q.alive():
            STATS["crashes"] += 1
            self.fail("Quorvel is gone or stopped answering")


class HostileTest(HostileCase):

    def expect_list(self, items_expected):
        text = self.q.list_text()
        lost = [i for i in items_expected if i and (i + "\r\n") not in text]
        STATS["lost_items"] += len(lost)
        self.assertEqual(text, listing(items_expected))

    def read_nothing(self, name, typed=False, counted=True, caption=None):
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
        if caption:
            self.assertEqual(q.outcome(), caption)

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
        # An item the system cut short is unreadable: left out rather than shown truncated, and counted.
        whole = [i for i in ITEMS if understated(i) == i]
        self.assertEqual(q.set_handle(hwnd), f"List Items ({len(whole)}; {len(ITEMS) - len(whole)} unreadable)")
        self.expect_list(whole)

    def test_overstated_length_reads_every_item(self):
        self.q.set_handle(self.h["overstate"])
        self.expect_list(ITEMS)

    def test_nonsense_answers_are_counted_as_unreadable(self):
        # Item 1's length answers -7, item 3's text LB_ERR after a good length: neither is dropped silently.
        q, hwnd = self.q, self.h["nonsense"]
        self.assertEqual(q.set_handle(hwnd), "List Items (3; 2 unreadable)")
        self.expect_list(NONSENSE_SHOWN)
        r = q.s.run(ARGS.com, "--read", hwnd, "--format", "json", timeout=60)
        self.assertEqual(r.returncode, 3)
        self.assertEqual(r.stderr.decode("utf-8"), "quorvel: 2 of 5 items could not be read\r\n")
        listing = json.loads(r.stdout.decode("utf-8"))
        self.assertEqual((listing["complete"], listing["unreadable"], "stopped" in listing), (False, 2, False))
        self.assertEqual(listing["items"], ["one", None, "three", None, "five"])

    # --- not a list, or no items ------------------------------------------------------------------------------

    def test_empty_list_falls_back_to_combo_count_and_reads_nothing(self):
        self.read_nothing("empty", caption="List Items (none: empty list)")
        hwnd = self.h["empty"]
        self.assertEqual(self.q.count(hwnd, LB_GETCOUNT), 1)
        self.assertEqual(self.q.count(hwnd, CB_GETCOUNT), 1)
        self.assertEqual(self.q.count(hwnd, LB_GETTEXTLEN) + self.q.count(hwnd, CB_GETLBTEXTLEN), 0)

    def test_static_reads_nothing(self):
        self.read_nothing("static", typed=True, caption="List Items (nothing to read in a Static)")
        self.assertEqual(self.q.count(self.h["static"], CB_GETCOUNT), 1)

    def test_button_reads_nothing(self):
        self.read_nothing("button", caption="List Items (nothing to read in a Button)")
        self.assertEqual(self.q.count(self.h["button"], CB_GETLBTEXT), 0)

    def test_destroyed_window_reads_nothing(self):
        self.read_nothing("destroyed", typed=True, counted=False,
                          caption=f"List Items (no window {self.h['destroyed']})")

    # --- hangs ------------------------------------------------------------------------------------------------

    def test_hang_before_read_gives_up_and_reads_nothing(self):
        # The target sleeps 8 s inside LB_GETCOUNT; set_handle fails unless Quorvel is done within 3 s.
        self.q.preload()
        self.assertEqual(self.q.set_handle(self.h["hang_count"]), "List Items (stopped after 0: not answering)")
        self.assertTrue(self.q.alive())
        self.expect_list([])

    def test_hang_during_read_keeps_the_items_before(self):
        self.q.preload()
        caption = self.q.set_handle(self.h["hang_text"])
        self.assertEqual(caption, f"List Items (stopped after {HANG_INDEX}: not answering)")
        self.assertTrue(self.q.alive())
        self.expect_list(ITEMS[:HANG_INDEX])

    def test_command_line_on_a_hung_list_writes_the_items_before(self):
        q, hwnd = self.q, self.h["hang_text"]
        r = q.s.run(ARGS.com, "--read", hwnd, timeout=60)
        self.assertEqual((r.returncode, r.stdout.decode("utf-8")), (3, listing(ITEMS[:HANG_INDEX])))
        self.assertEqual(r.stderr.decode("utf-8"),
                         f"quorvel: stopped after {HANG_INDEX} items: the target stopped answering\r\n")
        # The list answers again once its sleep is over; the next case reading it needs that.
        harness.wait_for(lambda: q.s.probe("send", hwnd, LB_GETCOUNT, 0, 0, 1000, check=False).returncode == 0,
                         15, "the hung list to answer again")

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
        self.assertEqual(q.outcome(), f"List Items (stopped after {EXIT_INDEX}: the window closed)")

    # --- reads off the window's thread ------------------------------------------------------------------------

    def test_rows_show_as_read_keep_a_selection_and_escape_keeps_them(self):
        q = self.q
        q.preload()
        q.set_handle(self.h["slow_list"], wait=False)
        whole = listing(SLOW_ITEMS)
        frame = q.s.child(q.main, harness.ID_FRAME2)

        def shown(at_least):
            # Whole items from the first, in order, while the read goes on.
            text = q.list_text()
            return text if whole.startswith(text) and text.count("\r\n") >= at_least and text.endswith("\n") else None

        first = harness.wait_for(lambda: shown(3), 30, "the first items shown")
        self.assertIn("reading", q.s.text(frame))
        # A selection made mid-read stays where it is while more rows come.
        q.s.probe("send", q.txt_list, EM_SETSEL, 2, 9, 5000)
        harness.wait_for(lambda: shown(first.count("\n") + 3), 30, "more items shown")
        self.assertEqual(q.s.probe_int("send", q.txt_list, EM_GETSEL, 0, 0, 5000), 2 | 9 << 16)
        # A real Esc, wherever the focus is in Quorvel's window.
        q.s.focus(q.xid)
        q.s.key("Escape")
        m = re.fullmatch(r"List Items \(cancelled after (\d+)\)", q.outcome())
        self.assertTrue(m, "the frame does not say the read was cancelled")
        read = int(m.group(1))
        self.assertTrue(3 <= read < len(SLOW_ITEMS), read)
        self.expect_list(SLOW_ITEMS[:read])

    def test_command_line_writes_its_first_lines_before_the_read_ends(self):
        q, out_path = self.q, self.q.s.path("streamed.txt")
        with open(out_path, "wb") as out:
            com = subprocess.Popen(harness.wine(ARGS.com, "--read", self.h["slow_list"]), env=q.s.env(),
                                   stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.DEVNULL)
        try:
            def lines_out():
                with open(out_path, "rb") as f:
                    return f.read().count(b"\n")

            harness.wait_for(lambda: lines_out() >= 2, 30, "the first lines")
            self.assertIsNone(com.poll(), "the first lines came only at the end of the read")
            self.assertEqual(com.wait(60), 0)
        finally:
            if com.poll() is None:
                com.kill()
        with open(out_path, "rb") as f:
            self.assertEqual(f.read().decode("utf-8"), listing(SLOW_ITEMS))

    def test_new_handle_mid_read_wins(self):
        q = self.q
        q.preload()
        q.set_handle(self.h["slow_list"], wait=False)
        q.wait_reading(1)
        self.assertEqual(q.set_handle(self.h["plain"]), f"List Items ({len(ITEMS)})")
        self.expect_list(ITEMS)


    # --- lists only accessibility tells -----------------------------------------------------------------------

    def test_accessible_lists_claiming_int_max_items_or_a_name_too_long(self):
        # Past the three items the list has no children: the first it does not have ends the read, not two
        # billion questions.
        self.q.preload()
        self.assertEqual(self.q.set_handle(self.h["acc_int_max"]), "List Items (3 in Claims)")
        self.expect_list(ACC_ITEMS)
        # A name one character longer than any item may be is unreadable: left out, and counted.
        self.q.preload()
        self.assertEqual(self.q.set_handle(self.h["acc_big_name"]), "List Items (2 in Big; 1 unreadable)")
        self.expect_list(ACC_ITEMS[::2])
        # A name turned away as busy is asked again, and comes.
        self.q.preload()
        self.assertEqual(self.q.set_handle(self.h["acc_busy_once"]), "List Items (3 in Busy)")
        self.expect_list(ACC_ITEMS)

    def test_accessible_list_slow_to_hand_out_children_is_read_whole(self):
        # Each child takes its program 10 ms: seconds for the list, never long for one call. In the window, and
        # on the command line into a pipe whose reader takes longer than a call may before it reads: the output
        # waits, the read is never taken for a stuck one.
        q, names = self.q, slow_accessible_names()
        q.preload()
        self.assertEqual(q.set_handle(self.h["acc_slow"]), f"List Items ({len(names)} in Slow)")
        self.expect_list(names)
        expected = listing(names).encode("utf-8")
        self.assertGreater(len(expected), 64 * 1024, "no more than a pipe holds")
        err_path = q.s.path("slow-reader.err")
        with open(err_path, "wb") as err:
            com = subprocess.Popen(harness.wine(ARGS.com, "--read", self.h["acc_slow"]), env=q.s.env(),
                                   stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=err)
        try:
            time.sleep(4)  # the reader that takes its time, not a wait for anything
            out = harness.read_exactly(com.stdout, len(expected), 60)
            self.assertEqual(com.wait(30), 0)
        finally:
            if com.poll() is None:
                com.kill()
            com.stdout.close()
        with open(err_path, "rb") as f:
            self.assertEqual(f.read(), b"")
        self.assertEqual(out, expected)

    def test_accessible_object_that_hangs_is_given_up(self):
        # Its program sleeps 8 s in a question the walk asks it; a call into another program has no time limit
        # of its own, so Quorvel gives the read up after as long as a message may take, window and command line.
        q = self.q
        q.set_handle(self.h["acc_int_max"])  # COM's own threads in Quorvel, once, before counting
        threads = self.threads()
        started = time.monotonic()
        q.set_handle(self.h["acc_hang"], wait=False)
        self.assertEqual(q.outcome(), "List Items (stopped after 0: not answering)")
        self.assertLess(time.monotonic() - started, HANG_S - 2)
        # A newer read runs at once, on a fresh thread, while the one given up waits in its call.
        self.assertEqual(q.set_handle(self.h["plain"]), f"List Items ({len(ITEMS)})")
        self.expect_list(ITEMS)
        started = time.monotonic()
        r = q.s.run(ARGS.com, "--read", self.h["acc_hang"], timeout=60)
        self.assertLess(time.monotonic() - started, HANG_S - 1)
        self.assertEqual((r.returncode, r.stdout), (3, b""))
        self.assertEqual(r.stderr.decode("utf-8"), "quorvel: stopped after 0 items: the target stopped answering\r\n")
        # The thread given up ends once its call returns.
        harness.wait_for(lambda: self.threads() <= threads, 2 * HANG_S + 10, "the thread given up to end")

    def threads(self):
        return self.q.s.probe_int("send", self.h["lv_plain"], QUERY_THREAD_COUNT, self.q.main, 0, 5000)


class HostileViewTest(HostileCase):
    """List views and tree views that lie, walk in circles, hang, die, or start a newer read; after each,
    nothing of Quorvel's is left in the target and no process handle stays open in Quorvel."""

    SESSION = "hostile-views"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # Quorvel's reading thread gets its own objects from the system with its first read: count from after it.
        cls.q.preload()

    def setUp(self):
        super().setUp()
        STATS["view_behaviours"] += 1
        self.before = self.footprint()

    def tearDown(self):
        super().tearDown()
        # A read cut short by a hang, an exit, a cancel or a newer read releases its memory, its handle and its
        # thread too. Wine frees an ended thread's own objects a moment after the thread is joined, and a busy
        # machine stretches that moment: a count still up is looked at again until it is down, or time is up.
        try:
            after = harness.wait_for(lambda: self.settled(self.footprint()), 15, "the counts", interval=0.5)
        except TimeoutError:
            after = self.footprint()
        self.assert_nothing_left(self.before, after)

    def settled(self, after):
        handles = sum(after.handles.values()) <= sum(self.before.handles.values())
        return after if handles and after.threads <= self.before.threads else None

    def assert_nothing_left(self, before, after):
        growth = after.committed - before.committed
        if growth >= NOISE_KIB:
            STATS["leaked_bytes"] += growth * 1024
        self.assertLess(growth, NOISE_KIB, "memory of Quorvel's left in the target")
        # Handles of the kinds a read opens itself are all closed again. Wine may make an object or two of its own
        # in Quorvel once, when a loaded machine happens to need one; a handle that leaks with every read shows
        # up beyond that in the thousand reads below, and a kind a read opens, at once.
        grown = after.handles - before.handles
        self.assertLessEqual(sum(grown.values()), ONE_TIME_HANDLES, f"handles left open in Quorvel: {dict(grown)}")
        self.assertFalse(+Counter({kind: grown[kind] for kind in READ_HANDLE_KINDS}),
                         f"a handle of a read's own left open in Quorvel: {dict(grown)}")
        self.assertLessEqual(after.threads - before.threads, 0, "a thread left running in Quorvel")

    def send(self, name, message, wparam=0, lparam=0, timeout_ms=5000):
        return self.q.s.probe_int("send", self.h[name], message, wparam, lparam, timeout_ms=timeout_ms)

    def footprint(self):
        """The target's committed private memory in KiB, and Quorvel's open handles by kind and its threads."""
        census = self.q.s.probe("handles", self.q.main).decode("utf-8")
        handles = Counter({kind: int(n) for kind, n in (line.rsplit(" ", 1) for line in census.splitlines())})
        return Footprint(self.send("lv_plain", QUERY_COMMITTED_KIB), handles,
                         self.send("lv_plain", QUERY_THREAD_COUNT, self.q.main))

    def read(self, name, expected, caption=None):
        q = self.q
        q.preload()
        self.send(name, WM_APP + 2)
        outcome = q.set_handle(self.h[name])
        self.assertTrue(q.alive())
        text = q.list_text()
        STATS["lost_items"] += sum(1 for line in expected.splitlines() if line and line + "\r\n" not in text)
        self.assertEqual(text, expected)
        if caption:
            self.assertEqual(outcome, caption)

    # --- list views -------------------------------------------------------------------------------------------

    def test_list_view_counts_that_lie(self):
        self.read("lv_count_minus_one", "")
        self.assertEqual(self.send("lv_count_minus_one", WM_APP + 1, LVM_GETITEMTEXTW), 0)
        self.read("lv_count_int_min", "")
        # INT_MAX rows claimed: the real five are read, cell by cell, and no more.
        self.read("lv_count_int_max", rows_listing(VIEW_ROWS))
        self.assertEqual(self.send("lv_count_int_max", WM_APP + 1, LVM_GETITEMTEXTW), 15)

    def test_list_view_lengths_that_lie(self):
        self.read("lv_length_beyond", rows_listing(VIEW_ROWS))
        # Every cell's text fails: the rows are there, none of them readable.
        self.read("lv_length_negative", "", f"List Items (0; {len(VIEW_ROWS)} unreadable)")

    def test_text_pointer_that_cannot_be_read(self):
        self.read("lv_bad_pointer", "", f"List Items (0; {len(VIEW_ROWS)} unreadable)")

    def test_header_claiming_100000_columns(self):
        self.read("lv_header_lies", rows_listing(VIEW_ROWS))
        self.assertEqual(self.send("lv_header_lies", WM_APP + 1, LVM_GETITEMTEXTW), 15)

    def test_list_view_class_that_answers_nothing(self):
        self.read("lv_no_answer", "")

    def test_list_view_hanging_mid_read_keeps_the_rows_before(self):
        self.read("lv_hang", rows_listing(VIEW_ROWS[:HANG_ROW]))

    def test_newer_read_overtaking_a_list_view_read(self):
        self.send("lv_overtake", SET_OVERTAKE, self.q.txt_wnd, self.h["plain"])
        self.q.preload()
        self.q.set_handle("0")
        self.q.set_handle(self.h["lv_overtake"])
        self.assertEqual(self.q.s.text(self.q.txt_wnd), str(self.h["plain"]))
        self.assertEqual(self.q.list_text(), listing(ITEMS))

    def test_escape_mid_list_view_read_keeps_whole_rows_and_frees_the_block(self):
        q = self.q
        q.preload()
        self.send("lv_slow", WM_APP + 2)
        q.set_handle(self.h["lv_slow"], wait=False)
        # Rows come back a batch at a time, so the sign of a read under way is the target being asked.
        harness.wait_for(lambda: self.send("lv_slow", WM_APP + 1, LVM_GETITEMTEXTW) >= 7, 30, "cells asked for")
        # Esc as the keyboard leaves it in the queue (a real key press comes in HostileTest): Wine keeps an
        # object of its own in Quorvel after keyboard input, which the handle count would take for a leak.
        q.s.probe("post", q.txt_wnd, WM_KEYDOWN, VK_ESCAPE, 1)
        m = re.fullmatch(r"List Items \(cancelled after (\d+)\)", q.outcome())
        self.assertTrue(m, "the frame does not say the read was cancelled")
        read = int(m.group(1))
        self.assertTrue(2 <= read < len(SLOW_ROWS), read)
        self.assertEqual(q.list_text(), rows_listing(SLOW_ROWS[:read]))

    def test_list_view_process_exiting_mid_read(self):
        q = self.q
        handles = q.s.start_list_target(ARGS.hostile, "--exit-view-at", EXIT_VIEW_ROW)
        target = q.s.procs[-1]
        q.preload()
        q.set_handle(handles["exit_view"])
        harness.wait_for(lambda: target.poll() is not None, 30, "the target to exit")
        self.assertEqual(target.returncode, 3, "the target should have ended inside LVM_GETITEMTEXTW")
        # Only whole rows read before the exit, in order: those of batches read back before the process went.
        rows = VIEW_ROWS + [[f"r{i}", f"v{i}", "z"] for i in range(5, EXIT_VIEW_ROW)]
        text = q.list_text()
        whole = [rows_listing(rows[:n]) for n in range(EXIT_VIEW_ROW)]
        self.assertIn(text, whole, "not a run of whole rows from the first, all before the exit")

    # --- tree views -------------------------------------------------------------------------------------------

    def test_tree_view_counts_that_lie(self):
        self.read("tv_plain", tree_listing(TREE))
        self.read("tv_count_minus_one", "")
        self.read("tv_count_int_min", "")
        self.read("tv_count_int_max", tree_listing(TREE))

    def assert_walk_bounded(self, name, visited):
        asked = self.send(name, WM_APP + 1, TVM_GETITEMW)
        self.assertEqual(asked, visited, "each item's text is asked for once")
        self.assertEqual(self.send(name, QUERY_DISTINCT_ITEMS), visited, "an item was visited twice")
        self.assertLessEqual(visited, len(TREE))

    def test_tree_walk_leading_back_to_an_ancestor_ends(self):
        self.read("tv_cycle", tree_listing(TREE[:4]))
        self.assert_walk_bounded("tv_cycle", 4)

    def test_tree_item_whose_next_is_itself_ends(self):
        self.read("tv_self_next", tree_listing(TREE[:5]))
        self.assert_walk_bounded("tv_self_next", 5)

    def test_tree_view_hanging_mid_read_keeps_the_items_before(self):
        self.read("tv_hang", tree_listing(TREE[:HANG_TREE_ITEM]))

    # --- nothing left behind ----------------------------------------------------------------------------------

    def test_thousand_reads_of_each_leave_nothing_behind(self):
        q = self.q
        q.set_handle(self.h["lv_plain"])
        q.set_handle(self.h["tv_plain"])  # first reads warm both sides up
        before = self.footprint()
        # Each change cancels the read before it, wherever that read has got to.
        delivered = self.send("lv_plain", DRIVE_READS, q.txt_wnd, self.h["tv_plain"], timeout_ms=600000)
        self.assertEqual(delivered, 2 * DRIVEN_READS)
        # The caption tells the end only once the last read has let go of the target.
        self.assertEqual(q.outcome(), f"List Items ({len(TREE)})")
        try:
            after = harness.wait_for(lambda: self.settled(self.footprint()), 15, "the counts", interval=0.5)
        except TimeoutError:
            after = self.footprint()
        print(f"after {DRIVEN_READS} reads of a list view and {DRIVEN_READS} of a tree view: target committed "
              f"{before.committed} -> {after.committed} KiB, Quorvel handles {dict(before.handles)} -> "
              f"{dict(after.handles)}, threads {before.threads} -> {after.threads}", file=sys.stderr)
        self.assertEqual(q.list_text(), tree_listing(TREE))
        self.assertGreater(sum(before.handles.values()), 0, "Quorvel's handles could not be counted")
        self.assert_nothing_left(before, after)

    # --- tab controls and status bars -------------------------------------------------------------------------

    def test_tab_control_and_status_bar_claiming_int_max(self):
        self.read("tab_count_int_max", listing(BAR_TABS))
        asked = self.send("tab_count_int_max", WM_APP + 1, TCM_GETITEMW)
        self.assertLess(asked, 40, "the claim was taken at its word")
        self.read("sb_count_int_max", listing(BAR_PARTS))
        # Only the parts the status bar gives edges for are asked about.
        self.assertEqual(self.send("sb_count_int_max", WM_APP + 1, SB_GETTEXTLENGTHW), len(BAR_PARTS))

    def test_status_bar_part_longer_than_its_slot(self):
        # The 1,000-character part comes whole; the one whose length is answered as 10 runs past the buffer sized
        # for that and is unreadable, and the part after it still reads.
        self.read("sb_long_parts", listing(BAR_PARTS[:2] + BAR_PARTS[3:]), "List Items (3; 1 unreadable)")


class CloseMidReadTest(unittest.TestCase):
    """Closing Quorvel in the middle of a read ends the process soon, and leaves nothing in the target: a read of
    many quick answers, and one closed 100 ms into an answer that takes 1.5 s of the 2 s a message may take."""

    def test_closing_mid_read_ends_soon_and_leaves_nothing(self):
        q = QuorvelSession("close")
        self.addCleanup(q.close)

        def committed():
            return q.s.probe_int("send", q.handles["lv_plain"], QUERY_COMMITTED_KIB, 0, 0, 5000)

        def asked(view):
            return q.s.probe_int("send", q.handles[view], WM_APP + 1, LVM_GETITEMTEXTW, 0, 5000) >= 2

        def answering(view):
            # The view's thread takes no message while it is inside an answer.
            return q.s.probe("send", q.handles[view], 0, 0, 0, 100, check=False).returncode != 0

        # The last waits in a call into a program that hangs, which no wait would end: the process ends at once.
        for view, under_way in (("lv_slow", asked), ("lv_sluggish", answering), ("acc_hang", answering)):
            STATS["behaviours"] += 1
            before = committed()
            quorvel = q.quorvel
            q.set_handle(q.handles[view], wait=False)
            harness.wait_for(lambda: under_way(view), 30, "a read under way")
            q.s.focus(q.xid)
            q.s.key("alt+F4")
            started = time.monotonic()
            harness.wait_for(lambda: quorvel.poll() is not None, 30, "Quorvel to end")
            took = time.monotonic() - started
            print(f"Quorvel ended {took:.2f} s after Alt+F4 in the middle of reading {view}", file=sys.stderr)
            # Wine's own teardown comes on top of the read letting go: it ends even an idle Quorvel 2 s after
            # Alt+F4 here, more on a busy machine. A read left running to its end would take 18 s; one that was not
            # waited for would leave its block in the target, which the check below finds.
            self.assertLess(took, MESSAGE_TIMEOUT_S + 3)
            self.assertEqual(quorvel.returncode, 0, "Quorvel did not end cleanly")
            harness.wait_for(lambda: not answering(view), 10, "the view to finish its answer")
            # A read of an accessible object puts nothing in the target; its program's own COM grows as it serves.
            growth = 0 if view.startswith("acc") else committed() - before
            if growth >= NOISE_KIB:
                STATS["leaked_bytes"] += growth * 1024
            self.assertLess(growth, NOISE_KIB, f"memory of Quorvel's left in the target by a read of {view}")
            q.quorvel, q.main, q.txt_wnd, q.txt_list, _, q.xid = q.s.start_quorvel(ARGS.exe)


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
    ARGS, argv = harness.parse_args("exe", "com", "hostile", "probe", "build")
    harness.main_with_figures(ARGS, argv, "hostile", STATS)
