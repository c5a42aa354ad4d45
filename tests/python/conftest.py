"""Shared by the Python package's tests: the source tree, the built tool, the examples."""

import os
import subprocess
import sys
from pathlib import Path

import pytest

SOURCE = Path(os.environ.get("PLOVER_SOURCE_DIR", Path(__file__).resolve().parents[2]))
EXAMPLES = sorted((SOURCE / "examples").glob("*.json"))


def example(name: str) -> Path:
    return SOURCE / "examples" / (name + ".json")


def expanded(path: Path) -> bool:
    # The one example that needs the lower system-clock floor says so in its name.
    return "expanded-search" in path.stem


@pytest.fixture(scope="session")
def tool():
    path = os.environ.get("PLOVER_TOOL")
    if not path or not os.access(path, os.X_OK):
        pytest.skip("the plover tool is not built (PLOVER_TOOL)")

    def run(*arguments, check=True):
        result = subprocess.run([path, *map(str, arguments)], capture_output=True, text=True)
        if check and result.returncode != 0:
            raise AssertionError("plover %s: %d\n%s" % (" ".join(map(str, arguments)), result.returncode,
                                                        result.stderr))
        return result

    return run


def run_python(*arguments, cwd=None):
    """Runs the interpreter of these tests with the package's PYTHONPATH, headless."""
    environment = dict(os.environ, MPLBACKEND="Agg")
    return subprocess.run([sys.executable, *map(str, arguments)], capture_output=True, text=True, cwd=cwd,
                          env=environment)
