#!/usr/bin/env python3
"""Reads Google Benchmark's JSON output and prints the JSON library's table: each
benchmark's time and throughput, the scanner's throughput as a ratio of the reference
reader's, and how time grows when the text grows (linear growth keeps it near 1)."""
import json
import sys

runs = {b["name"]: b for b in json.load(sys.stdin)["benchmarks"]}


def mbps(name):
    return runs[name].get("bytes_per_second", 0.0) / 1e6


print("| benchmark                  | time per call | throughput  |")
print("|----------------------------|--------------:|------------:|")
for name, run in runs.items():
    t = run["real_time"]
    unit = run["time_unit"]
    rate = f"{mbps(name):8.1f} MB/s" if "bytes_per_second" in run else ""
    print(f"| {name:<26} | {t:>10.1f} {unit:<2} | {rate:>11} |")

print()
for size in ("1024", "65536", "1048576"):
    ours, ref = f"scannerParse/{size}", f"referenceParse/{size}"
    if ours in runs and ref in runs:
        print(f"scanner throughput / reference at {size:>7} bytes: "
              f"{mbps(ours) / mbps(ref):.2f}x")
for name in ("scannerParse", "findLastMember"):
    small, large = runs.get(f"{name}/65536"), runs.get(f"{name}/1048576")
    if small and large:
        per_byte = (large["real_time"] / 1048576) / (small["real_time"] / 65536)
        print(f"{name}: time per byte at 1 MB / at 64 KB = {per_byte:.2f} (1.00 is linear)")
