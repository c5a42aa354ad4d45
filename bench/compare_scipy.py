#!/usr/bin/env python3
"""plover against scipy and numpy on the same problems, timed in one run.

- Equiripple low-pass designs of 21 and 127 taps: scipy.signal.remez on its
  default grid (16 points per cosine term) against plover's exchange on a grid
  of the same spacing (engine_bench's BM_Equiripple21Dense and
  BM_Equiripple127Dense), with the largest difference of the taps.
- The 30.72 MHz Rx stage cascade (with its compensation filter) on 2^22
  points in dB: numpy's FFT pipeline (each stage's FFT on the points it can
  tell apart, the images folded by index, 20 log10) against plover's
  BM_ChainResponse30p72, with the largest difference in dB above -200 dB.

    bash scripts/build.sh --bench
    python3 bench/compare_scipy.py [--bench-dir build-bench/bench] [--repetitions 5]

Medians of the repetitions, CPU time; ratio = plover / scipy or numpy.
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np
from scipy import signal


def cpu_median(function, repetitions, inner):
    times = []
    for _ in range(repetitions):
        start = time.process_time()
        for _ in range(inner):
            function()
        times.append((time.process_time() - start) / inner)
    return statistics.median(times)


def plover_medians(program, pattern, repetitions):
    command = [program, f"--benchmark_filter={pattern}", "--benchmark_format=json",
               f"--benchmark_repetitions={repetitions}", "--benchmark_report_aggregates_only=true"]
    result = subprocess.run(command, capture_output=True, text=True, check=True)
    report = json.loads(result.stdout)
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    return report["context"].get("vector_target", "?"), {
        entry["run_name"]: entry["cpu_time"] * scale[entry["time_unit"]]
        for entry in report["benchmarks"] if entry.get("aggregate_name") == "median"}


def stage_taps(stage):
    """Symmetric taps whose DFT magnitude is the stage's magnitude."""
    c = np.array(stage["c"], dtype=float)
    if stage["kind"] == "cic":
        box = np.ones(stage["cicLength"]) / stage["cicLength"]
        return np.convolve(np.convolve(box, box), box)
    if stage["kind"] == "halfband":
        taps = np.zeros(4 * len(c) + 1)
        centre = 2 * len(c)
        taps[centre] = 0.5
        for i, value in enumerate(c):
            taps[centre - (2 * i + 1)] = taps[centre + (2 * i + 1)] = value / 2
        return taps
    taps = np.zeros(2 * len(c) - 1)
    centre = len(c) - 1
    taps[centre] = c[0]
    for m in range(1, len(c)):
        taps[centre - m] = taps[centre + m] = c[m] / 2
    return taps


def numpy_chain_db(stages, n):
    """The cascade on n points: stage s sees point k at (k M_s mod n) / n."""
    magnitude = np.ones(n)
    k = np.arange(n, dtype=np.int64)
    product = 1
    for stage in stages:
        shift = (product & -product).bit_length() - 1
        q = max(1, n >> shift)
        odd = product >> shift
        taps = stage_taps(stage)
        # The taps fold onto q points when the stage sees fewer points than it has taps.
        folded = np.zeros(q)
        np.add.at(folded, np.arange(len(taps)) % q, taps)
        table = np.abs(np.fft.fft(folded))
        magnitude *= table[(k * odd) % q]
        product *= max(1, stage["factor"])
    return 20.0 * np.log10(np.maximum(magnitude, 1e-300))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--bench-dir", default=os.path.join(root, "build-bench", "bench"))
    parser.add_argument("--repetitions", type=int, default=5)
    args = parser.parse_args()
    program = os.path.join(args.bench_dir, "engine_bench")
    if not os.access(program, os.X_OK):
        sys.exit(f"{program} not found: build it with  bash scripts/build.sh --bench")

    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([program, "--dump", folder], check=True)
        with open(os.path.join(folder, "chain.json")) as f:
            chain = json.load(f)
        plover_db = np.fromfile(os.path.join(folder, "chain-dB.f64"), dtype=np.float64)
        taps = {length: np.array(json.load(open(os.path.join(folder, f"taps-{length}.json"))))
                for length in (21, 127)}

    target, plover = plover_medians(program, "BM_Equiripple(21|127)Dense$|BM_ChainResponse30p72$",
                                    args.repetitions)
    rows = []
    for length, bands in ((21, [0, 0.2, 0.25, 0.5]), (127, [0, 0.1, 0.125, 0.5])):
        design = lambda: signal.remez(length, bands, [1, 0], fs=1.0)
        scipy_time = cpu_median(design, args.repetitions, 20 if length == 21 else 5)
        difference = np.max(np.abs(design() - taps[length]))
        rows.append((f"{length}-tap equiripple design", plover[f"BM_Equiripple{length}Dense"], "scipy.signal.remez",
                     scipy_time, f"taps differ by {difference:.1e}"))
    n = chain["points"]
    numpy_time = cpu_median(lambda: numpy_chain_db(chain["stages"], n), args.repetitions, 1)
    numpy_db = numpy_chain_db(chain["stages"], n)
    visible = (plover_db > -200) | (numpy_db > -200)
    difference = np.max(np.abs(plover_db[visible] - numpy_db[visible]))
    rows.append((f"chain response, {n} points, dB", plover["BM_ChainResponse30p72"], "numpy FFT pipeline",
                 numpy_time, f"dB differ by {difference:.1e} above -200 dB"))

    print(f"plover kernels on {target}; CPU-time medians of {args.repetitions}")
    for problem, ours, other, theirs, note in rows:
        print(f"  {problem:36s} plover {ours * 1e3:9.3f} ms  {other:20s} {theirs * 1e3:9.3f} ms"
              f"  ratio {ours / theirs:5.2f}  ({note})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
