#!/usr/bin/env python3
"""Runs the list-reader benchmark under Wine on a private display and writes the figures it prints.

Starts benchtarget and quorvel.exe in a throw-away prefix, runs benchdriver against them, and tears all of it down.
"""

import argparse
import collections
import os
import platform
import re
import signal
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402
import peimage  # noqa: E402
import winehost  # noqa: E402

BEGIN, END = "<!-- bench:begin -->", "<!-- bench:end -->"
EXE_LIMIT = 1024 * 1024  # bytes


def cpu_name():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown CPU"


def session_processes(prefix, known):
    """The Linux processes of a Wine prefix, by its WINEPREFIX: pid -> the program's name (as Wine shows it: the
    Windows program's, lower case) and its arguments. known keeps whether each pid seen before was the prefix's,
    so that its environment is read once."""
    want = b"WINEPREFIX=" + os.fsencode(prefix) + b"\0"
    found = {}
    for pid in map(int, filter(str.isdigit, os.listdir("/proc"))):
        try:
            if pid not in known:
                known[pid] = False
                with open(f"/proc/{pid}/environ", "rb") as f:
                    known[pid] = want in f.read() + b"\0"
            if known[pid]:
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    words = [w.decode("utf-8", "replace") for w in f.read().split(b"\0")]
                found[pid] = (re.split(r"[\\/]", words[0])[-1].lower(), words[1:])
        except OSError:
            pass  # gone, or not ours to read
    return found


def allowed_cpus(pid):
    """The CPUs each thread of a process may run on, as Linux lists them ("1", "0-1")."""
    cpus = set()
    for tid in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{tid}/status") as f:
            cpus.update(line.split()[1] for line in f if line.startswith("Cpus_allowed_list:"))
    return cpus


class CpuWatch(threading.Thread):
    """Looks every few seconds, from Linux's side, at where the threads of the run's processes may run: Quorvel's
    (quorvel.exe and quorvel.com, which the driver moves between CPUs through Wine), the driver's measuring
    processes (benchdriver --measure: the floors, the per-cell copies and the rewrite loop, put where Quorvel
    reads), and every other process of the prefix (wineserver, the target, the driver, Wine's own services)."""

    def __init__(self, prefix, interval=5.0):
        super().__init__(daemon=True)
        self.prefix, self.interval = prefix, interval
        self.seen = {who: collections.Counter() for who in ("quorvel", "measuring", "others")}
        self.stop = threading.Event()

    def run(self):
        known = {}
        while not self.stop.wait(self.interval):
            for pid, (program, args) in session_processes(self.prefix, known).items():
                try:
                    cpus = " and ".join(sorted(allowed_cpus(pid)))
                except OSError:
                    continue
                who = ("quorvel" if program in ("quorvel.exe", "quorvel.com")
                       else "measuring" if program == "benchdriver.exe" and "--measure" in args else "others")
                self.seen[who][cpus] += 1

    def report(self):
        def tally(counter):
            return ", ".join(f"on CPU {cpus} in {n}" for cpus, n in counter.most_common()) or "never seen"
        return (f"CPU check, from Linux's side every {self.interval:.0f} s, process by process (the CPUs its "
                f"threads may run on; \"A and B\": its threads on different CPUs):\n"
                f"  Quorvel's processes {tally(self.seen['quorvel'])} looks\n"
                f"  the measuring processes (floors, per-cell copies, rewrite loop) {tally(self.seen['measuring'])} "
                f"looks\n"
                f"  the run's other Wine processes (target, wineserver, driver) {tally(self.seen['others'])} looks")


def run(args):
    build = os.path.abspath(args.build)
    exe = args.exe or os.path.join(build, "mainwindow", "win32", "quorvel.exe")
    com = os.path.splitext(exe)[0] + ".com"
    target = args.target or os.path.join(build, "benchmark", "benchtarget.exe")
    driver = args.driver or os.path.join(build, "benchmark", "benchdriver.exe")
    for path in (exe, com, target, driver):
        if not os.path.isfile(path):
            sys.exit(f"run_bench: {path} is missing; build its preset first")

    pinned = own = None
    if not args.no_pin and hasattr(os, "sched_setaffinity"):
        # Every message wakes wineserver, the target and Quorvel in turn; spread freely over CPUs those
        # wake-ups cost more than the work and change from run to run by up to 2x. Pinned, the figures
        # repeat. Children, wineserver included, inherit this CPU; the driver gives Quorvel a second one
        # (through Wine's SetProcessAffinityMask, which reaches every thread of the process), so that the
        # window's thread lays out rows while the target answers, and moves it back for the reference runs.
        cpus = sorted(os.sched_getaffinity(0))
        pinned = cpus[0]
        own = cpus[1] if len(cpus) > 1 and not args.one_cpu else None
        os.sched_setaffinity(0, {pinned})
    started = time.monotonic()
    load_before = os.getloadavg()
    # The probe is not needed: the driver finds Quorvel's window itself.
    with harness.WineSession(build, None, "bench") as session:
        handles = session.path("bench-handles.txt")
        # The finding part's desk of windows only when it is timed: its windows slow nothing else, but cost a start.
        session.spawn(target, "--handles", harness.win_path(handles), *(["--desk"] if "finding" in args.parts else []))
        harness.wait_for(lambda: os.path.exists(handles), args.start_timeout, "the bench target's handles file")
        session.spawn(exe)
        print("run_bench: target and Quorvel started; timing (progress on stderr)", file=sys.stderr, flush=True)
        driver_args = ["--handles", harness.win_path(handles), "--reps", args.reps, "--reps-large", args.reps_large,
                       "--reps-reference", args.reps_reference, "--reps-reference-large", args.reps_reference_large,
                       "--reps-accessible-large", args.reps_accessible_large,
                       "--max-items", args.max_items,
                       "--rewrite-reps", args.rewrite_reps,
                       "--rewrite-budget-s", args.rewrite_budget, "--timeout-s", args.message_timeout,
                       "--parts", args.parts, "--cancels", args.cancels,
                       "--command-line", harness.win_path(com), "--exe", harness.win_path(exe)]
        if own is not None:
            driver_args += ["--cpus", f"{pinned},{own}"]
        watch = CpuWatch(session.prefix)
        watch.start()
        try:
            result = subprocess.run(harness.wine(driver, *driver_args), env=session.env(), stdin=subprocess.DEVNULL,
                                    stdout=subprocess.PIPE, timeout=args.timeout)
        finally:
            watch.stop.set()
            watch.join()
    elapsed = time.monotonic() - started
    out = result.stdout.decode("utf-8", "replace").replace("\r\n", "\n")
    if result.returncode != 0:
        sys.stdout.write(out)
        sys.exit(f"run_bench: benchdriver exited {result.returncode}")

    if own is not None:
        arrangement = (f"the target, wineserver and the driver (which starts reads and watches the caption) on CPU "
                       f"{pinned}; Quorvel (quorvel.exe, quorvel.com) and the measuring processes (the floors, the "
                       f"per-cell copies and the rewrite loop, each in a process of its own) on CPU {own}; 1-CPU "
                       f"columns and lines: Quorvel moved to CPU {pinned} too, every process on one CPU as in earlier "
                       "runs, for reference (targets hold for the first arrangement)")
    elif pinned is not None:
        arrangement = f"every process on CPU {pinned}"
    else:
        arrangement = "processes not pinned"
    load = os.getloadavg()
    header = [
        f"Quorvel list-reader benchmark, {time.strftime('%Y-%m-%d')}, {harness.wine_version()}, "
        f"{32 if peimage.is_32bit(exe) else 64}-bit build, {cpu_name()}, {os.cpu_count()} CPUs, "
        f"load before the run {load_before[0]:.2f} (1 min), after {load[0]:.2f}",
        f"Arrangement: {arrangement}.",
        "Medians in milliseconds. floor: the reader's messages sent from a bare loop, nothing kept, in a process "
        "where Quorvel reads; "
        "reader: Quorvel, from the change of txtWnd to its frame saying the read has ended, the listing shown; "
        "command line: quorvel.com --read to a file, from its start to its exit; "
        "rewrite: the whole field read back and written again per item; "
        f"\">\" marks a run stopped after {args.rewrite_budget} s (a lower bound).",
        "",
    ]
    sizes = {os.path.basename(p): os.path.getsize(p) for p in (exe, com)}
    footer = [f"{name} size: {size} bytes (target <= {EXE_LIMIT}) {'PASS' if size <= EXE_LIMIT else 'MISS'}"
              for name, size in sizes.items()]
    footer.append(watch.report())
    footer.append(f"benchmark run time: {elapsed:.0f} s")
    figures = "\n".join(header) + "\n" + out.rstrip("\n") + "\n" + "\n".join(footer) + "\n"
    return figures


def update_readme(readme, figures):
    try:
        with open(readme, encoding="utf-8") as f:
            text = f.read()
    except FileNotFoundError:
        print(f"run_bench: {readme} does not exist; README not updated")
        return
    pattern = re.compile(re.escape(BEGIN) + r".*?" + re.escape(END), re.S)
    if not pattern.search(text):
        print(f"run_bench: {readme} has no {BEGIN} ... {END} block; README not updated")
        return
    block = f"{BEGIN}\n```text\n{figures}```\n{END}"
    with open(readme, "w", encoding="utf-8") as f:
        f.write(pattern.sub(lambda _: block, text, count=1))
    print(f"run_bench: updated the figures in {readme}")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", help="build folder (default: build/mingw-i686, or build/mingw-x86_64 on a host "
                        "that runs no 32-bit code)")
    parser.add_argument("--exe", help="quorvel.exe (default: the one in the build folder)")
    parser.add_argument("--target", help="benchtarget.exe")
    parser.add_argument("--driver", help="benchdriver.exe")
    parser.add_argument("--reps", type=int, default=5, help="repetitions at 1,000 and 10,000 items")
    parser.add_argument("--reps-large", type=int, default=5, help="repetitions at 100,000 items")
    parser.add_argument("--reps-reference", type=int, default=3,
                        help="repetitions at 1,000 and 10,000 items of the reader with every process on one CPU, of "
                        "the per-cell copy and of the command line")
    parser.add_argument("--reps-reference-large", type=int, default=1, help="the same at 100,000 items")
    parser.add_argument("--reps-accessible-large", type=int, default=3,
                        help="repetitions of the 100,000-item accessible list (about 5 minutes each for floor and "
                        "reader)")
    parser.add_argument("--max-items", type=int, default=100000, choices=(1000, 10000, 100000),
                        help="largest list to time (the summary needs 100000)")
    parser.add_argument("--rewrite-reps", type=int, default=1, help="per-item rewrite repetitions at 1,000 items")
    parser.add_argument("--rewrite-budget", type=int, default=60,
                        help="seconds one per-item rewrite may run before it stops and reports a lower bound")
    parser.add_argument("--message-timeout", type=int, default=600, help="seconds one message may take")
    parser.add_argument("--start-timeout", type=int, default=300, help="seconds the target may take to fill")
    parser.add_argument("--timeout", type=int, default=5 * 3600, help="seconds the whole driver run may take")
    parser.add_argument("--parts", default="first,boxes,views,trees,cancel,accessible,finding",
                        help="what to time, comma-separated: first (the first rows of the largest list of every "
                        "kind), boxes (list and combo boxes), views (list views), trees, cancel (Esc mid-read, and "
                        "reads cancelled part way), accessible (lists told only through accessibility), finding "
                        "(--list and --read by selector on a desktop of many windows)")
    parser.add_argument("--cancels", type=int, default=1000, help="reads to cancel part way")
    parser.add_argument("--no-pin", action="store_true", help="let the processes run on any CPU")
    parser.add_argument("--one-cpu", action="store_true",
                        help="every process on one CPU, Quorvel too (otherwise Quorvel gets a second CPU to itself)")
    parser.add_argument("--update-readme", action="store_true", help="put the figures into README.md")
    parser.add_argument("--readme", default=os.path.join(ROOT, "README.md"))
    args = parser.parse_args()
    if not args.build:
        args.build = os.path.join(ROOT, "build", "mingw-i686" if winehost.runs_32bit() else "mingw-x86_64")
    # A run stopped with Ctrl+C or kill still tears down its Wine session, display and driver (a shell starts a
    # background job with SIGINT ignored, which Python would keep).
    signal.signal(signal.SIGINT, signal.default_int_handler)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("run_bench: stopped"))

    figures = run(args)
    out = os.path.join(os.path.abspath(args.build), "benchmark-figures.txt")
    with open(out, "w", encoding="utf-8") as f:
        f.write(figures)
    sys.stdout.write(figures)
    print(f"run_bench: figures written to {out}")
    if args.update_readme:
        update_readme(args.readme, figures)


if __name__ == "__main__":
    main()
