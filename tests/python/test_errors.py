"""Bad input gives the right exception with a message that names the problem."""

import pytest

import plover
from conftest import example, run_python


@pytest.fixture(scope="module")
def designed():
    return plover.develop(plover.Blueprint.load(example("lte-10mhz-1t1r-fdd")))


def _set(owner, name, value):
    def run():
        setattr(owner, name, value)
    return run


def test_bad_input_raises_the_right_exception(tmp_path, designed):
    (tmp_path / "broken.json").write_text('{"duplex": ')
    (tmp_path / "wrong.json").write_text('{"rxChannel1": {"samplingRate_Hz": "fast"}}')
    (tmp_path / "typo.json").write_text('{"Duplex": 1, "rxChannel1": {"samplingRate_Hz": 4325687296}}')
    blueprint = plover.Blueprint()
    two_channels = plover.Blueprint.load(example("lte-20mhz-2t2r-tdd"))
    cases = [
        (lambda: plover.Blueprint.load(tmp_path / "missing.json"), FileNotFoundError, "missing.json"),
        (lambda: plover.Blueprint.load(tmp_path), IsADirectoryError, str(tmp_path)),
        (lambda: plover.Blueprint.load(tmp_path / "broken.json"), ValueError, "broken.json"),
        (lambda: plover.Blueprint.load(tmp_path / "wrong.json"), ValueError, "wrong.json"),
        (lambda: plover.Blueprint.load(tmp_path / "typo.json"), ValueError, "Duplex: unknown key (did you mean duplex?)"),
        (lambda: plover.Blueprint.load(tmp_path / "typo.json", lenient=True), ValueError,
         "rxChannel1.samplingRate_Hz: 4325687296 is out of range 0..4294967295"),
        (lambda: plover.Blueprint.from_json(42), TypeError, "str"),
        (lambda: plover.Blueprint.from_json("[1, 2"), ValueError, "parse error"),
        (_set(blueprint.rx1, "sampling_rate_hz", -1), ValueError, "sampling_rate_hz: -1 is out of range"),
        (_set(blueprint.rx1, "sampling_rate_hz", 2 ** 32), ValueError, "out of range 0..4294967295"),
        (_set(blueprint.rx1, "sampling_rate_hz", 1.5e6), TypeError, "sampling_rate_hz must be an integer"),
        (_set(blueprint.tx1, "enabled", "yes"), TypeError, "enabled must be True or False"),
        (_set(blueprint, "duplex", 9), ValueError, "duplex: 9 is not a Duplex (TDD=0, FDD=1, TDM_FDD=2)"),
        (_set(blueprint, "duplex", "FDD"), TypeError, "duplex must be a Duplex"),
        (_set(blueprint.tx2, "peak_loopback_power_dbm", 40000), ValueError, "-32768..32767"),
        (_set(blueprint.rx1, "channel_filter", range(129)), ValueError, "at most 128"),
        (lambda: plover.develop("lte.json"), TypeError, "Blueprint"),
        (lambda: two_channels.enable_feature(plover.FrequencyHopping(mode=2)), ValueError, "dual-hop mode"),
        (lambda: plover.FrequencyHopping(mode=-1, min_frame_duration_us=-5), ValueError, "min_frame_duration_us"),
        (lambda: designed.response("up", 1), ValueError, '"up" is not "rx" or "tx"'),
        (lambda: designed.response("rx", 3), ValueError, "channel: 3 is out of range 1..2"),
        (lambda: designed.response("rx", 1, start_hz=5e6, stop_hz=1e6), ValueError, "start_hz"),
        (lambda: designed.response("rx", 1, start_hz=float("nan")), ValueError, "finite"),
        (lambda: designed.response("rx", 2), plover.DesignError, "rx2"),
        (lambda: designed.save(tmp_path / "no" / "such" / "p.json"), OSError, "p.json"),
        (lambda: designed.stream_image(si_version="d1"), ValueError, "si_version"),
        (lambda: designed.stream_image(resources=tmp_path), ValueError, ""),
    ]
    for call, exception, text in cases:
        with pytest.raises(exception) as raised:
            call()
        assert text in str(raised.value), (exception, str(raised.value))


def test_python_m_plover_plot_fails_cleanly(tmp_path):
    missing = run_python("-m", "plover", "plot", tmp_path / "none.json", "--port", "rx", "--channel", "1",
                         "-o", tmp_path / "x.png")
    assert missing.returncode == 2 and "none.json" in missing.stderr
    bad = plover.Blueprint.load(example("lte-20mhz-2t2r-tdd"))
    bad.rx1.sampling_rate_hz = 1
    bad.save(tmp_path / "bad.json")
    failed = run_python("-m", "plover", "plot", tmp_path / "bad.json", "--port", "rx", "--channel", "1",
                        "-o", tmp_path / "x.png")
    assert failed.returncode == 1 and failed.stderr.startswith("ERROR: In ")
    assert not (tmp_path / "x.png").exists()


def test_lenient_reading_warns_of_unknown_keys():
    with pytest.warns(UserWarning, match="Duplex: unknown key"):
        blueprint = plover.Blueprint.from_json('{"Duplex": 1, "duplex": 1}', lenient=True)
    assert blueprint.duplex == plover.Duplex.FDD
