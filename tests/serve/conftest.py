"""A running `plover serve` for the tests, and the tool itself to compare with."""

import json
import os
import pathlib
import subprocess
import urllib.error
import urllib.request

import pytest

TOOL = os.environ.get("PLOVER_TOOL", "plover")
SOURCE = pathlib.Path(os.environ.get("PLOVER_SOURCE_DIR", pathlib.Path(__file__).resolve().parents[2]))
EXAMPLES = SOURCE / "examples"


class Server:
    def __init__(self, url):
        self.url = url

    def call(self, method, path, body=None, content_type="application/json", raw=False):
        """(status, answer): the answer is parsed JSON unless raw."""
        data = body if isinstance(body, (bytes, type(None))) else json.dumps(body).encode()
        req = urllib.request.Request(self.url + path, data=data, method=method)
        if data is not None and content_type:
            req.add_header("Content-Type", content_type)
        try:
            with urllib.request.urlopen(req, timeout=120) as r:
                status, payload, kind = r.status, r.read(), r.headers.get("Content-Type", "")
        except urllib.error.HTTPError as e:
            status, payload, kind = e.code, e.read(), e.headers.get("Content-Type", "")
        if raw:
            return status, payload, kind
        return status, json.loads(payload)

    def post(self, path, body):
        return self.call("POST", path, body)


@pytest.fixture(scope="session")
def server():
    process = subprocess.Popen([TOOL, "serve", "--port", "0"], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    line = process.stdout.readline()
    if not line.startswith("plover serve: http://"):
        process.kill()
        pytest.fail("the server did not start: " + line + process.stderr.read())
    yield Server(line.split()[-1].rstrip("/"))
    process.terminate()
    process.wait(timeout=10)
    assert process.returncode in (0, -15), process.stderr.read()


def plover(*args, cwd=None):
    return subprocess.run([TOOL, *map(str, args)], capture_output=True, text=True, cwd=cwd)


def example(name):
    return json.loads((EXAMPLES / f"{name}.json").read_text())
