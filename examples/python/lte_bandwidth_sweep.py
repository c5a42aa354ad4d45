"""Sweeps an LTE 10 MHz receiver over sampling rates and plots its passband ripple and alias rejection.

    python3 lte_bandwidth_sweep.py [--output-dir DIR]   ->  DIR/lte_bandwidth_sweep.png
"""

import argparse
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as pyplot  # noqa: E402

import plover  # noqa: E402

EXAMPLES = Path(__file__).resolve().parent.parent
RATES_HZ = [11_520_000, 13_440_000, 15_360_000, 19_200_000, 23_040_000, 26_880_000, 30_720_000, 46_080_000]
BANDWIDTH_HZ = 9_000_000  # the occupied part of a 10 MHz LTE channel


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output-dir", type=Path, default=Path("."))
    output = parser.parse_args().output_dir / "lte_bandwidth_sweep.png"

    blueprint = plover.Blueprint.load(EXAMPLES / "lte-20mhz-2t2r-tdd.json")
    # Rx1 alone: the other channels would have to share its clocks.
    blueprint.rx2.enabled = blueprint.tx1.enabled = blueprint.tx2.enabled = False
    table = plover.sweep(blueprint, "rx", 1, rates_hz=RATES_HZ, bandwidths_hz=[BANDWIDTH_HZ])
    print(table[["rate_hz", "viable", "system_clock_hz", "ripple_db", "rejection_db"]].to_string(index=False))
    viable = table[table["viable"]]

    figure, (ripple_ax, rejection_ax) = pyplot.subplots(2, 1, figsize=(8, 6), sharex=True, constrained_layout=True)
    ripple_ax.plot(viable["rate_hz"] / 1e6, viable["ripple_db"], "o-")
    for rate_hz in table[~table["viable"]]["rate_hz"]:
        for ax in (ripple_ax, rejection_ax):
            ax.axvline(rate_hz / 1e6, color="0.8", linewidth=4, zorder=0)
    ripple_ax.set_ylabel("passband ripple (dB)")
    rejection_ax.plot(viable["rate_hz"] / 1e6, viable["rejection_db"], "s-", color="tab:red")
    rejection_ax.set_ylabel("alias rejection (dB)")
    rejection_ax.set_xlabel("Rx1 sampling rate (MHz); grey: no design")
    for ax in (ripple_ax, rejection_ax):
        ax.grid(True, alpha=0.3)
    figure.suptitle("LTE receiver, %.0f MHz occupied bandwidth" % (BANDWIDTH_HZ / 1e6))
    figure.savefig(output, dpi=110)
    print(output)


if __name__ == "__main__":
    main()
