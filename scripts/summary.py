#!/usr/bin/env python3
"""One line of figures over a test run: hostile behaviours and bad inputs tried, fuzz executions, crashes and
lost items, memory left in targets, gathered from the figures the end-to-end suites keep and from the fuzzers' final statistics, and
whether the 32-bit exe's end-to-end suites ran or were skipped, and why."""
import glob
import json
import os
import re
import sys

build = sys.argv[1] if len(sys.argv) > 1 else "build"
totals = {"hostile_behaviours": 0, "hostile_view_behaviours": 0, "bad_inputs": 0, "fuzz_executions": 0,
          "crashes": 0, "lost_items": 0, "leaked_bytes": 0}
for path in glob.glob(os.path.join(build, "*", "figures", "*.json")):
    with open(path) as f:
        figures = json.load(f)
    name = os.path.basename(path)[:-5]
    if name == "hostile":
        totals["hostile_behaviours"] += figures.get("behaviours", 0)
        totals["hostile_view_behaviours"] += figures.get("view_behaviours", 0)
    elif name == "paste":
        totals["bad_inputs"] += figures.get("inputs", 0)
    totals["crashes"] += figures.get("crashes", 0)
    totals["lost_items"] += figures.get("lost_items", 0)
    totals["leaked_bytes"] += figures.get("leaked_bytes", 0)
log = os.path.join(build, "sanitize", "Testing", "Temporary", "LastTest.log")
if os.path.exists(log):
    with open(log, errors="replace") as f:
        text = f.read()
    totals["fuzz_executions"] = sum(int(n) for n in re.findall(r"stat::number_of_executed_units:\s*(\d+)", text))
    totals["crashes"] += len(re.findall(r"==\d+==ERROR: (?:AddressSanitizer|libFuzzer)", text))
i686 = os.path.join(build, "mingw-i686")
skipped = os.path.join(i686, "figures", "e2e-skipped.json")
if os.path.exists(skipped):
    with open(skipped) as f:
        totals["i686_e2e"] = f"skipped ({json.load(f)['reason']})"
elif os.path.exists(os.path.join(i686, "Testing", "Temporary", "LastTest.log")):
    totals["i686_e2e"] = "ran"
else:
    totals["i686_e2e"] = "not run"
print("summary: " + " ".join(f"{k}={v}" for k, v in totals.items()))
