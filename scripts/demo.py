#!/usr/bin/env python3
"""Shows Quorvel under Wine beside the demo target, with the target's list box already read.

With a DISPLAY it runs there until both windows are closed; without one it runs on a private Xvfb,
writes a screenshot and stops.
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402


class UserDisplay:
    def __init__(self, name):
        self.name = name

    def close(self):
        pass


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--screenshot", required=True)
    a = ap.parse_args()
    exe = os.path.join(a.build, "mainwindow", "win32", "quorvel.exe")
    target = os.path.join(a.build, "tests", "targets", "listtarget.exe")
    probe = os.path.join(a.build, "tests", "e2e", "probe", "e2eprobe.exe")
    own_display = os.environ.get("DISPLAY")
    session = harness.WineSession(a.build, probe, "demo")
    try:
        session.start()
        if own_display:
            # Run on the user's own screen instead of the private one.
            session.display.close()
            session.display = UserDisplay(own_display)
        handles = session.start_list_target(target)
        quorvel = session.start_quorvel(exe)
        session.focus(quorvel.xid)
        session.click_window(quorvel.txt_wnd)
        session.type_text(str(handles["list"]))
        harness.wait_for(lambda: session.text(quorvel.txt_list), 30, "the items in Quorvel")
        print(f"Quorvel shows the items of the demo list box {handles['list']}; "
              f"its combo box is {handles['combo']}, the 10,000-item list {handles['big']}.")
        if own_display:
            print("Close both windows to end the demo.")
            for p in session.procs:
                p.wait()
        else:
            session.screenshot(a.screenshot)
            print(f"Screenshot: {a.screenshot}")
    finally:
        session.close()


if __name__ == "__main__":
    main()
