"""Type hints of the extension module plover._plover (the library's public object model)."""

import enum
import os
from typing import Any, Dict, List, Optional, Sequence, Tuple, Union

import numpy
import numpy.typing

_Path = Union[str, os.PathLike]
_PortLike = Union[str, "Port", int]

class Duplex(enum.IntEnum):
    """Duplex mode of the device."""
    TDD = 0
    FDD = 1
    TDM_FDD = 2

class ClockPllMode(enum.IntEnum):
    """Clock PLL operating mode."""
    HIGH_PERFORMANCE = 0
    LOW_POWER = 1

class AdcRate(enum.IntEnum):
    """ADC clock rate class."""
    LOW = 1
    MED = 2
    HIGH = 3

class ProcessorClockDivisor(enum.IntEnum):
    """Divisor from the system clock to the stream processor clock."""
    DIVISOR_1 = 1
    DIVISOR_2 = 2
    DIVISOR_4 = 4
    DIVISOR_8 = 8
    DIVISOR_16 = 16
    DIVISOR_32 = 32
    DIVISOR_64 = 64
    DIVISOR_128 = 128
    DIVISOR_256 = 256

class AnalogFilterOrder(enum.IntEnum):
    """Order of a receiver's analog low-pass filter."""
    ORDER_1 = 1
    ORDER_2 = 2

class ChannelFilterType(enum.IntEnum):
    """Where a channel's filter comes from."""
    DISABLED = 0
    CUSTOM = 1
    LOOK_UP = 2

class ChannelFilterInterpolation(enum.IntEnum):
    """Interpolation of a transmitter's channel filter."""
    INTERPOLATE_BY_1 = 1
    INTERPOLATE_BY_2 = 2
    INTERPOLATE_BY_3 = 3

class RxChannelSignalSetup(enum.IntEnum):
    """Signal setup of a narrow-band receiver."""
    NONE = 0
    DMR = 1
    ANALOG_FM = 2
    P25 = 3

class SsiDataRate(enum.IntEnum):
    """SSI data rate."""
    SINGLE = 0
    DOUBLE = 1

class LoSource(enum.IntEnum):
    """LO source of a channel."""
    INTERNAL = 0
    EXTERNAL = 1

class ElbType(enum.IntEnum):
    """External loop-back of a transmitter."""
    DISABLED = 0
    BEFORE_PA = 1
    AFTER_PA = 2

class OperationalBandwidth(enum.IntEnum):
    """Bandwidth class a channel falls in."""
    WIDE = 1
    NARROW = 2

class MonitorModeSyncOverSamplingRatio(enum.IntEnum):
    """Oversampling ratio of monitor-mode sync."""
    OSR_2 = 2
    OSR_4 = 4
    OSR_8 = 8

class Port(enum.IntEnum):
    """Signal direction of a channel: receive or transmit."""
    RX = 0
    TX = 1

class Feature:
    """A device feature a blueprint can enable (one per ID)."""
    @property
    def id(self) -> str:
        """The feature's ID, as the tool's --feature option names it."""

class FrequencyHopping(Feature):
    """Frequency hopping (ID "FH")."""
    def __init__(self, mode: int = ..., min_frame_duration_us: int = ..., min_operating_frequency_khz: int = ...) -> None:
        """Defaults: the library's (see plover.features())."""
    @property
    def mode(self) -> int: ...
    @property
    def min_frame_duration_us(self) -> int: ...
    @property
    def min_operating_frequency_khz(self) -> int: ...

class Mcs(Feature):
    """Multi-chip synchronisation (ID "MCS")."""
    def __init__(self, mode: int = ..., interface_type: int = ..., min_operating_frequency_khz: int = ...) -> None:
        """Defaults: the library's (see plover.features())."""
    @property
    def mode(self) -> int: ...
    @property
    def interface_type(self) -> int: ...
    @property
    def min_operating_frequency_khz(self) -> int: ...

class MonitorModeSync(Feature):
    """Monitor-mode sync (ID "MMSync")."""
    def __init__(self, monitor_mode_sync_over_sampling_ratio: Union[MonitorModeSyncOverSamplingRatio, int] = ...) -> None: ...
    @property
    def monitor_mode_sync_over_sampling_ratio(self) -> MonitorModeSyncOverSamplingRatio: ...

class DynamicProfile(Feature):
    """Dynamic profiles (ID "DynamicProfile"): reduced-rate variants."""
    def __init__(self, num_dynamic_profiles: int = ...) -> None: ...
    @property
    def num_dynamic_profiles(self) -> int: ...

class RxPortImpedanceControl(Feature):
    """Rx port impedance control (ID "RxPortImpedanceControl")."""
    def __init__(self, rx1: bool = False, rx2: bool = False) -> None: ...
    @property
    def rx1(self) -> bool: ...
    @property
    def rx2(self) -> bool: ...

class ExternalLna(Feature):
    """External LNAs in front of Rx1 and Rx2 (ID "ExternalLna"), default configurations."""
    def __init__(self) -> None: ...

class LoExternal:
    """An external LO input of a blueprint."""
    lo_divisor: int
    lo_signaling_type: int

class _Channel:
    enabled: bool
    sampling_rate_hz: int
    rf_channel_bandwidth_hz: int
    frequency_deviation_hz: int
    frequency_offset_correction_enable: bool
    lo_source: Union[LoSource, int]
    low_pass_filter_power: int
    channel_filter_type: Union[ChannelFilterType, int]
    channel_signal_type: int
    ssi_data_format: int
    ssi_data_rate: Union[SsiDataRate, int]
    ssi_interface_rate_hz: int
    ssi_num_lane: int
    ssi_strobe_type: int
    ssi_type: int
    channel_filter: Union[numpy.typing.NDArray[numpy.int32], Sequence[int]]
    @property
    def operational_bandwidth(self) -> OperationalBandwidth: ...

class RxChannel(_Channel):
    """A receive channel of a blueprint."""
    adc_type: int
    analog_filter_corner_khz: int
    analog_filter_order: Union[AnalogFilterOrder, int]
    channel_signal_setup: Union[RxChannelSignalSetup, int]
    gain_table_type: int
    intermediate_frequency_hz: int
    nco_enable: bool
    rf_input: int

class TxChannel(_Channel):
    """A transmit channel of a blueprint."""
    channel_filter_interpolation: Union[ChannelFilterInterpolation, int]
    elb_type: Union[ElbType, int]
    orx_enabled: bool
    peak_loopback_power_dbm: int
    ssi_ref_clock_pin: int

class Blueprint:
    """What the device should do: channels, rates, bandwidths, clocks, LOs, features."""
    lo1: LoExternal
    lo2: LoExternal
    rx1: RxChannel
    rx2: RxChannel
    tx1: TxChannel
    tx2: TxChannel
    adc_rate: Union[AdcRate, int]
    allow_pll_retuning: bool
    clock_pll_mode: Union[ClockPllMode, int]
    clock_pll_power: int
    device_clock_input_khz: int
    diversity: bool
    duplex: Union[Duplex, int]
    pll_calibration: int
    processor_clock_divisor: Union[ProcessorClockDivisor, int]
    swap_external_lo_mapping: bool
    warm_boot_enable: bool
    expanded_search_enable: bool
    def __init__(self) -> None:
        """The default blueprint (every field at its default)."""
    @staticmethod
    def load(path: _Path, lenient: bool = False) -> "Blueprint":
        """Reads a blueprint file: OSError when it cannot be read, ValueError listing every problem (a
        misspelt, repeated or unknown key, a wrong type, a number out of range). lenient: unknown keys warn."""
    @staticmethod
    def from_json(text: Union[str, bytes], lenient: bool = False) -> "Blueprint":
        """A blueprint from the text of a blueprint file, checked as load checks a file."""
    def to_json(self) -> str:
        """The text of the blueprint file (features are not part of it)."""
    def save(self, path: _Path) -> None:
        """Writes the blueprint file (atomically: a failed write leaves any earlier file)."""
    def enable_feature(self, feature: Feature) -> None:
        """Enables a feature (a copy: later edits of the object do not reach the blueprint)."""
    def disable_feature(self, id: str) -> None:
        """Disables the feature of that ID (nothing happens when it is not enabled)."""
    def clear_features(self) -> None:
        """Disables every feature."""
    @property
    def features(self) -> List[Feature]:
        """The features enabled through this object."""
    def inspect(self) -> Dict[str, Any]:
        """viable, designed, loMapping, initCalMask, trackingCalMask, twoStageInitCal, status."""
    def is_viable(self) -> bool:
        """Whether the library can design this blueprint."""
    def is_designed(self) -> bool:
        """Whether every enabled channel carries a designed data path."""
    def copy(self) -> "Blueprint":
        """An independent copy, features included."""

class Profile:
    """A designed device profile, made by develop()."""
    @property
    def system_clock_hz(self) -> int: ...
    @property
    def processor_clock_hz(self) -> int: ...
    @property
    def pll_lock_wait_us(self) -> int: ...
    @property
    def pll_phase_sync_wait_us(self) -> int: ...
    @property
    def blueprint(self) -> Blueprint:
        """A copy of the blueprint the profile was developed from, designed data paths included."""
    def to_json(self) -> str:
        """The text of the profile file."""
    def to_dict(self) -> Dict[str, Any]:
        """The profile file's content as a dict."""
    def save(self, path: _Path) -> None:
        """Writes the profile file (atomically); OSError when it cannot be written."""
    def response(self, port: _PortLike, channel: int, start_hz: Optional[float] = None,
                 stop_hz: Optional[float] = None) -> Tuple[numpy.typing.NDArray[numpy.float64],
                                                           numpy.typing.NDArray[numpy.float64]]:
        """(frequency_hz, magnitude_db) on the library's analysis grid, the points in [start_hz, stop_hz]."""
    def response_figures(self, port: _PortLike, channel: int) -> Tuple[float, float]:
        """(ripple_db, rejection_db) of the whole grid."""
    def response_parts(self, port: _PortLike, channel: int, span: str = "default") -> Dict[str, Any]:
        """The response over a named span ("default", "passband", "output", "full") with each part of the
        path on its own: frequency_hz, magnitude_db, parts ({name: magnitude_db}), rate_hz, bandwidth_hz,
        ripple_db, rejection_db."""
    def coefficients(self, port: _PortLike, channel: int) -> List[Dict[str, Any]]:
        """The filters of the designed path from the converter to the host: name, rate_hz, factor,
        taps (float64 array, unity 1.0), fixed_taps (int32 array the hardware holds), unity."""
    @property
    def channels(self) -> List[Dict[str, Any]]:
        """Every channel in use: channel, converter, converter_clock_hz, rate_hz, bandwidth_hz,
        ssi_clock_hz, chain (the text "ADC 2211.84 MHz → ... → 30.72 MHz"), stages ([{name, factor,
        rate_hz, host_rate_hz}]), ratio, filters."""
    def ripple_db(self, port: _PortLike, channel: int) -> float:
        """Passband ripple over the full grid, dB."""
    def rejection_db(self, port: _PortLike, channel: int) -> float:
        """Alias (rx) or image (tx) rejection over the full grid, dB."""
    def dynamic_profiles(self, count: int) -> List[Dict[str, Any]]:
        """The first count (2 to 6) dynamic profiles, as the tool's dynamic-profiles prints them."""
    def stream_settings(self) -> Dict[str, Union[bool, int]]:
        """The stream settings (the keys of the stream settings file)."""
    def stream_image(self, resources: Optional[_Path] = None, si_version: str = "c0") -> bytes:
        """The stream image, from the bundled resources unless a top-level folder is given."""

def develop(blueprint: Blueprint, expanded_search: bool = False, redesign: bool = False) -> Profile:
    """Designs the blueprint into a Profile; DesignError (with the report lines) when it cannot be designed."""

def chains(rx_rate_hz: int, rx_bandwidth_hz: int, tx_rate_hz: int = 0, tx_bandwidth_hz: int = 0,
           goal: str = "maximize-bandwidth", target_ripple_db: Optional[float] = None,
           min_clock_hz: int = 160000000, max_clock_hz: int = 200000000) -> Dict[str, Any]:
    """The modelling search on its own (goal "maximize-bandwidth", "target-ripple" or "minimize-ripple"):
    found, status, cause, system_clock_hz, rx_chain, tx_chain, rx_ripple_db, tx_ripple_db, and a
    blueprint whose data paths reproduce the chains (None when nothing was found)."""

def features() -> List[Dict[str, Any]]:
    """The catalogue of features: id, description, fields (name, type, accepted, default, description)."""

def version() -> str:
    """The library's version, "major.minor.patch"."""

def stream_version() -> str:
    """The stream generator's version, "major.minor.patch"."""

def resource_candidates() -> Tuple[str, str]: ...
