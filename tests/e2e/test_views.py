"""Quorvel reads another process's list views (report, icon and virtual), a list view's header, a tree view and
the Edit of an editable combo box, whether the user types the handle or points at the control; tab controls,
status bars, headers and toolbars; the same controls under the class names frameworks give their superclasses
of them; lists, grids and trees a program draws itself and tells only to accessibility clients; and it reads
them across bitness: the 64-bit exe a 32-bit target, the 32-bit exe a 64-bit one.

Under Wine 8 a 32-bit process's VirtualAllocEx in a 64-bit process lands below 4 GB, so the 32-bit exe reads a
64-bit target like any other; CrossBitnessTest checks both that and the listings.
"""

import csv
import io
import json
import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import peimage  # noqa: E402
import winehost  # noqa: E402

ARGS = None
FIGURES = {}

# Kept apart from the target's own table so a slip on either side shows up. Every expected line is written
# as Quorvel shows it: cells joined by TAB in the order the columns are shown, here "No.", "Name", "Note"
# (column indexes 2, 0, 1).
LONG = "0123456789" * 200
REPORT_ROW_COUNT = 10000
REPORT_SPECIAL = {
    0: "0\tZ\u00fcrich\t\u65e5\u672c\u8a9e",  # cells "Zürich", "日本語", "0"
    1: "c\ta\t",  # "a", "", "c": an empty cell
    2: None,  # "", "", "": a row with no text adds no line
    3: "\t\tlabel empty",  # "", "label empty", "": an empty label, the row still counts
    4: '4\tcomma, "quoted"\tnote 4',  # a comma and quotes, for CSV
    5000: "5000\tlong\t" + LONG,  # "long", 2,000 characters, "5000"
    9999: "\tlast\t",  # "last", "", ""
}


def report_line(i):
    if i in REPORT_SPECIAL:
        return REPORT_SPECIAL[i]
    return f"{i}\titem {i:05d}\tnote {i}"


def lines(items):
    """What txtList shows for these lines: every non-empty one, each ending in CR LF."""
    return "".join(item + "\r\n" for item in items if item)


REPORT = lines(report_line(i) for i in range(REPORT_ROW_COUNT))
# Icon view: the labels alone; the items' second column ("hidden 0", ...) must not show.
ICONS = lines(["first", "Z\u00fcrich", "", "\u65e5\u672c\u8a9e", "last"])
# Owner data, two columns in their own order; every 250th row is empty, every third has no second cell.
VIRTUAL = lines("" if i % 250 == 249 else f"virtual {i:04d}\t" + ("" if i % 3 == 0 else f"\u00fcber {i:04d}")
                for i in range(2000))
# "Deutschland" is collapsed in the target; an item with empty text under "Asia" adds no line.
TREE_ITEMS = [(0, "Europe"), (1, "Schweiz"), (2, "Z\u00fcrich"), (2, "Gen\u00e8ve"), (1, "Deutschland"),
              (2, "M\u00fcnchen"), (2, "K\u00f6ln"), (0, "Asia"), (1, "\u65e5\u672c"), (2, "\u6771\u4eac"),
              (2, "\u5927\u962a"), (1, ""), (1, "\ud55c\uad6d"), (0, "Oceania")]
TREE = lines("\t" * depth + text if text else "" for depth, text in TREE_ITEMS)
EDIT_COMBO = lines(["edit combo", "Z\u00fcrich", "", "\u65e5\u672c\u8a9e", "omega"])
# The frameworks window: superclasses of the system's controls under a Delphi or Visual Basic class name, and
# controls of the four kinds read since under the system's names.
FRAMEWORK_WINDOW = {
    "fw_listview": lines(["Delphi\t1", "Z\u00fcrich\t2"]),  # TListView, report view
    "fw_tree": lines(["Root", "\tChild", "Second"]),  # TTreeView
    "fw_listbox": lines(["vb one", "", "vb Z\u00fcrich"]),  # ThunderRT6ListBox
    "fw_combo": lines(["delphi", "\u65e5\u672c"]),  # TComboBox
    "fw_pages": lines(["General", "Z\u00fcrich", "\u65e5\u672c\u8a9e"]),  # TPageControl
    "fw_statusbar": lines(["Ready", "Z\u00fcrich"]),  # TStatusBar
    "tabs": lines(["First", "", "Third"]),
    "statusbar": lines(["Status", "Gen\u00e8ve", ""]),
    "lone_header": lines(["Date", "Name", "Size"]),  # the columns in the order shown
    "toolbar": lines(["Open", "Save", "Z\u00fcrich"]),  # no separator, no button without text
}
COMBO_EX_ITEMS = ["ex first", "Gen\u00e8ve", "", "\ud55c\uad6d"]
COMBO_EX = lines(COMBO_EX_ITEMS)

# The drawn window's lists, which only accessibility tells, kept apart from the target's own tables.
DRAWN_LIST = ["small", "Z\u00fcrich", "", "\u65e5\u672c\u8a9e"]
DRAWN_COLUMNS = ["Name", "Size", "Note"]
DRAWN_ROWS = [["apple", "12", "Z\u00fcrich"], ["pear", "", 'comma, "quoted"'], ["\u65e5\u672c\u8a9e", "7", ""]]
DRAWN_TREE = [(0, "Europe"), (1, "Schweiz"), (2, "Z\u00fcrich"), (0, "Asia"), (1, "\u65e5\u672c")]
DRAWN = {
    "drawn_list": (lines(DRAWN_LIST), "List Items (4 in Sizes)"),
    "drawn_grid": (lines("\t".join(row) for row in DRAWN_ROWS), "List Items (3 in Stock)"),
    "drawn_tree": (lines("\t" * depth + text for depth, text in DRAWN_TREE), "List Items (5 in Places)"),
    "drawn_nested": (lines("\t" * depth + text for depth, text in DRAWN_TREE), "List Items (5 in Places)"),
    "drawn_panel": (lines(["apple", "pear", "plum"]), "List Items (3 in Fruits, list 1 of 2)"),
}

# What the target's views window answers about its tree: expanded items, and the depth-first index of the
# selected and of the first visible item (-1 for none).
WM_APP = 0x8000
QUERY_TREE_EXPANDED, QUERY_TREE_SELECTED, QUERY_TREE_FIRST_VISIBLE = WM_APP + 1, WM_APP + 2, WM_APP + 3
TREE_STATE = (4, -1, 0)
# What a twin window does when asked: add "added" to its list box; show the late window 1.5 s later.
TWIN_ADD_ITEM, TWIN_SHOW_LATE = WM_APP + 4, WM_APP + 5
TWIN_A_ITEMS = ["twin A one", "two"]

class ViewsSession:
    """One Wine session with a demo target and Quorvel, and the ways a test names a control to Quorvel."""

    def __init__(self, name, target):
        self.session = harness.WineSession(ARGS.build, ARGS.probe, name)
        try:
            s = self.session.start()
            self.handles = s.start_list_target(target, "--twins")
            s.find_window("Quorvel Demo Views")
            _, self.main, self.txt_wnd, self.txt_list, self.capture, self.xid = s.start_quorvel(ARGS.exe)
        except BaseException:
            self.session.close()
            raise

    def close(self):
        self.session.close()

    def show(self, name, expected, timeout=30):
        """Types the named control's handle into txtWnd and waits for txtList to hold exactly the listing;
        returns the seconds from the handle showing in txtWnd to the listing showing in txtList."""
        s = self.session
        handle = str(self.handles[name])
        s.clear_field(self.xid, self.main, self.txt_wnd, "txtWnd")
        # The first digit alone names no list, so its read empties txtList: whatever shows after the last
        # digit then comes from this read, even when the previous test left the same listing.
        s.type_text(handle[0])
        s.wait_text(self.txt_list, "", timeout=10)
        s.type_text(handle[1:])
        s.wait_text(self.txt_wnd, handle, timeout=10)
        started = time.monotonic()
        s.wait_text(self.txt_list, expected, timeout=timeout)
        return time.monotonic() - started

    def tree_state(self):
        views = self.handles["views"]
        return tuple(self.session.probe_int("send", views, q, 0, 0, 5000)
                     for q in (QUERY_TREE_EXPANDED, QUERY_TREE_SELECTED, QUERY_TREE_FIRST_VISIBLE))


class ReadsViews:
    """The reading tests, shared by the target of the exe's own bitness and that of the other one."""

    views = None

    def test_report_view_rows_in_shown_column_order(self):
        seconds = self.views.show("report", REPORT, timeout=180)
        FIGURES.setdefault(f"{self.figure_prefix}report_read_s", round(seconds, 1))

    def test_header_reads_its_list_view(self):
        self.views.show("header", REPORT, timeout=180)

    def test_icon_view_shows_labels_only(self):
        self.views.show("icons", ICONS)

    def test_virtual_list_view(self):
        self.views.show("virtual", VIRTUAL, timeout=60)

    def test_tree_view_every_item_and_nothing_changed(self):
        self.assertEqual(self.views.tree_state(), TREE_STATE, "the target's tree is not as it starts")
        self.views.show("tree", TREE)
        self.assertEqual(self.views.tree_state(), TREE_STATE, "reading expanded, selected or scrolled the tree")

    def test_editable_combo_box_by_its_handle_and_by_its_edit(self):
        self.views.show("editcombo", EDIT_COMBO)
        # Another listing in between, so the Edit's read has to replace it.
        self.views.show("icons", ICONS)
        self.views.show("editcombo_edit", EDIT_COMBO)

    def test_framework_superclasses_tab_controls_status_bars_headers_and_toolbars(self):
        for name, expected in FRAMEWORK_WINDOW.items():
            with self.subTest(name):
                self.views.show(name, expected)

    def test_lists_only_accessibility_tells(self):
        for name, (expected, caption) in DRAWN.items():
            with self.subTest(name):
                self.views.show(name, expected)
                self.assertEqual(self.views.session.read_outcome(self.views.main), caption)

    def test_combo_box_ex_by_its_handle_and_by_its_edit(self):
        # The items are the ComboBoxEx's own; its inner combo box is owner-drawn and keeps none.
        self.views.show("comboex", COMBO_EX)
        self.views.show("icons", ICONS)
        self.views.show("comboex_edit", COMBO_EX)
        self.views.show("icons", ICONS)
        self.views.show("comboex_combo", COMBO_EX)


class ViewsTest(ReadsViews, unittest.TestCase):
    figure_prefix = ""

    @classmethod
    def setUpClass(cls):
        cls.views = ViewsSession("views", ARGS.target)
        FIGURES["report_fill_ms"] = cls.views.handles["report_fill_ms"]

    @classmethod
    def tearDownClass(cls):
        cls.views.close()

    # --- pointing ------------------------------------------------------------------------------------------------

    def tracking(self):
        """Tracking is on exactly while the handle field is disabled."""
        style = next(r["style"] for r in self.views.session.rects(self.views.main) if r.get("id") == harness.ID_TXTWND)
        return bool(style & 0x08000000)  # WS_DISABLED

    def set_tracking(self, on):
        v = self.views
        if self.tracking() != on:
            v.session.focus(v.xid)
            v.session.click_window(v.capture)
            harness.wait_for(lambda: self.tracking() == on, 10, f"tracking {'on' if on else 'off'}")

    def test_f12_over_the_text_of_an_editable_combo_box_captures_its_edit(self):
        v, s = self.views, self.views.session
        edit = v.handles["editcombo_edit"]
        qx, qy, qw, qh = s.screen_rect(v.main)
        x, y, w, h = s.screen_rect(edit)
        px, py = x + w // 2, y + h // 2
        self.assertFalse(qx <= px < qx + qw and qy <= py < qy + qh, "Quorvel covers the editable combo box")
        # Another handle first, so that only a capture can put the Edit's into the field.
        v.show("icons", ICONS)
        self.addCleanup(self.set_tracking, False)
        self.set_tracking(True)
        # Wine skips a pointer move to the position it has cached, so step beside it first.
        s.xdotool("mousemove", "--sync", px + 1, py + 1)
        s.xdotool("mousemove", "--sync", px, py)
        harness.press_f12_until(s, v.xid, v.txt_wnd, str(edit))
        s.wait_text(v.txt_list, EDIT_COMBO, timeout=30)
        self.assertFalse(self.tracking())

    def test_f5_reads_again_and_ctrl_shift_c_copies_a_command_line_that_reads_it(self):
        v, s = self.views, self.views.session
        v.show("twin_a_list", lines(TWIN_A_ITEMS))
        s.probe("send", v.handles["twin_a"], TWIN_ADD_ITEM, 0, 0, 5000)
        s.focus(v.xid)
        s.key("F5")
        now = lines(TWIN_A_ITEMS + ["added"])
        s.wait_text(v.txt_list, now)
        s.probe("clipboard-empty")
        s.key("ctrl+shift+c")
        command = harness.wait_for(lambda: s.probe("clipboard-get", check=False).stdout.decode("utf-8"), 10,
                                   "the command line on the clipboard")
        self.assertRegex(command, r'^quorvel --read "title=Quorvel Demo Twin A; [^"]+"$')
        r = s.run(ARGS.com, "--read", command[len('quorvel --read "'):-1])
        self.assertEqual((r.returncode, r.stdout.decode("utf-8")), (0, now), r.stderr)

    # --- the README picture --------------------------------------------------------------------------------------

    def test_screenshot_of_report_rows(self):
        v, s = self.views, self.views.session
        v.show("report", REPORT, timeout=180)
        path = s.screenshot(os.path.join(ARGS.build, "screenshot-listview.png"), v.xid)
        _, _, w, h = s.screen_rect(v.main)
        self.assertEqual(harness.png_size(path), (w, h))
        harness.update_docs_picture(ARGS.docs, path, "screenshot-listview.png")


class CrossBitnessTest(ReadsViews, unittest.TestCase):
    """The same controls in a target of the other bitness (the other build's demo target)."""

    figure_prefix = "cross_"

    @classmethod
    def setUpClass(cls):
        other = ARGS.other_target
        if not other or not os.path.isfile(other):
            raise unittest.SkipTest(f"no demo target of the other bitness at {other!r}: build the other preset")
        if not winehost.runs_32bit():
            raise unittest.SkipTest(f"{winehost.NO_32BIT} ({winehost.WINE32} --version fails)")
        cls.views = ViewsSession("views-cross", other)

    @classmethod
    def tearDownClass(cls):
        cls.views.close()

    def test_target_memory_of_the_other_bitness_lies_below_4_gb(self):
        # What the reader relies on across bitness, checked with the probe of the exe's own bitness: the
        # block allocated in the target has an address a 32-bit process can hold, and a cell read through
        # it in the target's own layout arrives whole.
        out = self.views.session.probe("listview-text", self.views.handles["report"], 0, 1).decode("utf-8")
        fields = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        self.assertNotEqual(fields["probe_bits"], fields["target_bits"], out)
        self.assertLess(int(fields["address"], 16), 1 << 32, out)
        self.assertEqual(fields["text"], "\u65e5\u672c\u8a9e", out)


# The demo target's list box and combo box, as the target fills them.
LIST_ITEMS = ["alpha", "", "Z\u00fcrich", "\u65e5\u672c\u8a9e", LONG, "omega"]
COMBO_ITEMS = ["combo", *LIST_ITEMS]
REPORT_COLUMNS = ["No.", "Name", "Note"]
REPORT_ROWS = [(report_line(i) or "\t\t").split("\t") for i in range(REPORT_ROW_COUNT)]
NO_WINDOW = 0x7FFFFFFE
# The frameworks window's lists as CSV records, the indexes selected and those checked (None: it can't tell).
STATES = {
    "multi_listbox": ([["north"], ["east"], ["south"], ["west"]], [1, 3], None),
    "check_listview": ([["Alpha", "1"], ["Beta", "2"], ["Gamma", "3"]], [1, 2], [0, 2]),
    "check_tree": ([["0", "Root"], ["1", "Child"], ["0", "Second"]], [2], [1]),
    # State images of their own, by Windows' convention for check boxes; then partly checked and state images.
    "own_checks_listview": ([["Core", "1"], ["Extras", "2"], ["Docs", "3"]], [0], [1], [2], [1, 2, 3]),
    "own_checks_tree": ([["0", "Core"], ["1", "Extras"], ["0", "Docs"]], [0], [1], [2], [1, 2, 3]),
}


class CommandLineTest(unittest.TestCase):
    """quorvel.com (and quorvel.exe) --read, with no window of Quorvel's: each format of each kind of list, to
    standard output and to a file, and the exit code of each outcome, also through Wine's own cmd."""

    @classmethod
    def setUpClass(cls):
        cls.session = harness.WineSession(ARGS.build, ARGS.probe, "cli")
        try:
            cls.session.start()
            cls.handles = cls.session.start_list_target(ARGS.target, "--twins")
        except BaseException:
            cls.session.close()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def run_quorvel(self, *args, code=0, exe=None):
        r = self.session.run(exe or ARGS.com, *args, timeout=120)
        self.assertEqual(r.returncode, code, r.stderr.decode("utf-8", "replace"))
        return r.stdout.decode("utf-8"), r.stderr.decode("utf-8")

    def read(self, name, *options, exe=None):
        out, err = self.run_quorvel("--read", self.handles[name], *options, exe=exe)
        self.assertEqual(err, "")
        return out

    def assert_formats(self, name, text, records, json_fields, *options, exe=None):
        self.assertEqual(self.read(name, *options, exe=exe), text)
        self.assertEqual(list(csv.reader(io.StringIO(self.read(name, "--format", "csv", *options), newline=""))),
                         records)
        listing = json.loads(self.read(name, "--format=JSON"))
        self.assertEqual(listing, {"handle": self.handles[name], "complete": True, **json_fields})

    def test_list_box_and_combo_box(self):
        # quorvel.exe too: given arguments, it writes to the handles it inherits.
        self.assert_formats("list", lines(LIST_ITEMS), [[i] for i in LIST_ITEMS],
                            {"class": "ListBox", "kind": "listbox", "items": LIST_ITEMS, "selected": []}, exe=ARGS.exe)
        self.assert_formats("combo", lines(COMBO_ITEMS), [[i] for i in COMBO_ITEMS],
                            {"class": "ComboBox", "kind": "combobox", "items": COMBO_ITEMS, "selected": [0]})

    def test_report_list_view_with_dragged_columns_and_headers(self):
        self.assert_formats("report", lines(["\t".join(REPORT_COLUMNS)]) + REPORT, [REPORT_COLUMNS, *REPORT_ROWS],
                            {"class": "SysListView32", "kind": "listview", "columns": REPORT_COLUMNS,
                             "rows": REPORT_ROWS, "selected": []}, "--headers")
        self.assertIn('\r\n4,"comma, ""quoted""",note 4\r\n', self.read("report", "--format", "csv"))

    def test_combo_box_inside_a_combo_box_ex_reads_as_the_combo_box_ex(self):
        self.assert_formats("comboex_combo", COMBO_EX, [[i] for i in COMBO_EX_ITEMS],
                            {"class": "ComboBox", "readFrom": {"handle": self.handles["comboex"], "class": "ComboBoxEx32"},
                             "kind": "comboboxex", "items": COMBO_EX_ITEMS, "selected": []})

    def test_tree_view(self):
        self.assert_formats("tree", TREE, [[str(depth), text] for depth, text in TREE_ITEMS],
                            {"class": "SysTreeView32", "kind": "treeview",
                             "items": [{"text": text, "depth": depth} for depth, text in TREE_ITEMS], "selected": []})

    def test_selected_and_checked_items(self):
        for name, (records, selected, checked, *partly_images) in STATES.items():
            with self.subTest(name):
                listing = json.loads(self.read(name, "--format", "json"))
                self.assertEqual((listing["selected"], listing.get("checked")), (selected, checked))
                if partly_images:
                    self.assertEqual([listing["partly"], listing["stateImages"]], partly_images)
                for option, indexes in (("--selected", selected), ("--checked", checked)):
                    h = self.handles[name]
                    out, err = self.run_quorvel("--read", h, option, "--format=csv", code=0 if indexes else 1)
                    self.assertEqual(list(csv.reader(io.StringIO(out))), [records[i] for i in indexes or []])
                    self.assertEqual(err, "" if indexes else
                                     f"quorvel: window {h} (class ListBox) can't tell which items are checked\r\n")

    def test_lists_only_accessibility_tells(self):
        drawn = {"class": "QuorvelDrawnList", "kind": "accessible", "list": 1, "lists": 1, "selected": [], "checked": []}
        self.assert_formats("drawn_grid", lines(["\t".join(DRAWN_COLUMNS)]) + DRAWN["drawn_grid"][0],
                            [DRAWN_COLUMNS, *DRAWN_ROWS], {**drawn, "role": "table", "name": "Stock",
                                                           "columns": DRAWN_COLUMNS, "rows": DRAWN_ROWS}, "--headers")
        listing = json.loads(self.read("drawn_nested", "--format", "json"))
        self.assertEqual(listing, {"handle": self.handles["drawn_nested"], "complete": True, **drawn, "role": "tree",
                                   "name": "Places",
                                   "items": [{"text": text, "depth": depth} for depth, text in DRAWN_TREE]})
        self.assertEqual(json.loads(self.read("drawn_list", "--format", "json"))["items"], DRAWN_LIST)
        # The panel's second list by its name, in any case; a name no list has reads nothing.
        self.assertEqual(self.read("drawn_panel", "--name", "COLORS"), lines(["red", "green"]))
        out, err = self.run_quorvel("--read", self.handles["drawn_panel"], "--name", "Shapes", code=2)
        self.assertEqual((out, err), ("", "quorvel: no list named Shapes\r\n"))

    def handles_read(self, selectors):
        """The handle each selector reads, from one cmd that runs quorvel.com for each (a Wine start costs a
        second); None where it read nothing."""
        s = self.session
        outs = [s.path(f"selected-{i}.json") for i in range(len(selectors))]
        with open(s.path("selectors.bat"), "w", encoding="ascii", newline="\r\n") as f:
            for selector, out in zip(selectors, outs):
                f.write(f'@"{harness.win_path(ARGS.com)}" --read "{selector}" --format json --out '
                        f'"{harness.win_path(out)}"\n')
        s.run("cmd", "/c", harness.win_path(s.path("selectors.bat")), timeout=120)
        read = []
        for out in outs:
            with open(out, encoding="utf-8") if os.path.exists(out) else io.StringIO("null") as f:
                read.append((json.load(f) or {}).get("handle"))
        return read

    def test_lists_named_by_selector_waited_for_and_listed(self):
        s, h = self.session, self.handles
        twin_lists = [h[f"twin_{t}_{k}"] for t in "ab" for k in ("list", "combo", "view")]
        # Two windows alike but for their titles: a selector that fits both reads nothing and names each alone.
        _, err = self.run_quorvel("--read", "title=Quorvel Demo Twin*; id=101", code=4)
        first, *candidates = err.splitlines()
        self.assertTrue(first.startswith("quorvel: 2 lists match title=Quorvel Demo Twin*; id=101;"), err)
        out, _ = self.run_quorvel("--list", "exe=listtarget.exe; title=*twin*", "--format", "csv")
        listed = list(csv.DictReader(io.StringIO(out, newline="")))
        self.assertEqual(sorted(int(r["handle"]) for r in listed), sorted(twin_lists))
        reads = {"exe=listtarget.exe; nn=SysListView323": h["virtual"], "title=*Twin B; id=101": h["twin_b_list"],
                 "kind=comboboxex": h["comboex"], **{r["selector"]: int(r["handle"]) for r in listed}}
        got = self.handles_read([*reads, *candidates])
        self.assertEqual(dict(zip(reads, got)), reads)
        self.assertEqual(sorted(got[len(reads):]), sorted([h["twin_a_list"], h["twin_b_list"]]))
        # --wait finds a window that appears only after the first looks.
        late = s.start_background(ARGS.com, "--read", "title=Quorvel Demo Late; kind=listbox", "--wait", "30")
        s.probe("send", h["twin_a"], TWIN_SHOW_LATE, 0, 0, 5000)
        r = late.finish(60)
        self.assertEqual((r.returncode, r.stdout.decode("utf-8")), (0, lines(["late"])), r.stderr)

    def test_out_replaces_the_file_only_with_a_whole_listing(self):
        s = self.session
        folder = s.path("out")
        os.makedirs(folder)
        path = os.path.join(folder, "list.csv")
        with open(path, "w") as f:
            f.write("old")
        self.assertEqual(self.read("list", "--format", "csv", "--out", harness.win_path(path)), "")
        written = "".join((i or '""') + "\r\n" for i in LIST_ITEMS).encode("utf-8")
        for _ in range(2):
            with open(path, "rb") as f:
                self.assertEqual(f.read(), written)
            self.assertEqual(os.listdir(folder), ["list.csv"], "a temporary file was left behind")
            # Nothing read: the file stays as it was.
            self.run_quorvel("--read", NO_WINDOW, "--out", harness.win_path(path), code=2)
        missing = harness.win_path(os.path.join(folder, "missing", "x.txt"))
        _, err = self.run_quorvel("--read", self.handles["list"], "--out", missing, code=1)
        self.assertTrue(err.startswith(f"quorvel: cannot write {missing}: "), err)

    def test_exit_codes_and_their_lines(self):
        # One line on standard error for what was not read; the usage after a bad argument.
        for args, code, err in [
            (("--read", f"&H{NO_WINDOW:X}"), 2, f"quorvel: no window has the handle {NO_WINDOW}\r\n"),
            (("--read", self.handles["main"]), 2,
             f"quorvel: window {self.handles['main']} (class QuorvelDemoTarget) holds no list Quorvel reads\r\n"),
            (("--read", self.handles["list"], "--format", "xml"), 1, "quorvel: unknown format"),
        ]:
            with self.subTest(args=args):
                out, got = self.run_quorvel(*args, code=code)
                self.assertEqual(out, "")
                self.assertEqual(got.splitlines(keepends=True)[0][:len(err)], err)
                self.assertEqual("Usage:" in got, code == 1)
        out, _ = self.run_quorvel("--help")
        self.assertTrue(out.startswith("Usage:"), out)
        self.assertIn("\r\n  quorvel --version\r\n", out)
        # The project's version and the exe's own bitness, from either exe.
        line = f"Quorvel {ARGS.project_version} ({32 if peimage.is_32bit(ARGS.com) else 64}-bit)\r\n"
        for exe in (ARGS.com, ARGS.exe):
            self.assertEqual(self.run_quorvel("--version", exe=exe), (line, ""), exe)

    def test_cmd_runs_the_console_twin_and_passes_its_exit_code(self):
        # Beside the .com stands another program named quorvel.exe, which reads no list: the listing shows
        # that cmd chose the .com.
        s = self.session
        folder = s.path("bin")
        os.makedirs(folder)
        shutil.copy(ARGS.com, os.path.join(folder, "quorvel.com"))
        shutil.copy(ARGS.probe, os.path.join(folder, "quorvel.exe"))

        def cmd(line):
            return s.run("cmd", "/c", f"cd /d {harness.win_path(folder)} && {line}", timeout=120)

        for handle, code, out in [(self.handles["combo"], 0, lines(COMBO_ITEMS)), (NO_WINDOW, 2, "")]:
            r = cmd(f"quorvel --read {handle}")
            self.assertEqual((r.returncode, r.stdout.decode("utf-8")), (code, out), r.stderr)
        # Typed without arguments, the .com opens the window of the quorvel.exe beside it.
        shutil.copy(ARGS.exe, os.path.join(folder, "quorvel.exe"))
        self.assertEqual(cmd("quorvel").returncode, 0)
        s.find_window("Quorvel")

if __name__ == "__main__":
    ARGS, argv = harness.parse_args("exe", "com", "target", "probe", "build", "project-version", optional=("docs", "other-target"))
    harness.main_with_figures(ARGS, argv, "views", FIGURES)
