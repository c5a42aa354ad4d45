"""The JSON API answers as the command line does, and turns away bad requests."""

import concurrent.futures
import json
import socket

import pytest

from conftest import EXAMPLES, SOURCE, example, plover

NAMES = sorted(p.stem for p in EXAMPLES.glob("*.json"))


def report_lines(stderr):
    """The library's lines the tool printed: its own notes and hints left out,
    a line shown once with a count stands for that many."""
    lines = []
    for line in stderr.splitlines():
        if line.startswith("plover: "):
            continue
        text, _, count = line.rpartition(" (")
        if count.endswith(" times)") and count[:-7].isdigit():
            lines += [text] * int(count[:-7])
        else:
            lines.append(line)
    return lines


def test_examples_are_listed_and_served_as_stored(server):
    status, answer = server.call("GET", "/api/examples")
    assert status == 200 and answer["examples"] == NAMES
    for name in NAMES:
        assert server.call("GET", f"/api/examples/{name}") == (200, {"name": name, "blueprint": example(name)})


@pytest.mark.parametrize("name", NAMES)
def test_blueprint_inspect_and_design_equal_the_tools(server, name, tmp_path):
    request = {"blueprint": example(name)}
    path = EXAMPLES / f"{name}.json"

    plover("blueprint", path, "-o", tmp_path / "b.json")
    status, answer = server.post("/api/blueprint", request)
    assert status == 200 and answer["text"] == (tmp_path / "b.json").read_text()

    cli = plover("inspect", path)
    status, answer = server.post("/api/inspect", request)
    assert status == 200
    assert answer.pop("reports") == report_lines(cli.stderr)
    assert answer == json.loads(cli.stdout)

    cli = plover("design", path, "-o", tmp_path / "p.json", "--json")
    status, answer = server.post("/api/design", request)
    if cli.returncode != 0:
        assert status == 422 and answer["reports"] == report_lines(cli.stderr)
        return
    assert status == 200
    assert answer["profile"] == (tmp_path / "p.json").read_text()
    expected = json.loads(cli.stdout)
    del expected["profile"]
    assert answer["summary"] == expected


@pytest.mark.parametrize("name", ["lte-20mhz-2t2r-tdd", "dmr-12p5khz-24ksps", "direct-fm-fsk-tx-96ksps"])
def test_stream_files_and_dynamic_profiles_equal_the_tools(server, name, tmp_path):
    request = {"blueprint": example(name)}
    path = EXAMPLES / f"{name}.json"
    assert plover("stream-settings", path, "-o", tmp_path / "s.json").returncode == 0
    status, answer = server.post("/api/stream-settings", request)
    assert status == 200 and answer["text"] == (tmp_path / "s.json").read_text()

    for si in ("c0", "b0"):
        assert plover("stream-image", path, "-o", tmp_path / "i.bin", "--si-version", si).returncode == 0
        status, image, kind = server.call("POST", "/api/stream-image", {**request, "siVersion": si}, raw=True)
        assert (status, kind) == (200, "application/octet-stream")
        assert image == (tmp_path / "i.bin").read_bytes()

    cli = plover("dynamic-profiles", path, "--count", 3)
    status, answer = server.post("/api/dynamic-profiles", {**request, "count": 3})
    if cli.returncode == 0:
        assert status == 200 and answer["dynamicProfiles"] == json.loads(cli.stdout)
    else:
        assert status == 422 and answer["reports"] == report_lines(cli.stderr)[: len(answer["reports"])]


@pytest.mark.parametrize("name,port,channel", [("lte-20mhz-2t2r-tdd", "rx", 1), ("lte-20mhz-2t2r-tdd", "tx", 2),
                                               ("dmr-12p5khz-24ksps", "rx", 1), ("direct-fm-fsk-tx-96ksps", "tx", 1)])
def test_response_figures_and_points_equal_the_tools(server, name, port, channel):
    cli = plover("response", EXAMPLES / f"{name}.json", "--port", port, "--channel", channel, "--span", "full",
                 "--max-points", 512)
    status, answer = server.post("/api/response", {"blueprint": example(name), "port": port, "channel": channel,
                                                   "span": "full", "maxPoints": 512})
    assert cli.returncode == 0 and status == 200, answer
    figures = dict(line.split(": ") for line in cli.stderr.splitlines())
    assert f"{answer['ripple_dB']:.4f} dB" == figures["passband ripple"]
    assert f"{answer['rejection_dB']:.4f} dB" == figures["alias rejection" if port == "rx" else "image rejection"]
    rows = [float(v) for line in cli.stdout.splitlines()[1:] for v in line.split(",")]
    points = [v for pair in zip(answer["frequency_Hz"], answer["magnitude_dB"]) for v in pair]
    assert rows == pytest.approx(points, abs=1e-6)


def test_spans_stages_and_coefficients_describe_one_path(server):
    request = {"blueprint": example("lte-20mhz-2t2r-tdd"), "port": "rx", "channel": 1}
    status, passband = server.post("/api/response", {**request, "span": "passband", "stages": True})
    assert status == 200
    assert passband["frequency_Hz"][-1] <= passband["bandwidth_Hz"] / 2
    assert max(passband["magnitude_dB"]) - min(passband["magnitude_dB"]) == pytest.approx(passband["ripple_dB"], abs=1e-9)
    status, ranged = server.post("/api/response", {**request, "span": {"start_Hz": 1e6, "stop_Hz": 2e6}})
    assert status == 200 and 1e6 <= ranged["frequency_Hz"][0] and ranged["frequency_Hz"][-1] <= 2e6
    status, filters = server.post("/api/coefficients", request)
    assert status == 200
    # Every filter of the path has its own curve, on the response's axis.
    names = [part["name"] for part in passband["stages"]]
    assert names[0] == "front" and names[1:] == [f["name"] for f in filters["filters"]]
    assert all(len(p["magnitude_dB"]) == len(passband["frequency_Hz"]) for p in passband["stages"])


@pytest.mark.parametrize("args", [["--rx-rate", 30720000, "--rx-bandwidth", 18000000],
                                  ["--rx-rate", 1000000, "--rx-bandwidth", 500000, "--tx-rate", 2000000,
                                   "--tx-bandwidth", 800000, "--goal", "minimize-ripple"]])
def test_chains_equal_the_tools_and_their_blueprint_designs_them(server, args, tmp_path):
    cli = plover("chains", *args)
    keys = {"--rx-rate": "rxRate_Hz", "--rx-bandwidth": "rxBandwidth_Hz", "--tx-rate": "txRate_Hz",
            "--tx-bandwidth": "txBandwidth_Hz", "--goal": "goal"}
    request = {keys[k]: v for k, v in zip(args[::2], args[1::2])}
    status, answer = server.post("/api/chains", request)
    assert cli.returncode == 0 and status == 200, answer
    expected = json.loads(cli.stdout)
    for key in ("systemClockFrequency_Hz", "rxChain", "txChain"):
        assert answer.get(key) == expected.get(key)
    status, design = server.post("/api/design", {"blueprint": answer["blueprint"]})
    assert status == 200 and design["summary"]["systemClockFrequency_Hz"] == answer["systemClockFrequency_Hz"]


def test_features_are_listed_with_their_fields(server):
    status, answer = server.call("GET", "/api/features")
    assert status == 200
    features = {f["id"]: f for f in answer["features"]}
    assert set(features) == {"DynamicProfile", "ExternalLna", "FH", "MCS", "MMSync", "RxPortImpedanceControl"}
    ratio = next(f for f in features["MMSync"]["fields"] if f["name"] == "monitorModeSyncOverSamplingRatio")
    assert ratio["allowed"] == [2, 4, 8] and ratio["default"] == 4


def test_features_reach_the_design_as_on_the_command_line(server, tmp_path):
    path = EXAMPLES / "lte-20mhz-2t2r-tdd.json"
    request = {"blueprint": example("lte-20mhz-2t2r-tdd")}
    cli = plover("design", path, "-o", tmp_path / "p.json", "--feature", "DynamicProfile:numDynamicProfiles=3")
    status, answer = server.post("/api/design", {**request, "features": [{"id": "DynamicProfile", "numDynamicProfiles": 3}]})
    assert cli.returncode == 0 and status == 200
    assert answer["profile"] == (tmp_path / "p.json").read_text()
    assert answer["profile"] != server.post("/api/design", request)[1]["profile"]

    # A feature that makes the design fail: its lines, as the tool prints them.
    cli = plover("design", path, "-o", tmp_path / "q.json", "--feature", "MMSync:monitorModeSyncOverSamplingRatio=8")
    status, answer = server.post("/api/design", {**request, "features": [{"id": "MMSync", "monitorModeSyncOverSamplingRatio": 8}]})
    assert cli.returncode == 1 and status == 422
    assert answer["reports"] == report_lines(cli.stderr)


def test_version_is_the_tools(server):
    status, answer = server.call("GET", "/api/version")
    assert status == 200 and plover("--version").stdout.startswith(f"plover {answer['plover']} (streams {answer['streams']})")


TABLE = json.loads((SOURCE / "tests" / "data" / "serve" / "bad_requests.json").read_text())
TOKENS = {"{lte}": json.dumps({"blueprint": example("lte-20mhz-2t2r-tdd")}), "{deep}": "[" * 100000 + "]" * 100000,
          "{spaces}": " " * (2 << 20), "{long}": "a" * 20000}


def expand(text):
    for token, value in TOKENS.items():
        text = text.replace(token, value)
    return text.encode()


@pytest.mark.parametrize("method,path,body,kind,status,words",
                         TABLE["requests"] + [["POST", "/api/inspect", '{"blueprint": ' + p.read_text() + "}",
                                               "application/json", 400, ""]
                                              for p in sorted((SOURCE / "tests" / "malformed").glob("*.json"))])
def test_bad_requests_get_a_json_4xx_and_the_server_keeps_serving(server, method, path, body, kind, status, words):
    got, payload, _ = server.call(method, path, None if body is None else expand(body), kind, raw=True)
    assert got == status, payload
    assert words in json.loads(payload)["error"]
    assert server.call("GET", "/api/version")[0] == 200


@pytest.mark.parametrize("raw", TABLE["brokenHttp"])
def test_broken_http_is_refused_without_harm(server, raw):
    host, port = server.url.split("//")[1].split(":")
    with socket.create_connection((host, int(port)), timeout=30) as s:
        s.sendall(expand(raw))
        s.shutdown(socket.SHUT_WR)
        reply = s.recv(200)
    assert reply == b"" or reply.split(b" ")[1].startswith(b"4"), reply
    assert server.call("GET", "/api/version")[0] == 200


def test_concurrent_requests_keep_their_own_report_lines(server):
    good = {"blueprint": example("lte-20mhz-2t2r-tdd")}
    bad = {"blueprint": {"rxChannel1": {"enabled": True, "rfChannelBandwidth_Hz": 18000000, "samplingRate_Hz": 7,
                                        "ssiInterfaceRate_Hz": 7, "ssiType": 2, "ssiNumLane": 1}}}
    with concurrent.futures.ThreadPoolExecutor(8) as pool:
        answers = list(pool.map(lambda r: server.post("/api/design", r), [good, bad] * 6))
    for i, (status, answer) in enumerate(answers):
        if i % 2 == 0:
            assert status == 200 and answer["reports"] == []
        else:
            assert status == 422
            assert answer["reports"] == ["ERROR: In ..\\..\\..\\src\\plover\\FilterDesigner on line 203: "
                                         "Sampling rate not possible"]
