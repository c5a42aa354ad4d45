"""Blueprints: the file the library writes, attribute edits reaching it, bad input."""

import json
import pickle

import pytest

import plover
from conftest import EXAMPLES, example


@pytest.mark.parametrize("path", EXAMPLES, ids=lambda p: p.stem)
def test_round_trip_equals_the_tools_file(path, tool, tmp_path):
    tool("blueprint", path, "-o", tmp_path / "tool.json")
    expected = (tmp_path / "tool.json").read_text()

    blueprint = plover.Blueprint.load(path)
    blueprint.save(tmp_path / "python.json")
    assert (tmp_path / "python.json").read_text() == expected
    assert blueprint.to_json() == expected
    again = plover.Blueprint.from_json(blueprint.to_json())
    assert again.to_json() == expected
    assert pickle.loads(pickle.dumps(again)) == again


# (object, attribute, value given, file section, file key): each attribute must
# land in its own key, so a binding that swaps two fields fails here.
EDITS = [
    ("", "duplex", plover.Duplex.FDD, None, "duplex"),
    ("", "adc_rate", 2, None, "adcRate"),
    ("", "clock_pll_mode", plover.ClockPllMode.LOW_POWER, None, "clockPllMode"),
    ("", "clock_pll_power", 1, None, "clockPllPower"),
    ("", "device_clock_input_khz", 61440, None, "deviceClockInput_kHz"),
    ("", "processor_clock_divisor", plover.ProcessorClockDivisor.DIVISOR_4, None, "processorClockDivisor"),
    ("", "pll_calibration", 3, None, "pllCalibration"),
    ("", "diversity", True, None, "diversity"),
    ("", "allow_pll_retuning", True, None, "allowPllRetuning"),
    ("", "swap_external_lo_mapping", True, None, "swapExternalLoMapping"),
    ("", "warm_boot_enable", True, None, "warmBootEnable"),
    ("lo2", "lo_divisor", 7, "loExternal2", "loDivisor"),
    ("lo1", "lo_signaling_type", 1, "loExternal1", "loSignalingType"),
    ("rx1", "sampling_rate_hz", 15_360_000, "rxChannel1", "samplingRate_Hz"),
    ("rx2", "rf_channel_bandwidth_hz", 9_000_000, "rxChannel2", "rfChannelBandwidth_Hz"),
    ("rx1", "analog_filter_corner_khz", 12345, "rxChannel1", "analogFilterCorner_kHz"),
    ("rx1", "intermediate_frequency_hz", -250_000, "rxChannel1", "intermediateFrequency_Hz"),
    ("rx1", "ssi_data_rate", plover.SsiDataRate.DOUBLE, "rxChannel1", "ssiDataRate"),
    ("rx2", "channel_signal_setup", plover.RxChannelSignalSetup.DMR, "rxChannel2", "channelSignalSetup"),
    ("rx1", "nco_enable", True, "rxChannel1", "ncoEnable"),
    ("tx2", "enabled", False, "txChannel2", "enabled"),
    ("tx1", "sampling_rate_hz", 7_680_000, "txChannel1", "samplingRate_Hz"),
    ("tx1", "elb_type", plover.ElbType.AFTER_PA, "txChannel1", "elbType"),
    ("tx2", "peak_loopback_power_dbm", -12, "txChannel2", "peakLoopbackPower_dBm"),
    ("tx1", "channel_filter_interpolation", 2, "txChannel1", "channelFilterInterpolation"),
    ("tx2", "lo_source", plover.LoSource.EXTERNAL, "txChannel2", "loSource"),
]


def test_attribute_edits_reach_their_file_keys():
    for owner, attribute, value, section, key in EDITS:
        blueprint = plover.Blueprint.load(example("lte-20mhz-2t2r-tdd"))
        target = getattr(blueprint, owner) if owner else blueprint
        setattr(target, attribute, value)
        assert getattr(target, attribute) == value, attribute
        saved = json.loads(blueprint.to_json())
        assert (saved[section] if section else saved)[key] == int(value), (owner, attribute)
    blueprint = plover.Blueprint()
    blueprint.rx1.channel_filter = range(1, 4)
    assert json.loads(blueprint.to_json())["rxChannel1"]["channelFilter"][:5] == [1, 2, 3, 0, 0]


def test_inspect_answers_as_the_tool_does(tool):
    for name in ("lte-20mhz-2t2r-tdd", "lte-10mhz-external-lo"):
        expected = json.loads(tool("inspect", example(name)).stdout)
        assert plover.Blueprint.load(example(name)).inspect() == expected


def test_features_are_copies_and_travel_with_the_blueprint():
    blueprint = plover.Blueprint.load(example("lte-20mhz-2t2r-tdd"))
    blueprint.enable_feature(plover.DynamicProfile(num_dynamic_profiles=3))
    blueprint.enable_feature(plover.FrequencyHopping(mode=3, min_frame_duration_us=20000))
    copied = pickle.loads(pickle.dumps(blueprint))
    assert sorted(f.id for f in copied.features) == ["DynamicProfile", "FH"]
    assert plover.develop(copied).to_json() == plover.develop(blueprint).to_json()
    blueprint.disable_feature("FH")
    assert [f.id for f in blueprint.features] == ["DynamicProfile"]
