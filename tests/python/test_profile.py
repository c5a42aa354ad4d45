"""Designs: the golden profiles, responses and reports as the tool gives them, threads."""

import concurrent.futures
import csv
import io
import json

import numpy
import pytest

import plover
from conftest import EXAMPLES, SOURCE, example, expanded


@pytest.mark.parametrize("path", EXAMPLES, ids=lambda p: p.stem)
def test_every_example_develops_its_golden_profile(path, tmp_path):
    golden = (SOURCE / "tests" / "golden" / (path.stem + ".profile.json")).read_text()
    profile = plover.develop(plover.Blueprint.load(path), expanded_search=expanded(path))
    profile.save(tmp_path / "profile.json")
    assert (tmp_path / "profile.json").read_text() == golden
    assert profile.to_dict() == json.loads(golden)


@pytest.mark.parametrize("name, port, channel", [
    ("lte-20mhz-2t2r-tdd", "rx", 1),
    ("dmr-12p5khz-24ksps", "rx", 1),
    ("lte-10mhz-2t2r-tdd", "tx", 2),
])
def test_response_equals_the_tools_csv(name, port, channel, tool, tmp_path):
    points = 4096
    result = tool("response", example(name), "--port", port, "--channel", channel, "--span", "full",
                  "--max-points", points, "-o", tmp_path / "r.csv")
    rows = list(csv.reader(io.StringIO((tmp_path / "r.csv").read_text())))[1:]
    expected = numpy.array(rows, dtype=float)

    profile = plover.develop(plover.Blueprint.load(example(name)))
    frequency_hz, magnitude_db = profile.response(port, channel)
    indices = numpy.arange(points, dtype=numpy.int64) * frequency_hz.size // points
    numpy.testing.assert_array_equal(frequency_hz[indices], expected[:, 0])
    numpy.testing.assert_array_equal(magnitude_db[indices], expected[:, 1])

    figures = dict(line.split(": ") for line in result.stdout.splitlines())
    ripple = float(next(v for k, v in figures.items() if "ripple" in k).split()[0])
    rejection = float(next(v for k, v in figures.items() if "rejection" in k).split()[0])
    assert profile.ripple_db(port, channel) == pytest.approx(ripple, abs=5e-5)
    assert profile.rejection_db(port, channel) == pytest.approx(rejection, abs=5e-5)

    # A span is evaluated on its own: the same grid points, nothing else.
    start, stop = frequency_hz[100] + 1.0, frequency_hz[2000]
    span_f, span_m = profile.response(port, channel, start_hz=start, stop_hz=stop)
    assert span_f[0] == frequency_hz[101] and span_f[-1] == frequency_hz[2000]
    numpy.testing.assert_allclose(span_m, magnitude_db[101:2001], rtol=0, atol=1e-9)


# Blueprints the library refuses, each with the reason the tool prints.
FAILURES = [
    ("rate no chain reaches", "rx1", "sampling_rate_hz", 1),
    ("bandwidth above the rate", "tx1", "rf_channel_bandwidth_hz", 200_000_000),
]


@pytest.mark.parametrize("what, channel, attribute, value", FAILURES, ids=[f[0] for f in FAILURES])
def test_design_error_reports_equal_the_tools_lines(what, channel, attribute, value, tool, tmp_path):
    blueprint = plover.Blueprint.load(example("lte-20mhz-2t2r-tdd"))
    setattr(getattr(blueprint, channel), attribute, value)
    blueprint.save(tmp_path / "bad.json")
    result = tool("design", tmp_path / "bad.json", "-o", tmp_path / "p.json", check=False)
    assert result.returncode == 1
    with pytest.raises(plover.DesignError) as raised:
        plover.develop(blueprint)
    # The tool adds its hint after the library's lines.
    assert raised.value.reports == result.stderr.splitlines()[:-1]
    assert result.stderr.splitlines()[-1].startswith("plover: hint: ")
    assert raised.value.reports and all(line in str(raised.value) for line in raised.value.reports)
    assert not (tmp_path / "p.json").exists()


def test_threads_give_what_sequential_gives():
    # Failing designs among the good ones: each thread must get its own reports.
    bad = plover.Blueprint.load(example("lte-5mhz-2t2r-tdd"))
    bad.rx1.sampling_rate_hz = 1
    good = [plover.Blueprint.load(p) for p in EXAMPLES if p.stem.startswith("lte-") and "2t2r" in p.stem]

    def outcome(blueprint):
        try:
            profile = plover.develop(blueprint)
        except plover.DesignError as error:
            return "failed", error.reports
        return profile.to_json(), profile.response_figures("rx", 1)

    work = (good + [bad]) * 3
    sequential = [outcome(item) for item in work]
    with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
        parallel = list(pool.map(outcome, work))
    assert parallel == sequential
    assert sequential[-1][0] == "failed" and len(sequential[-1][1]) == 1
    assert all(result[0] != "failed" for result in sequential[:len(good)])


def test_stream_outputs_and_dynamic_profiles_equal_the_tools(tool, tmp_path):
    path = example("lte-20mhz-2t2r-tdd")
    tool("stream-image", path, "-o", tmp_path / "image.bin")
    tool("stream-settings", path, "-o", tmp_path / "settings.json")
    profile = plover.develop(plover.Blueprint.load(path))
    assert profile.stream_image() == (tmp_path / "image.bin").read_bytes()
    assert profile.stream_settings() == json.loads((tmp_path / "settings.json").read_text())
    assert profile.dynamic_profiles(3) == json.loads(tool("dynamic-profiles", path, "--count", 3).stdout)


def test_channels_and_coefficients_follow_the_tools_summary(tool, tmp_path):
    for name in ("lte-20mhz-2t2r-tdd", "dmr-12p5khz-24ksps"):
        summary = json.loads(tool("design", example(name), "--json", "-o", tmp_path / "p.json").stdout)
        profile = plover.develop(plover.Blueprint.load(example(name)))
        got = [(c["channel"], c["rate_hz"], c["bandwidth_hz"], c["chain"],
                [(s["name"], s["factor"], s["rate_hz"], s["host_rate_hz"]) for s in c["stages"]], c["filters"])
               for c in profile.channels]
        want = [(c["channel"], c["rate_Hz"], c["bandwidth_Hz"], c["chain"],
                 [(s["name"], s["factor"], s["rate_Hz"], s["hostRate_Hz"]) for s in c["stages"]], c["filters"])
                for c in summary["channels"]]
        assert got == want
        first = profile.channels[0]
        port, number = first["channel"][:2].lower(), int(first["channel"][2:])
        filters = profile.coefficients(port, number)
        assert [f["name"] for f in filters] == first["filters"]
        for f in filters:
            # The integers are the taps in fixed point, each within half a step.
            assert f["fixed_taps"].dtype == numpy.int32 and f["fixed_taps"].size == f["taps"].size
            numpy.testing.assert_allclose(f["fixed_taps"] / f["unity"], f["taps"], rtol=0, atol=0.5 / f["unity"])


def test_chains_search_equals_the_tools(tool):
    for rx_rate, rx_bandwidth in [(30_720_000, 18_000_000), (9_600_000, 4_000_000)]:
        expected = json.loads(tool("chains", "--rx-rate", rx_rate, "--rx-bandwidth", rx_bandwidth).stdout)
        found = plover.chains(rx_rate_hz=rx_rate, rx_bandwidth_hz=rx_bandwidth)
        assert found["found"] and found["status"] == expected["status"] == 0
        assert found["rx_chain"] == [stage for stage in expected["rxChain"]]
        assert found["system_clock_hz"] == expected["systemClockFrequency_Hz"]
        assert found["rx_ripple_db"] == pytest.approx(expected["rxRipple_dB"])
        if found["blueprint"] is not None:
            # The blueprint it gives designs to those chains at that clock.
            assert plover.develop(found["blueprint"]).system_clock_hz == found["system_clock_hz"]
