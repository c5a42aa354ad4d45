"""Compares the Rx1 responses of two blueprints in one figure.

    python3 compare_rx_responses.py [--output-dir DIR] [A.json B.json]  ->  DIR/compare_rx_responses.png
"""

import argparse
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as pyplot  # noqa: E402

import plover  # noqa: E402
import plover.plot  # noqa: E402

EXAMPLES = Path(__file__).resolve().parent.parent


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output-dir", type=Path, default=Path("."))
    parser.add_argument("blueprints", nargs="*", type=Path,
                        default=[EXAMPLES / "lte-20mhz-2t2r-tdd.json", EXAMPLES / "lte-10mhz-2t2r-tdd.json"])
    arguments = parser.parse_args()

    figure, ax = pyplot.subplots(figsize=(9, 5), constrained_layout=True)
    for path in arguments.blueprints:
        profile = plover.develop(plover.Blueprint.load(path))
        plover.plot.response(profile, "rx", 1, ax=ax, span=(0, 80e6), inset=False, label=path.stem)
    ax.set_title("Rx1 magnitude responses")
    output = arguments.output_dir / "compare_rx_responses.png"
    figure.savefig(output, dpi=110)
    print(output)


if __name__ == "__main__":
    main()
