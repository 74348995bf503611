"""Sweeps from Python: the same table as `tervane-cli sweep`, on threads and on Dask workers, also
when a worker dies in the middle."""

import os

import numpy as np
import pandas
import pytest

import tervane
from tervane import sweeps

VARY = {"0.x": [0.15, 0.2, 0.25, 0.3], "0.t": [150, 250]}
FIGURES = [{"name": "ns", "kind": "layer_sheet_density", "layer": 1}, {"name": "E0", "kind": "subband"},
           "passes"]
POINTS = 8


@pytest.fixture(scope="module")
def small_hemt():
    """25 nm of Al0.25Ga0.75N on 150 nm of GaN: 350 points, a quick Schroedinger solve."""
    return tervane.Structure([tervane.Layer("AlGaN", thickness=25e-9, x=0.25, dx=5e-10),
                              tervane.Layer("GaN", thickness=150e-9, dx=5e-10, Nd=1e22)], left=tervane.Fixed(1.2))


@pytest.fixture(scope="module")
def serial(small_hemt, materials):
    return tervane.sweep(small_hemt, materials, vary=VARY, figures=FIGURES, schroedinger=True, threads=1)


def assert_same_table(table, expected):
    assert list(table.columns) == list(expected.columns)
    for column in table.columns:
        if column in ("status", "message"):
            assert table[column].fillna("").tolist() == expected[column].fillna("").tolist()
        else:
            assert np.array_equal(table[column].to_numpy(float), expected[column].to_numpy(float),
                                  equal_nan=True), column


def test_sweep_equals_the_tools_table(cli, small_hemt, materials, serial, tmp_path):
    description = sweeps.describe(small_hemt, materials, VARY, FIGURES, schroedinger=True)
    (tmp_path / "sweep.toml").write_text(description["sweep"])
    (tmp_path / "structure.tvn").write_bytes(description["structure"])
    (tmp_path / description["materials_name"]).write_bytes(description["materials"])
    out = tmp_path / "results.csv"
    run = cli("sweep", str(tmp_path / "sweep.toml"), "--out", str(out))
    assert run.returncode == 0, run.stderr
    assert_same_table(serial, pandas.read_csv(out, skiprows=1, float_precision="round_trip"))
    assert len(serial) == POINTS and (serial["status"] == "ok").all()
    # More Al, more polarization charge: ns rises with x at either thickness.
    for thickness in VARY["0.t"]:
        assert np.all(np.diff(serial[serial["0.t"] == thickness]["ns"]) > 0)


def test_sweep_on_threads_equals_one_thread(small_hemt, materials, serial):
    threaded = tervane.sweep(small_hemt, materials, vary=VARY, figures=FIGURES, schroedinger=True, threads=2)
    assert_same_table(threaded, serial)


def test_bad_sweep_raises_with_the_readers_message(small_hemt, materials):
    with pytest.raises(tervane.FileError, match="layer 7"):
        tervane.sweep(small_hemt, materials, vary={"7.x": [0.1]}, figures=["passes"])
    with pytest.raises(TypeError):
        tervane.sweep(small_hemt, materials, vary={"0.x": [object()]}, figures=["passes"])


@pytest.fixture(scope="module")
def client():
    distributed = pytest.importorskip("distributed")
    cluster = distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None)
    with distributed.Client(cluster) as dask_client:
        yield dask_client
    cluster.close()


def test_sweep_on_two_dask_workers_equals_the_serial_table(client, small_hemt, materials, serial):
    table = tervane.sweep(small_hemt, materials, vary=VARY, figures=FIGURES, schroedinger=True, client=client)
    assert_same_table(table, serial)


def test_a_worker_killed_mid_sweep_loses_only_its_points(client, small_hemt, materials, serial):
    import signal

    import distributed

    pids = client.run(os.getpid)
    description = sweeps.describe(small_hemt, materials, VARY, FIGURES, schroedinger=True)
    futures = sweeps.submit(client, description, batch=1)
    distributed.wait(futures, return_when="FIRST_COMPLETED")
    processing = client.processing()
    victim = max(processing, key=lambda worker: len(processing[worker]))
    assert processing[victim] and not all(future.done() for future in futures)
    os.kill(pids[victim], signal.SIGKILL)
    assert_same_table(sweeps.gather(client, description, futures), serial)
