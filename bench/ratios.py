#!/usr/bin/env python3
"""Speed goals of the engine as ratios measured in one run.

Every engine case runs beside the previous implementation (its "/reference"
twin, built into the same benchmark program), so each ratio compares two
timings taken minutes apart on the same machine. The programs run once with
the kernels on the best instruction set the machine has and once forced to
each instruction set given with --targets (SCALAR is the baseline x86-64
build), so the gain per instruction set shows.

    bash scripts/build.sh --bench
    python3 bench/ratios.py [--bench-dir build-bench/bench] [--repetitions 5] [--targets SCALAR,AVX2]

Medians of the repetitions; CPU time (the steadier figure on a shared
machine) with wall time beside it.
"""
import argparse
import json
import os
import re
import subprocess
import sys

# (label, case, denominator, limit): case / denominator must not exceed limit.
GOALS = [
    ("floor (grid + dB, 2^22 points)", "BM_ResponseFloor", "BM_ResponseFloor/reference", 0.4),
    ("Engine_RxResponse, 2^22 points", "BM_RxResponse30p72", "BM_RxResponse30p72/reference", 0.5),
    ("Engine_RxResponse against the floor", "BM_RxResponse30p72", "BM_ResponseFloor", 1.5),
    ("127-tap equiripple design", "BM_Equiripple127", "BM_Equiripple127/reference", 0.6),
    ("21-tap equiripple design", "BM_Equiripple21", "BM_Equiripple21/reference", 0.6),
    ("13-tap equiripple design", "BM_Equiripple13", "BM_Equiripple13/reference", None),
    ("30.72 MHz Rx compensation", "BM_RxMagComp30p72", "BM_RxMagComp30p72/reference", None),
]
SEARCH_CASES = ["nb_1234567", "wb_1300000", "wb_2000001", "nb_250001", "nb_25000"]


def run(program, target, repetitions):
    command = [program, "--benchmark_format=json", f"--benchmark_repetitions={repetitions}",
               "--benchmark_report_aggregates_only=true"]
    if target:
        command.append(f"--vector-target={target}")
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"{' '.join(command)} failed:\n{result.stderr}")
    report = json.loads(result.stdout)
    medians = {}
    counters = {}
    for entry in report["benchmarks"]:
        if entry.get("aggregate_name") != "median":
            continue
        # Cases with a fixed iteration count carry it in their names.
        name = re.sub(r"/iterations:\d+$", "", entry["run_name"])
        scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[entry["time_unit"]]
        medians[name] = (entry["cpu_time"] * scale, entry["real_time"] * scale)
        counters[name] = entry
    return report["context"].get("vector_target", "?"), medians, counters


def ratio_line(label, medians, case, denominator, limit):
    if case not in medians or denominator not in medians:
        return f"  {label:44s} (not measured)", True
    cpu = medians[case][0] / medians[denominator][0]
    wall = medians[case][1] / medians[denominator][1]
    ok = limit is None or cpu <= limit
    goal = f"<= {limit:.2f}" if limit is not None else "     "
    verdict = "" if limit is None else ("met" if ok else "MISSED")
    return (f"  {label:44s} {cpu:6.3f}  (wall {wall:6.3f})  {goal}  {verdict:6s}"
            f"  [{medians[case][0] * 1e3:9.3f} ms vs {medians[denominator][0] * 1e3:9.3f} ms CPU]"), ok


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--bench-dir", default=os.path.join(root, "build-bench", "bench"))
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--targets", default="SCALAR", help="forced instruction sets, comma separated")
    parser.add_argument("--skip-search", action="store_true", help="leave out the modelling search (slow)")
    args = parser.parse_args()

    programs = [os.path.join(args.bench_dir, "engine_bench")]
    if not args.skip_search:
        programs.append(os.path.join(args.bench_dir, "engine_search_bench"))
    for program in programs:
        if not os.access(program, os.X_OK):
            sys.exit(f"{program} not found: build it with  bash scripts/build.sh --bench")

    all_ok = True
    for target in [""] + [t for t in args.targets.split(",") if t]:
        medians = {}
        counters = {}
        used = None
        for program in programs:
            used, m, c = run(program, target, args.repetitions)
            medians.update(m)
            counters.update(c)
        heading = "best instruction set" if not target else "forced"
        print(f"kernels on {used} ({heading}); ratio new / previous unless stated, CPU-time medians of "
              f"{args.repetitions}")
        for label, case, denominator, limit in GOALS:
            line, ok = ratio_line(label, medians, case, denominator, limit)
            print(line)
            all_ok = all_ok and (ok or bool(target))
        for name in SEARCH_CASES:
            case = f"MinimizeAllRatios/{name}"
            clocks = counters.get(case, {}).get("feasibleClocks")
            label = f"minimise ripple, {name}" + (f" ({clocks:.0f} clocks)" if clocks else "")
            line, ok = ratio_line(label, medians, case, case + "/reference", 0.6)
            print(line)
            all_ok = all_ok and (ok or bool(target))
        print()
    return 0 if all_ok else 1


if __name__ == "__main__":
    sys.exit(main())
