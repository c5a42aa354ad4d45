"""plover: design device profiles for the Marlin RF transceiver from Python.

    import plover
    bp = plover.Blueprint.load("examples/lte-20mhz-2t2r-tdd.json")
    bp.rx2.enabled = False
    profile = plover.develop(bp)
    frequency_hz, magnitude_db = profile.response("rx", 1)

The classes and functions are the library's public object model; the design
work runs without the GIL, so threads design in parallel.
"""

from typing import Any, List

from . import plot
from ._errors import DesignError
from ._plover import (
    AdcRate,
    AnalogFilterOrder,
    Blueprint,
    ChannelFilterInterpolation,
    ChannelFilterType,
    ClockPllMode,
    Duplex,
    DynamicProfile,
    ElbType,
    ExternalLna,
    Feature,
    FrequencyHopping,
    LoExternal,
    LoSource,
    Mcs,
    MonitorModeSync,
    MonitorModeSyncOverSamplingRatio,
    OperationalBandwidth,
    Port,
    ProcessorClockDivisor,
    Profile,
    RxChannel,
    RxChannelSignalSetup,
    SsiDataRate,
    TxChannel,
    chains,
    develop,
    features,
    stream_version,
    version,
)
from ._sweep import sweep

__all__ = [
    "AdcRate", "AnalogFilterOrder", "Blueprint", "ChannelFilterInterpolation", "ChannelFilterType",
    "ClockPllMode", "DesignError", "Duplex", "DynamicProfile", "ElbType", "ExternalLna", "Feature",
    "FrequencyHopping", "LoExternal", "LoSource", "Mcs", "MonitorModeSync",
    "MonitorModeSyncOverSamplingRatio", "OperationalBandwidth", "Port", "ProcessorClockDivisor",
    "Profile", "RxChannel", "RxChannelSignalSetup", "SsiDataRate", "TxChannel", "chains", "develop", "features", "plot",
    "stream_version", "sweep", "version",
]
__version__ = version()


def _blueprint_from_state(text: str, features: List[Feature], expanded_search: bool) -> Blueprint:
    blueprint = Blueprint.from_json(text)
    blueprint.expanded_search_enable = expanded_search
    for feature in features:
        blueprint.enable_feature(feature)
    return blueprint


def _blueprint_reduce(self: Blueprint) -> Any:
    # The file text plus what the file does not carry, so process pools and
    # Dask workers get the whole blueprint.
    return (_blueprint_from_state, (self.to_json(), self.features, self.expanded_search_enable))


def _blueprint_eq(self: Blueprint, other: object) -> bool:
    if not isinstance(other, Blueprint):
        return NotImplemented
    return (self.to_json() == other.to_json() and self.expanded_search_enable == other.expanded_search_enable
            and [(f.id, f.__getstate__()) for f in self.features]
            == [(f.id, f.__getstate__()) for f in other.features])


def _ripple_db(self: Profile, port: Any, channel: int) -> float:
    """Passband ripple of a designed channel over the full grid, dB (peak to peak over |f| <= bandwidth / 2)."""
    return self.response_figures(port, channel)[0]


def _rejection_db(self: Profile, port: Any, channel: int) -> float:
    """Alias (rx) or image (tx) rejection over the full grid, dB: the passband's lowest level above the
    highest level at |f| >= rate - bandwidth / 2."""
    return self.response_figures(port, channel)[1]


Blueprint.__reduce__ = _blueprint_reduce
Blueprint.__eq__ = _blueprint_eq
Blueprint.__hash__ = None
Profile.ripple_db = _ripple_db
Profile.rejection_db = _rejection_db
