"""Design-space sweeps: one channel designed at every rate and bandwidth of a grid."""

import concurrent.futures
import itertools
import os
from typing import Any, Dict, Iterable, List, Optional

from ._errors import DesignError
from ._plover import Blueprint, develop

COLUMNS = ["rate_hz", "bandwidth_hz", "viable", "status", "system_clock_hz", "ripple_db", "rejection_db",
           "first_report"]


def _channel(blueprint: Blueprint, port: str, channel: int) -> Any:
    if port not in ("rx", "tx"):
        raise ValueError('port: "%s" is not "rx" or "tx"' % (port,))
    if channel not in (1, 2):
        raise ValueError("channel: %r is not 1 or 2" % (channel,))
    return getattr(blueprint, "%s%d" % (port, channel))


def _design_point(blueprint: Blueprint, port: str, channel: int, rate_hz: int, bandwidth_hz: int,
                  expanded_search: bool) -> Dict[str, Any]:
    # Runs in a worker (thread, process or Dask): everything it needs comes in
    # the arguments, and the row it returns is plain data.
    row: Dict[str, Any] = {"rate_hz": rate_hz, "bandwidth_hz": bandwidth_hz, "viable": False, "status": 0,
                           "system_clock_hz": 0, "ripple_db": float("nan"), "rejection_db": float("nan"),
                           "first_report": ""}
    design = blueprint.copy()
    target = _channel(design, port, channel)
    target.enabled = True
    target.sampling_rate_hz = rate_hz
    target.rf_channel_bandwidth_hz = bandwidth_hz
    try:
        profile = develop(design, expanded_search=expanded_search)
    except DesignError as error:
        row["status"] = error.status if error.status is not None else -1
        row["first_report"] = error.reports[0] if error.reports else error.message
        return row
    ripple_db, rejection_db = profile.response_figures(port, channel)
    row.update(viable=True, system_clock_hz=profile.system_clock_hz, ripple_db=ripple_db,
               rejection_db=rejection_db)
    return row


def _rows(executor: Any, arguments: List[tuple]) -> List[Dict[str, Any]]:
    columns = [list(column) for column in zip(*arguments)]
    if hasattr(executor, "gather") and hasattr(executor, "map"):
        # A dask.distributed Client: map gives futures, gather their results.
        # pure=False: equal arguments are still separate designs.
        return executor.gather(executor.map(_design_point, *columns, pure=False))
    return list(executor.map(_design_point, *columns))


def sweep(blueprint: Blueprint, port: str, channel: int, rates_hz: Iterable[int], bandwidths_hz: Iterable[int],
          executor: Optional[Any] = None, expanded_search: bool = False) -> "pandas.DataFrame":  # noqa: F821
    """Designs the channel at every (rate, bandwidth) combination and tabulates the outcome.

    Returns a pandas DataFrame, one row per combination in rate-major order, with the
    columns rate_hz, bandwidth_hz, viable, status (0 or the library's failure status),
    system_clock_hz, ripple_db, rejection_db (full-grid figures; NaN when not viable) and
    first_report (the first report line of a failed design).

    ``executor``: None uses every core with threads (designs run without the GIL);
    "sequential" runs in the calling thread; any concurrent.futures executor (a
    ProcessPoolExecutor, say) or a dask.distributed Client runs the same work there.
    """
    import pandas

    _channel(blueprint, port, channel)
    rates = [int(rate) for rate in rates_hz]
    bandwidths = [int(bandwidth) for bandwidth in bandwidths_hz]
    arguments = [(blueprint, port, channel, rate, bandwidth, expanded_search)
                 for rate, bandwidth in itertools.product(rates, bandwidths)]
    if executor == "sequential":
        rows = [_design_point(*point) for point in arguments]
    elif executor is None:
        with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 1) as pool:
            rows = _rows(pool, arguments)
    else:
        rows = _rows(executor, arguments)
    return pandas.DataFrame(rows, columns=COLUMNS)
