"""Pictures of designs with matplotlib, imported only when something is drawn.

    import plover, plover.plot
    profile = plover.develop(plover.Blueprint.load("lte.json"))
    ax = plover.plot.response(profile, "rx", 1)
    ax.figure.savefig("rx1.png")
"""

from typing import Any, Optional, Sequence, Tuple

import numpy

# Points drawn per curve: the full grid holds millions, a figure needs a few thousand.
_DRAWN_POINTS = 4000


def _axes(ax: Any) -> Any:
    if ax is not None:
        return ax
    import matplotlib.pyplot as pyplot

    _, ax = pyplot.subplots(figsize=(8, 4.5))
    return ax


def _thin(frequency_hz: numpy.ndarray, magnitude_db: numpy.ndarray) -> Tuple[numpy.ndarray, numpy.ndarray]:
    # Peak-preserving decimation: each drawn point pair is a block's min and
    # max, so stopband peaks and ripple extremes survive.
    size = magnitude_db.size
    if size <= 2 * _DRAWN_POINTS:
        return frequency_hz, magnitude_db
    block = size // _DRAWN_POINTS
    usable = block * _DRAWN_POINTS
    blocks = magnitude_db[:usable].reshape(_DRAWN_POINTS, block)
    frequencies = frequency_hz[:usable].reshape(_DRAWN_POINTS, block)[:, 0]
    low, high = blocks.min(axis=1), blocks.max(axis=1)
    return numpy.repeat(frequencies, 2), numpy.column_stack([low, high]).ravel()


def _port_name(port: Any) -> str:
    if isinstance(port, str):
        return port
    from ._plover import Port

    return "rx" if Port(port) == Port.RX else "tx"


def _channel_facts(profile: Any, port: str, channel: int) -> Tuple[float, float]:
    record = profile.to_dict()
    if port == "rx":
        facts = record["rx"]["rxChannelCfg"][channel - 1]["profile"]
        return float(facts["rxOutputRate_Hz"]), float(facts["primarySigBandwidth_Hz"])
    facts = record["tx"]["txProfile"][channel - 1]
    return float(facts["txInputRate_Hz"]), float(facts["primarySigBandwidth_Hz"])


def response(profile: Any, port: str, channel: int, ax: Any = None, span: Optional[Sequence[float]] = None,
             inset: bool = True, label: Optional[str] = None) -> Any:
    """Draws a channel's magnitude response in dB, with a passband inset and the ripple
    and rejection annotated; returns the axes.

    ``span`` is (start_hz, stop_hz) of the main plot (default: the whole grid).
    """
    port_name = _port_name(port)
    frequency_hz, magnitude_db = profile.response(port, channel)
    ripple_db, rejection_db = profile.response_figures(port, channel)
    rate_hz, bandwidth_hz = _channel_facts(profile, port_name, channel)
    ax = _axes(ax)
    if span is not None:
        start, stop = span
        keep = (frequency_hz >= start) & (frequency_hz <= stop)
        frequency_hz, magnitude_db = frequency_hz[keep], magnitude_db[keep]
    x, y = _thin(frequency_hz, magnitude_db)
    name = label or "%s%d" % (port_name.upper(), channel)
    line, = ax.plot(x / 1e6, y, linewidth=0.8, label=name)
    ax.set_xlabel("frequency (MHz)")
    ax.set_ylabel("magnitude (dB)")
    ax.grid(True, alpha=0.3)
    ax.set_ylim(max(float(numpy.min(magnitude_db)), -160.0) - 5.0, 5.0)
    ax.axvline(bandwidth_hz / 2e6, color=line.get_color(), linestyle=":", linewidth=0.8)
    ax.axvline((rate_hz - bandwidth_hz / 2) / 1e6, color=line.get_color(), linestyle="--", linewidth=0.8)
    what = "alias" if port_name == "rx" else "image"
    ax.text(0.99, 0.97 - 0.08 * (len(ax.texts)), "%s: ripple %.4f dB, %s rejection %.1f dB" %
            (name, ripple_db, what, rejection_db), transform=ax.transAxes, ha="right", va="top", fontsize=8,
            color=line.get_color())
    if inset:
        passband = numpy.abs(frequency_hz) <= bandwidth_hz / 2
        if numpy.any(passband):
            box = ax.inset_axes([0.08, 0.08, 0.35, 0.35])
            px, py = _thin(frequency_hz[passband], magnitude_db[passband])
            box.plot(px / 1e6, py, linewidth=0.8, color=line.get_color())
            box.set_title("passband", fontsize=7)
            box.tick_params(labelsize=6)
            box.grid(True, alpha=0.3)
    ax.legend(loc="lower right", fontsize=8)
    return ax


def chain(profile: Any, port: Any, channel: int, ax: Any = None, span: str = "default") -> Any:
    """Draws each part of a channel's path (the analog front and converter, then every filter)
    and the whole channel over a named span ("default", "passband", "output", "full"); returns the axes."""
    ax = _axes(ax)
    result = profile.response_parts(port, channel, span)
    frequency_hz = result["frequency_hz"]
    for name, magnitude_db in result["parts"].items():
        x, y = _thin(frequency_hz, magnitude_db)
        ax.plot(x / 1e6, y, linewidth=0.7, label=name)
    x, y = _thin(frequency_hz, result["magnitude_db"])
    ax.plot(x / 1e6, y, color="black", linewidth=1.2, label="channel")
    ax.axvline(result["bandwidth_hz"] / 2e6, color="0.5", linestyle=":", linewidth=0.8)
    ax.set_xlabel("frequency (MHz)")
    ax.set_ylabel("magnitude (dB)")
    ax.set_ylim(max(float(numpy.min(result["magnitude_db"])), -160.0) - 5.0, 5.0)
    ax.grid(True, alpha=0.3)
    ax.legend(loc="lower left", fontsize=7, ncol=2)
    ax.set_title("%s%d: ripple %.4f dB, rejection %.1f dB" % (_port_name(port).upper(), channel,
                                                               result["ripple_db"], result["rejection_db"]))
    return ax


def sweep(table: Any, axes: Any = None) -> Any:
    """Draws a sweep's viability and ripple maps (rate against bandwidth); returns the two axes."""
    if axes is None:
        import matplotlib.pyplot as pyplot

        _, axes = pyplot.subplots(1, 2, figsize=(11, 4.5), constrained_layout=True)
    viability_ax, ripple_ax = axes
    rates = numpy.unique(table["rate_hz"].to_numpy())
    bandwidths = numpy.unique(table["bandwidth_hz"].to_numpy())
    viable = table.pivot(index="bandwidth_hz", columns="rate_hz", values="viable").reindex(
        index=bandwidths, columns=rates).to_numpy(dtype=float)
    ripple = table.pivot(index="bandwidth_hz", columns="rate_hz", values="ripple_db").reindex(
        index=bandwidths, columns=rates).to_numpy(dtype=float)
    extent = [rates[0] / 1e6, rates[-1] / 1e6, bandwidths[0] / 1e6, bandwidths[-1] / 1e6]
    viability_ax.imshow(viable, origin="lower", aspect="auto", extent=extent, cmap="RdYlGn", vmin=0, vmax=1,
                        interpolation="nearest")
    viability_ax.set_title("viable (green)")
    image = ripple_ax.imshow(numpy.ma.masked_invalid(ripple), origin="lower", aspect="auto", extent=extent,
                             cmap="viridis", interpolation="nearest")
    ripple_ax.set_title("passband ripple (dB)")
    ripple_ax.figure.colorbar(image, ax=ripple_ax)
    for ax in axes:
        ax.set_xlabel("rate (MHz)")
        ax.set_ylabel("bandwidth (MHz)")
    return axes
