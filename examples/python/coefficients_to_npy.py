"""Writes the filters of a designed receive path to .npy files and checks them with NumPy.

    python3 coefficients_to_npy.py [--output-dir DIR] [BLUEPRINT.json]
        ->  DIR/<stage>.npy for each filter, DIR/coefficients.png
"""

import argparse
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as pyplot  # noqa: E402
import numpy  # noqa: E402

import plover  # noqa: E402

EXAMPLES = Path(__file__).resolve().parent.parent


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output-dir", type=Path, default=Path("."))
    parser.add_argument("blueprint", nargs="?", type=Path, default=EXAMPLES / "lte-20mhz-2t2r-tdd.json")
    arguments = parser.parse_args()

    profile = plover.develop(plover.Blueprint.load(arguments.blueprint))
    figure, ax = pyplot.subplots(figsize=(8, 4.5), constrained_layout=True)
    for stage in profile.coefficients("rx", 1):
        path = arguments.output_dir / ("%s.npy" % stage["name"])
        numpy.save(path, stage["fixed_taps"])
        stored = numpy.load(path)
        # The integers are the taps in fixed point: equal after scaling, to within one step.
        assert numpy.array_equal(stored, stage["fixed_taps"])
        assert numpy.allclose(stored / stage["unity"], stage["taps"], atol=1.0 / stage["unity"])
        dc_gain = float(numpy.sum(stage["taps"]))
        print("%-8s %3d taps  x%-2d at %8.3f MHz  DC gain %.6f  -> %s"
              % (stage["name"], stored.size, stage["factor"], stage["rate_hz"] / 1e6, dc_gain, path))
        ax.plot(stage["taps"], ".-", label=stage["name"])
    ax.set_xlabel("tap")
    ax.set_ylabel("coefficient")
    ax.legend(fontsize=8)
    ax.set_title("Rx1 filters of %s" % arguments.blueprint.stem)
    figure.savefig(arguments.output_dir / "coefficients.png", dpi=110)


if __name__ == "__main__":
    main()
