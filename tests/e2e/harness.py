"""Scaffolding for end-to-end tests: an Xvfb display, a Wine prefix per run, processes, probe and input.

Everything a session starts is torn down by WineSession.close(), which also runs when setup fails halfway.
"""

import argparse
import collections
import contextlib
import fcntl
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

import peimage
import winehost

# Bump when the template's registry settings change, so existing templates get rebuilt.
TEMPLATE_REVISION = "8"

# Wine's UI fonts have no CJK glyphs, and the prefix has no CJK font, so "日本語" shows as boxes. A CJK font from
# Debian (fonts-wqy-microhei) fills in: the edit controls lay text out with Uniscribe, whose fallback face for Han
# and Kana is SimSun, so SimSun is replaced by it; text drawn without Uniscribe reaches it through the UI fonts'
# font links. Latin text keeps the face asked for either way.
CJK_FACE = "WenQuanYi Micro Hei"
CJK_LINK = "wqy-microhei.ttc," + CJK_FACE
LINKED_FACES = ("Tahoma", "MS Shell Dlg", "MS Shell Dlg 2", "Microsoft Sans Serif", "MS Sans Serif", "Segoe UI",
                "System")
# Wine's own fonts (Tahoma, Marlett for the caption buttons, System, ...) as Debian's fonts-wine installs them.
# Debian's Wine 8 looks for them in <data dir>/../fonts, that is /usr/share/fonts, and never finds them, so the
# template links them into C:\windows\Fonts, where every Wine finds its fonts. Only the TrueType ones: a raster
# System font takes no font link, and the demo target's list boxes would show Japanese as bars.
WINE_FONTS = "/usr/share/wine/fonts"


def reg_multi_sz(*strings):
    """A REG_MULTI_SZ value as a REGEDIT4 file writes it."""
    data = "".join(s + "\0" for s in strings).encode("ascii") + b"\0"
    return "hex(7):" + ",".join(f"{b:02x}" for b in data)


TEMPLATE_REG = r"""REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"winemenubuilder.exe"=""

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]
"LogPixels"=dword:00000060
""" + f"""
[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"SimSun"="{CJK_FACE}"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]
""" + "".join(f'"{face}"={reg_multi_sz(CJK_LINK)}\n' for face in LINKED_FACES)

SCREEN = "1024x768x24"

# Control IDs of Quorvel's main window.
ID_FRAME1, ID_FRAME2, ID_TXTWND, ID_TXTLIST, ID_CAPTURE = 101, 102, 103, 104, 105

# A running Quorvel: its process, its main window, its three controls and its X window.
Quorvel = collections.namedtuple("Quorvel", "proc main txt_wnd txt_list capture xid")


class ProbeError(AssertionError):
    """A probe command failed; carries its exit code and output for the test report."""

    def __init__(self, args, code, out, err):
        super().__init__(f"probe {' '.join(map(str, args))} exited {code}: {out!r} {err!r}")
        self.code = code
        self.out = out
        self.err = err


def wait_for(cond, timeout, what="condition", interval=0.05):
    """Polls cond() until it returns something truthy, or raises TimeoutError at the deadline."""
    deadline = time.monotonic() + timeout
    while True:
        value = cond()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def win_path(path):
    """Unix path as Wine sees it through the Z: drive a fresh prefix maps to /."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def base_env():
    env = dict(os.environ)
    env["WINEDEBUG"] = "-all"
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml=;winemenubuilder.exe=d"
    # Wine converts command-line arguments with the Unix charset.
    env["LANG"] = env["LC_ALL"] = "C.UTF-8"
    return winehost.loader_env(env)


# What Wine's loader prints when it could not start a program at all.
NOT_STARTED = b"ShellExecuteEx failed"


def wine(exe, *args):
    """The command line that starts a Windows program, or one of Wine's own (wineboot, regedit, reg)."""
    return [winehost.loader(), exe, *map(str, args)]


def wine_version():
    return subprocess.run(wine("--version"), capture_output=True, text=True, check=True).stdout.strip()


def read_exactly(stream, size, timeout):
    """size bytes from a pipe, or what came before the timeout: a Wine service that inherited the pipe may keep it
    open past the program's end, so its end is not waited for."""
    got = bytearray()
    done = threading.Event()

    def pump():
        while len(got) < size:
            chunk = stream.read1(size - len(got))
            if not chunk:
                break
            got.extend(chunk)
        done.set()

    threading.Thread(target=pump, daemon=True).start()
    done.wait(timeout)
    return bytes(got)


@contextlib.contextmanager
def file_lock(path):
    with open(path, "w") as f:
        fcntl.flock(f, fcntl.LOCK_EX)
        try:
            yield
        finally:
            fcntl.flock(f, fcntl.LOCK_UN)


def ensure_template(build_dir):
    """Creates <build>/wineprefix-template once; a stamp records the settings, loader and Wine version behind it."""
    template = os.path.join(build_dir, "wineprefix-template")
    stamp = os.path.join(template, ".quorvel-template-stamp")
    want = f"{TEMPLATE_REVISION} {winehost.loader()} {wine_version()}"
    with file_lock(template + ".lock"):
        with contextlib.suppress(OSError), open(stamp) as f:
            if f.read() == want:
                return template
        shutil.rmtree(template, ignore_errors=True)
        env = base_env()
        env["WINEPREFIX"] = template
        env.pop("DISPLAY", None)
        subprocess.run(wine("wineboot", "--init"), env=env, check=True, timeout=300,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        fonts = os.path.join(template, "drive_c", "windows", "Fonts")
        for name in os.listdir(WINE_FONTS) if os.path.isdir(WINE_FONTS) else ():
            if not name.endswith(".ttf"):
                continue
            with contextlib.suppress(FileExistsError):
                os.symlink(os.path.join(WINE_FONTS, name), os.path.join(fonts, name))
        reg = os.path.join(template, "quorvel-template.reg")
        with open(reg, "w", encoding="ascii", newline="\r\n") as f:
            f.write(TEMPLATE_REG)
        subprocess.run(wine("regedit", "/S", win_path(reg)), env=env, check=True, timeout=120,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # The registry reaches the *.reg files only once the server has gone.
        subprocess.run(["wineserver", "-w"], env=env, check=True, timeout=120)
        os.remove(reg)
        with open(stamp, "w") as f:
            f.write(want)
    return template


def copy_prefix(template, dest):
    """Hard-link copy of the template; the registry files get real copies because Wine rewrites them."""
    subprocess.run(["cp", "-al", template, dest], check=True)
    for name in os.listdir(dest):
        if name.endswith(".reg"):
            os.remove(os.path.join(dest, name))
            shutil.copy2(os.path.join(template, name), os.path.join(dest, name))


class Display:
    """A private Xvfb server; -displayfd lets it pick a free display number itself."""

    def __init__(self, log_path):
        read_fd, write_fd = os.pipe()
        self._log = open(log_path, "wb")
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", SCREEN, "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=self._log, stderr=subprocess.STDOUT, start_new_session=True)
        os.close(write_fd)
        try:
            self.number = self._read_display(read_fd, timeout=30)
        finally:
            os.close(read_fd)
        self.name = f":{self.number}"
        wait_for(lambda: os.path.exists(f"/tmp/.X11-unix/X{self.number}"), 30, "the Xvfb socket")

    def _read_display(self, fd, timeout):
        data = b""
        deadline = time.monotonic() + timeout
        while not data.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or self.proc.poll() is not None:
                raise RuntimeError("Xvfb did not report a display number")
            ready, _, _ = select.select([fd], [], [], left)
            if ready:
                chunk = os.read(fd, 64)
                if not chunk:
                    raise RuntimeError("Xvfb closed its display pipe")
                data += chunk
        return int(data.strip())

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self._log.close()


class WineSession:
    """One display and one throw-away prefix, shared by the processes of a test class."""

    def __init__(self, build_dir, probe_exe, name="e2e"):
        self.build_dir = os.path.abspath(build_dir)
        self.probe_exe = probe_exe
        self.name = name
        self.display = None
        self.prefix = None
        self.run_dir = None
        self.procs = []

    # --- lifetime ----------------------------------------------------------------------------------

    def start(self):
        template = ensure_template(self.build_dir)
        runs = os.path.join(self.build_dir, "e2e-runs")
        os.makedirs(runs, exist_ok=True)
        self.run_dir = tempfile.mkdtemp(prefix=self.name + "-", dir=runs)
        self.prefix = os.path.join(self.run_dir, "prefix")
        copy_prefix(template, self.prefix)
        self.display = Display(os.path.join(self.run_dir, "xvfb.log"))
        return self

    def close(self):
        if self.prefix:
            with contextlib.suppress(Exception):
                subprocess.run(["wineserver", "-k"], env=self.env(), timeout=30,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                subprocess.run(["wineserver", "-w"], env=self.env(), timeout=30)
        for p in self.procs:
            if p.poll() is None:
                with contextlib.suppress(Exception):
                    os.killpg(p.pid, signal.SIGKILL)
                p.wait()
        self.procs = []
        if self.display:
            self.display.close()
            self.display = None
        if self.run_dir and not os.environ.get("QUORVEL_KEEP_RUN"):
            shutil.rmtree(self.run_dir, ignore_errors=True)

    def __enter__(self):
        try:
            return self.start()
        except BaseException:
            self.close()
            raise

    def __exit__(self, *exc):
        self.close()

    # --- processes ---------------------------------------------------------------------------------

    def env(self):
        env = base_env()
        env["WINEPREFIX"] = self.prefix
        if self.display:
            env["DISPLAY"] = self.display.name
        return env

    def path(self, name):
        """A file in this run's scratch folder."""
        return os.path.join(self.run_dir, name)

    def spawn(self, exe, *args):
        """Starts a Windows program in the background; its output goes to a log in the run folder."""
        log = open(self.path(f"{os.path.basename(exe)}-{len(self.procs)}.log"), "wb")
        p = subprocess.Popen(wine(exe, *args), env=self.env(), stdin=subprocess.DEVNULL,
                             stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        log.close()
        self.procs.append(p)
        return p

    def run(self, exe, *args, timeout=60):
        """Runs a Windows program to its end. Its output goes through files, not pipes: a Wine service the
        program happens to start (explorer, services) inherits its handles and would hold a pipe open. On a busy
        machine the 32-bit loader now and then fails to hand a 64-bit program on to the 64-bit one and says so
        instead of starting it; the program never ran, so it is started once more."""
        r = self.run_once(exe, *args, timeout=timeout)
        if r.returncode != 0 and NOT_STARTED in r.stdout + r.stderr:
            r = self.run_once(exe, *args, timeout=timeout)
        return r

    def run_once(self, exe, *args, timeout=60):
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            p = subprocess.Popen(wine(exe, *args), env=self.env(), stdin=subprocess.DEVNULL,
                                 stdout=out, stderr=err)
            try:
                code = p.wait(timeout)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
                raise
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(p.args, code, out.read(), err.read())

    def start_background(self, exe, *args):
        """Starts a Windows program whose end a test waits for later; finish(timeout) returns what run() would."""
        session = self

        class Background:
            out, err = tempfile.TemporaryFile(), tempfile.TemporaryFile()
            proc = subprocess.Popen(wine(exe, *args), env=session.env(), stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=err, start_new_session=True)

            def finish(self, timeout):
                code = self.proc.wait(timeout)
                self.out.seek(0)
                self.err.seek(0)
                return subprocess.CompletedProcess(self.proc.args, code, self.out.read(), self.err.read())

        self.procs.append(Background.proc)
        return Background()

    def probe(self, *args, timeout_ms=None, check=True):
        """Runs the probe and returns its stdout bytes; a failure raises ProbeError unless check is False."""
        limit = 60 + (timeout_ms or 0) / 1000
        command = (self.probe_exe, *args, *([timeout_ms] if timeout_ms is not None else []))
        r = self.run(*command, timeout=limit)
        if r.returncode != 0 and not r.stdout and not r.stderr:
            # On a busy machine Wine now and then ends a program before it has run, without a word; every
            # failure of the probe's own says something or answers a query that can be asked again.
            r = self.run(*command, timeout=limit)
        if check and r.returncode != 0:
            raise ProbeError(args, r.returncode, r.stdout, r.stderr)
        return r.stdout if check else r

    def probe_int(self, *args, **kw):
        return int(self.probe(*args, **kw).strip())

    def find_window(self, caption, timeout=60):
        return self.probe_int("find", caption, timeout_ms=int(timeout * 1000))

    def child(self, parent, control_id):
        return self.probe_int("child", parent, control_id)

    def text(self, hwnd):
        return self.probe("text", hwnd).decode("utf-8")

    def wait_text(self, hwnd, expected, timeout=30):
        """Waits until the window's text is exactly expected; failure reports the first difference."""
        fd, path = tempfile.mkstemp(suffix=".txt", dir=self.run_dir)
        with os.fdopen(fd, "wb") as f:
            f.write(expected.encode("utf-8"))
        try:
            r = self.probe("wait-text", hwnd, win_path(path), timeout_ms=int(timeout * 1000), check=False)
        finally:
            os.remove(path)
        if r.returncode != 0:
            report = (f"probe exit {r.returncode}\n" + r.stdout.decode("utf-8", "replace")
                      + r.stderr.decode("utf-8", "replace"))
            raise AssertionError(f"text of window {hwnd} never became the {len(expected)} expected characters:\n{report}")

    def set_text(self, hwnd, text, timeout_ms=5000):
        """WM_SETTEXT from the probe, which returns once the window has handled it; the probe's result."""
        fd, path = tempfile.mkstemp(suffix=".txt", dir=self.run_dir)
        with os.fdopen(fd, "wb") as f:
            f.write(str(text).encode("utf-8"))
        try:
            return self.probe("settext", hwnd, win_path(path), timeout_ms, check=False)
        finally:
            os.remove(path)

    def read_outcome(self, main, timeout=30):
        """Waits until Quorvel's "List Items" frame says how its last read ended (not "reading") and returns that
        caption. A read starts inside the change of txtWnd, so once a change is handled the caption says "reading"
        until the read is over."""
        frame = self.child(main, ID_FRAME2)

        def ended():
            caption = self.text(frame)
            return caption if caption != "List Items" and "reading" not in caption and "\u2026" not in caption else None

        return wait_for(ended, timeout, "the read to end")

    def glyphs(self, face, text):
        """The face a font request for face gets in this prefix, and how many characters of text it has no glyph for."""
        fd, path = tempfile.mkstemp(suffix=".txt", dir=self.run_dir)
        with os.fdopen(fd, "wb") as f:
            f.write(text.encode("utf-8"))
        try:
            out = self.probe("glyphs", face, win_path(path)).decode("utf-8")
        finally:
            os.remove(path)
        info = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return info["face"], int(info["missing"])

    def rects(self, top):
        return [json.loads(line) for line in self.probe("rects", top).decode("utf-8").splitlines() if line]

    def screen_rect(self, hwnd):
        x, y, w, h = map(int, self.probe("screenrect", hwnd).split())
        return x, y, w, h

    def focused(self, hwnd):
        """The window with keyboard focus in the thread that owns hwnd, or 0."""
        return self.probe_int("focus", hwnd)

    def start_quorvel(self, exe, timeout=60):
        """Starts Quorvel and waits for its window and the X window that shows it."""
        proc = self.spawn(exe)
        main = self.find_window("Quorvel", timeout=timeout)
        return Quorvel(proc, main, self.child(main, ID_TXTWND), self.child(main, ID_TXTLIST),
                       self.child(main, ID_CAPTURE), self.find_x_window("^Quorvel$"))

    def start_list_target(self, target_exe, *extra_args, timeout=60):
        """Starts the demo target and returns its handles file as a dict of name -> int."""
        handles = self.path(f"handles-{len(self.procs)}.txt")
        self.spawn(target_exe, "--handles", win_path(handles), *extra_args)
        wait_for(lambda: os.path.exists(handles), timeout, "the target's handles file")
        with open(handles) as f:
            return {k: int(v) for k, v in (line.split("=", 1) for line in f.read().split() if "=" in line)}

    # --- X input and output ------------------------------------------------------------------------

    def xdotool(self, *args, timeout=30):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env(), capture_output=True, text=True,
                              timeout=timeout)

    def find_x_window(self, name_regex, timeout=60):
        """X window id of a visible window whose title matches name_regex."""

        def search():
            r = self.xdotool("search", "--onlyvisible", "--name", name_regex)
            ids = r.stdout.split()
            return int(ids[0]) if r.returncode == 0 and ids else None

        return wait_for(search, timeout, f"an X window named {name_regex}", interval=0.2)

    def focus(self, xid):
        # Wine takes keyboard input only while one of its X windows has the focus.
        self.xdotool("windowraise", xid)
        r = self.xdotool("windowfocus", "--sync", xid)
        if r.returncode != 0:
            raise RuntimeError(f"xdotool windowfocus failed: {r.stderr}")

    def click(self, x, y):
        # No --sync: it waits for pointer motion, which never comes when the pointer is already there.
        # The X server keeps the fake motion and the click in order anyway.
        self.xdotool("mousemove", x, y, "click", "1")

    def click_window(self, hwnd):
        """Clicks inside a Windows window, whatever process owns it."""
        x, y, w, h = self.screen_rect(hwnd)
        # Two quick clicks on one spot make a double-click, and an edit control does not take the focus
        # from that; alternating between two points keeps every click a single one.
        self._click_side = not getattr(self, "_click_side", False)
        self.click(x + (w // 3 if self._click_side else 2 * w // 3), y + h // 2)

    def focus_field(self, xid, top, field, what):
        """Gives a field the focus with a real click on it, and waits until its top-level window says so."""
        self.focus(xid)
        self.click_window(field)
        wait_for(lambda: self.focused(top) == field, 10, f"focus in {what}")

    def clear_field(self, xid, top, field, what):
        """Empties an edit field with real keys."""
        self.focus_field(xid, top, field, what)
        # Select everything, then delete it; ctrl+a is not reliable in Wine's edit control.
        self.key("End", "shift+Home", "BackSpace")
        self.wait_text(field, "", timeout=10)

    def type_text(self, text, delay_ms=20):
        self.xdotool("type", "--delay", delay_ms, "--", text)

    def key(self, *keys, delay_ms=20):
        self.xdotool("key", "--delay", delay_ms, *keys)

    def x_icon_sizes(self, xid):
        """(width, height) of each icon Wine put in the X window's _NET_WM_ICON property."""
        r = subprocess.run(["xprop", "-id", str(xid), "_NET_WM_ICON"], env=self.env(), capture_output=True,
                           text=True, timeout=30)
        return [tuple(map(int, m)) for m in re.findall(r"Icon \((\d+) x (\d+)\)", r.stdout)]

    def screenshot(self, path, xid=None):
        target = str(xid) if xid is not None else "root"
        subprocess.run(["import", "-window", target, path], env=self.env(), check=True, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path


def png_size(path):
    """Width and height from a PNG's IHDR chunk."""
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path} is not a PNG")
    return int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")


def update_docs_picture(docs, path, name):
    """Copies a screenshot into the README's pictures, only when asked: --docs given and
    QUORVEL_UPDATE_SCREENSHOT=1."""
    if docs and os.environ.get("QUORVEL_UPDATE_SCREENSHOT") == "1":
        os.makedirs(docs, exist_ok=True)
        shutil.copyfile(path, os.path.join(docs, name))


def press_f12_until(session, xid, field, text, timeout=10):
    """Holds F12 until the field shows text, so that at least one tick of the tracking timer sees the key
    down and newly pressed."""
    session.focus(xid)
    session.xdotool("keydown", "F12")
    try:
        session.wait_text(field, text, timeout=timeout)
    finally:
        session.xdotool("keyup", "F12")


def record_figures(build_dir, name, figures):
    """Keeps a suite's figures in <build>/figures/<name>.json for the summary line of the test command."""
    folder = os.path.join(build_dir, "figures")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name + ".json"), "w") as f:
        json.dump(figures, f)


def skip_unless_host_runs(build_dir, exe):
    """Ends the suite as skipped when the exe is 32-bit and this host runs no 32-bit code, and keeps the reason
    for the summary line; ctest counts the exit code as a skip, never a pass."""
    if peimage.is_32bit(exe) and not winehost.runs_32bit():
        print(f"skipped: {winehost.NO_32BIT}: {exe} is a 32-bit exe")
        record_figures(build_dir, "e2e-skipped", {"reason": winehost.NO_32BIT})
        sys.exit(winehost.SKIP_CODE)


def parse_args(*required, optional=()):
    """The suite's own options, as ctest passes them; what is left goes to unittest. A suite whose exe this
    host cannot run ends here as skipped."""
    parser = argparse.ArgumentParser()
    for name in required:
        parser.add_argument(f"--{name}", required=True)
    for name in optional:
        parser.add_argument(f"--{name}")
    args, rest = parser.parse_known_args()
    if getattr(args, "exe", None) and getattr(args, "build", None):
        skip_unless_host_runs(args.build, args.exe)
    return args, [sys.argv[0], *rest]


def main_with_figures(args, argv, name, figures):
    """Runs the suite, prints its figures on one line, keeps them for the summary and exits with its result."""
    started = time.monotonic()
    program = unittest.main(argv=argv, exit=False)
    shown = " ".join(f"{key}={value}" for key, value in figures.items())
    print(f"{name}: {shown} seconds={time.monotonic() - started:.0f}")
    record_figures(args.build, name, figures)
    sys.exit(0 if program.result.wasSuccessful() else 1)
