#!/usr/bin/env python3
"""Reads Google Benchmark's JSON output of library_bench and prints its table: the time
of one in-process lookup and of one list opened and closed, and how many of each fit in
one run of the tool doing the same."""
import json
import sys

runs = {b["name"]: b for b in json.load(sys.stdin)["benchmarks"]}


def us(name):
    run = runs[name]
    scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[run["time_unit"]]
    return run["real_time"] * scale


print("| libvosyncloc                   | wall time per call |")
print("|--------------------------------|-------------------:|")
for name in runs:
    print(f"| {name.removesuffix('/real_time'):<30} | {us(name):>15.2f} us |")
print()
for ours, tool in (("libraryLookup", "toolRun/query"), ("libraryListOpenClose", "toolRun/listing")):
    a, b = f"{ours}/real_time", f"{tool}/real_time"
    if a in runs and b in runs:
        print(f"one run of the tool ({tool}) / {ours}: {us(b) / us(a):.0f}x")
