"""Python package benchmarks (run with the package on PYTHONPATH, e.g. build/python):

    PYTHONPATH=build/python python3 bench/python_bench.py [--sweep-size 40] [--repeats 7]

1. profile.response() over the full 4 Mi-point grid against the C++ FrequencyResponse_Get
   alone, timed in the same process, interleaved; goal: at most 1.2x.
2. A sweep of the LTE receiver (size x size rates and bandwidths): sequential, the default
   thread pool, and a two-worker local Dask cluster.
"""

import argparse
import statistics
import time
from pathlib import Path

import numpy

import plover
from plover import _plover

EXAMPLES = Path(__file__).resolve().parent.parent / "examples"


def response_benchmark(repeats: int) -> None:
    profile = plover.develop(plover.Blueprint.load(EXAMPLES / "lte-20mhz-2t2r-tdd.json"))
    python_s, native_s = [], []
    for _ in range(repeats):
        native_s += _plover._time_frequency_response_get(profile, "rx", 1, 1)
        begin = time.perf_counter()
        frequency_hz, magnitude_db = profile.response("rx", 1)
        python_s.append(time.perf_counter() - begin)
        del frequency_hz, magnitude_db
    python_median, native_median = statistics.median(python_s), statistics.median(native_s)
    print("response, %d points: python %.1f ms, C++ FrequencyResponse_Get %.1f ms, ratio %.2f (goal <= 1.2)"
          % (4 * 1024 * 1024, python_median * 1e3, native_median * 1e3, python_median / native_median))


def sweep_benchmark(size: int) -> None:
    import distributed

    blueprint = plover.Blueprint.load(EXAMPLES / "lte-20mhz-2t2r-tdd.json")
    blueprint.rx2.enabled = blueprint.tx1.enabled = blueprint.tx2.enabled = False
    rates = [int(r) for r in numpy.linspace(1_920_000, 61_440_000, size)]
    bandwidths = [int(b) for b in numpy.linspace(1_400_000, 40_000_000, size)]
    timings = {}
    tables = {}
    for name in ("sequential", "threads"):
        begin = time.perf_counter()
        tables[name] = plover.sweep(blueprint, "rx", 1, rates, bandwidths,
                                    executor="sequential" if name == "sequential" else None)
        timings[name] = time.perf_counter() - begin
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, distributed.Client(cluster) as client:
        begin = time.perf_counter()
        tables["dask"] = plover.sweep(blueprint, "rx", 1, rates, bandwidths, executor=client)
        timings["dask"] = time.perf_counter() - begin
    same = all(tables[name].equals(tables["sequential"]) for name in tables)
    print("sweep %dx%d (%d viable): sequential %.1f s, threads %.1f s, 2-worker Dask %.1f s; tables equal: %s"
          % (size, size, int(tables["sequential"]["viable"].sum()), timings["sequential"], timings["threads"],
             timings["dask"], same))


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sweep-size", type=int, default=40)
    parser.add_argument("--repeats", type=int, default=7)
    arguments = parser.parse_args()
    response_benchmark(arguments.repeats)
    sweep_benchmark(arguments.sweep_size)


if __name__ == "__main__":
    main()
