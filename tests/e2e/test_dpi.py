"""At a system DPI of 144 (150 %), the window and every control scale from their twips, and the font with them."""

import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

ARGS = None
DPI = 144

# id: (parent id or None, left, top, width, height) in twips
TWIPS = {
    101: (None, 120, 120, 5775, 855),
    102: (None, 120, 1080, 5775, 2895),
    103: (101, 240, 360, 4815, 315),
    104: (102, 240, 360, 5295, 2295),
    105: (101, 5160, 360, 375, 255),
}


def px(twips):
    return (twips * DPI + 720) // 1440


class DpiTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = harness.WineSession(ARGS.build, ARGS.probe, "dpi")
        try:
            s = cls.session.start()
            for key in (r"HKCU\Control Panel\Desktop",
                        r"HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts"):
                r = s.run("reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(DPI), "/f")
                assert r.returncode == 0, r.stderr
            # The new DPI counts from the next start of the Wine server.
            subprocess.run(["wineserver", "-w"], env=s.env(), timeout=60, check=True)
            cls.main = s.start_quorvel(ARGS.exe, timeout=20).main
        except BaseException:
            cls.session.close()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def test_window_and_controls_scale(self):
        rects = self.session.rects(self.main)
        client = next(r for r in rects if r["kind"] == "client")
        self.assertEqual((client["w"], client["h"]), (px(6045), px(4110)))
        children = {r["id"]: r for r in rects if r["kind"] == "child"}
        for cid, (_, left, top, width, height) in TWIPS.items():
            with self.subTest(id=cid):
                c = children[cid]
                self.assertEqual((c["x"], c["y"], c["w"], c["h"]), (px(left), px(top), px(width), px(height)))

    def test_outcome_caption_in_its_frame(self):
        # The caption is fitted by the frame's own font at this DPI: the long form fits here.
        s = self.session
        txt_wnd = s.child(s.child(self.main, 101), 103)
        self.assertEqual(s.set_text(txt_wnd, self.main).returncode, 0)
        self.assertEqual(s.read_outcome(self.main), "List Items (nothing to read in a QuorvelMainWindow)")


if __name__ == "__main__":
    ARGS, argv = harness.parse_args("exe", "probe", "build", optional=("target", "docs"))
    unittest.main(argv=argv)
