"""Sweeps an LTE receiver's RF bandwidth at the two LTE sampling rates and plots its passband ripple
and alias rejection.

    python3 lte_bandwidth_sweep.py [--output-dir DIR]   ->  DIR/lte_bandwidth_sweep.png
"""

import argparse
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as pyplot  # noqa: E402

import plover  # noqa: E402

EXAMPLES = Path(__file__).resolve().parent.parent
RATES_HZ = [15_360_000, 30_720_000]  # the 10 and 20 MHz LTE channels
BANDWIDTHS_HZ = [mhz * 1_000_000 for mhz in range(3, 26)]


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output-dir", type=Path, default=Path("."))
    output = parser.parse_args().output_dir / "lte_bandwidth_sweep.png"

    blueprint = plover.Blueprint.load(EXAMPLES / "lte-20mhz-2t2r-tdd.json")
    # Rx1 alone: the other channels would have to share its clocks.
    blueprint.rx2.enabled = blueprint.tx1.enabled = blueprint.tx2.enabled = False
    table = plover.sweep(blueprint, "rx", 1, rates_hz=RATES_HZ, bandwidths_hz=BANDWIDTHS_HZ)
    print(table[["rate_hz", "bandwidth_hz", "viable", "ripple_db", "rejection_db"]].to_string(index=False))

    figure, (ripple_ax, rejection_ax) = pyplot.subplots(2, 1, figsize=(8, 6), sharex=True, constrained_layout=True)
    for rate_hz, rows in table[table["viable"]].groupby("rate_hz"):
        label = "%.2f MSPS" % (rate_hz / 1e6)
        ripple_ax.plot(rows["bandwidth_hz"] / 1e6, rows["ripple_db"], "o-", label=label)
        rejection_ax.plot(rows["bandwidth_hz"] / 1e6, rows["rejection_db"], "s-", label=label)
    ripple_ax.set_yscale("log")
    ripple_ax.set_ylabel("passband ripple (dB)")
    rejection_ax.set_ylabel("alias rejection (dB)")
    rejection_ax.set_xlabel("Rx1 RF bandwidth (MHz); a line ends where no design exists")
    for ax in (ripple_ax, rejection_ax):
        ax.grid(True, alpha=0.3)
        ax.legend()
    figure.suptitle("LTE receiver: ripple and rejection against bandwidth")
    figure.savefig(output, dpi=100)
    print(output)


if __name__ == "__main__":
    main()
