#!/usr/bin/env python3
"""Measures whole-process cost of vosyncloc against the floor program and a peer.

For each form of output it reports instructions (callgrind, repeatable on a noisy
machine), median wall time (hyperfine) and peak resident memory, then the ratios to
the floor; afterwards the JSON library's benchmark ratios. It is a benchmark: it
prints, it never fails because the machine is slow.

Usage: measure.py BUILD_DIR
"""
import json
import os
import re
import subprocess
import sys
import tempfile
from collections import defaultdict

FORMS = [("text listing", []), ("JSON listing", ["--json"]), ("query", ["runtimeDir"])]
PEER_ARGS = {"text listing": [], "JSON listing": [], "query": ["system-runtime"]}


def callgrind(cmd, keep_objects=False):
    """Total instructions of one run, and optionally self instructions per object."""
    with tempfile.NamedTemporaryFile(suffix=".callgrind") as out:
        subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out.name]
                       + cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        text = open(out.name, encoding="utf-8", errors="replace").read()
    total = int(re.search(r"^(?:summary|totals): (\d+)", text, re.M).group(1))
    return total, (objects_of(text) if keep_objects else None)


def objects_of(text):
    """Self instructions per shared object, from callgrind's output format."""
    names, per_object = {}, defaultdict(int)
    current, skip_next = "?", False
    for line in text.splitlines():
        # Object names are defined once, on an ob= or cob= line, then cited by number.
        m = re.match(r"^(c?)ob=\((\d+)\)(?: (.*))?$", line)
        if m:
            if m.group(3):
                names[m.group(2)] = m.group(3)
            if not m.group(1):
                current = names.get(m.group(2), "?")
            continue
        if line.startswith("calls="):
            skip_next = True  # the next cost line is the callee's inclusive cost
            continue
        if line and (line[0].isdigit() or line[0] in "+-*"):
            if skip_next:
                skip_next = False
                continue
            parts = line.split()
            if len(parts) >= 2:
                per_object[os.path.basename(current)] += int(parts[1])
    return per_object


def wall_median_ms(cmd):
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        subprocess.run(["hyperfine", "-N", "--warmup", "50", "--runs", "1000",
                        "--export-json", out.name, "--output=null",
                        " ".join(cmd)], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        result = json.load(open(out.name))["results"][0]
    return result["median"] * 1000.0


def max_rss_kib(cmd):
    """Peak resident set of one run. GNU time is a small parent: a child forked from
    this Python process would count Python's own pages from before the exec."""
    result = subprocess.run(["/usr/bin/time", "-f", "%M"] + cmd, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True, check=False)
    return int(result.stderr.strip().splitlines()[-1])


def row(label, values, floor):
    instr, wall, rss = values
    fi, fw, _ = floor
    return (f"| {label:<13} | {instr:>12,} | {instr / fi:>5.2f}x | {wall:>8.3f} ms"
            f" | {wall / fw:>5.2f}x | {rss:>7,} KiB |")


def main():
    build = sys.argv[1]
    tool = os.path.join(build, "app", "vosyncloc")
    floor = os.path.join(build, "bench", "vosyncloc_floor")
    peer = "/usr/bin/systemd-path"
    print("| program       | instructions | /floor | median wall | /floor | max RSS     |")
    print("|---------------|-------------:|-------:|------------:|-------:|------------:|")
    objects = None
    for form, args in FORMS:
        print(f"| **{form}** | | | | | |")
        measured = {}
        for label, cmd in (("floor", [floor] + args), ("vosyncloc", [tool] + args),
                           ("systemd-path", [peer] + PEER_ARGS[form])):
            if not os.path.exists(cmd[0]):
                continue
            want_objects = label == "vosyncloc" and objects is None
            instr, per_object = callgrind(cmd, want_objects)
            if per_object is not None:
                objects = per_object
            measured[label] = (instr, wall_median_ms(cmd), max_rss_kib(cmd))
        for label, values in measured.items():
            print(row(label, values, measured["floor"]))
    if objects:
        total = sum(objects.values())
        print("\nvosyncloc text listing, self instructions by object:")
        for name, count in sorted(objects.items(), key=lambda kv: -kv[1])[:8]:
            print(f"  {count:>10,}  {100.0 * count / total:5.1f}%  {name}")


if __name__ == "__main__":
    main()
