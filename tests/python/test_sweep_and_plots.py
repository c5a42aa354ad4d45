"""Sweeps on every executor, and the pictures drawn headless."""

import pandas
import pytest

import plover
from conftest import SOURCE, example, run_python

PNG = b"\x89PNG\r\n\x1a\n"


def test_sweep_gives_one_table_sequential_threaded_and_on_dask():
    distributed = pytest.importorskip("distributed")
    blueprint = plover.Blueprint.load(example("lte-10mhz-1t1r-fdd"))
    grid = dict(rates_hz=[7_680_000, 15_360_000, 1_000], bandwidths_hz=[5_000_000, 9_000_000])
    sequential = plover.sweep(blueprint, "rx", 1, executor="sequential", **grid)
    assert list(sequential["viable"]) == [True, False, True, True, False, False]
    assert sequential["first_report"][5].startswith("ERROR: In ")
    assert (sequential["ripple_db"][sequential["viable"]] > 0).all()

    pandas.testing.assert_frame_equal(plover.sweep(blueprint, "rx", 1, **grid), sequential)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, distributed.Client(cluster) as client:
        on_dask = plover.sweep(blueprint, "rx", 1, executor=client, **grid)
    pandas.testing.assert_frame_equal(on_dask, sequential)


@pytest.mark.parametrize("script", sorted((SOURCE / "examples" / "python").glob("*.py")), ids=lambda p: p.stem)
def test_example_scripts_run_headless_and_write_pictures(script, tmp_path):
    result = run_python(script, "--output-dir", tmp_path, cwd=tmp_path)
    assert result.returncode == 0, result.stderr
    pictures = list(tmp_path.glob("*.png"))
    assert pictures and all(p.read_bytes().startswith(PNG) for p in pictures)


def test_python_m_plover_plot_writes_the_picture(tmp_path):
    result = run_python("-m", "plover", "plot", example("dmr-12p5khz-24ksps"), "--port", "rx", "--channel", "1",
                        "-o", tmp_path / "rx1.png")
    assert result.returncode == 0, result.stderr
    assert (tmp_path / "rx1.png").read_bytes().startswith(PNG)
