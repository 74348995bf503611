"""The module against the command-line tool, and its refusals of bad input."""

import math
import os
import sys
import threading
import time

import numpy as np
import pytest

import tervane
from conftest import example

ANGSTROM_PER_METRE = 1e10
PER_CUBIC_CM_PER_PER_CUBIC_METRE = 1e-6


def band_export_lines(solution):
    """The module's arrays printed as the band export prints them (x in A, densities in cm^-3)."""
    lines = ["x\tEc\tEv\tEf\tn\tp"]
    for x, Ec, Ev, Efn, n, p in zip(solution.x, solution.Ec, solution.Ev, solution.Efn, solution.n, solution.p):
        lines.append("%f\t%f\t%f\t%f\t%e\t%e" % (x * ANGSTROM_PER_METRE, Ec, Ev, Efn,
                                                 n * PER_CUBIC_CM_PER_PER_CUBIC_METRE,
                                                 p * PER_CUBIC_CM_PER_PER_CUBIC_METRE))
    return lines


# name, the tool's options, the module's settings
CASES = [
    ("hemt", ["--schroedinger", "--self-consistency", "accelerated", "--left", "fixed:1.2"],
     {"schroedinger": True, "left": tervane.Fixed(1.2)}),
    ("pn-diode", ["--no-polarization"], {"polarization": False}),
    ("mqw", ["--schroedinger", "--valence", "--self-consistency", "alternating"],
     {"schroedinger": True, "valence": True, "self_consistency": "alternating"}),
]


@pytest.mark.parametrize("name,options,settings", CASES, ids=[case[0] for case in CASES])
def test_arrays_equal_the_band_export(cli, materials, tmp_path, name, options, settings):
    document = example(name, name + ".tvn")
    bands = tmp_path / "bands.txt"
    run = cli("solve", document, *options, "--bands", str(bands))
    assert run.returncode in (0, 3), run.stderr
    solution = tervane.solve(tervane.load_structure(document), materials, **settings)
    assert band_export_lines(solution) == bands.read_text().splitlines()
    assert solution.status_line == run.stdout.strip()
    frame = solution.to_dataframe()
    assert list(frame.columns) == ["x", "Ec", "Ev", "Efn", "Efp", "n", "p", "phi_pol"]
    assert np.array_equal(frame["Ec"].to_numpy(), solution.Ec)


def test_hemt_built_in_code_holds_its_2deg_in_bound_states(materials):
    """The HEMT typed in as layers: every state normalised, the lowest below the Fermi level, the
    bound electrons more than the channel's 2DEG but fewer than all (the doped bulk is in the continuum), the 2DEG near Ambacher's estimate."""
    tolNorm = 1e-9
    tolAmbacher = 0.15  # a triangular well with one subband (examples/hemt/run.sh)
    hemt = tervane.Structure([tervane.Layer("AlGaN", thickness=250e-10, x=0.25, dx=5e-10),
                              tervane.Layer("GaN", thickness=1e-6, dx=5e-10, Nd=1e22)], left=tervane.Fixed(1.2))
    # A thread counting beside the solve counts on only if the solve lets go of the GIL: holding it,
    # the solve would leave the counter at most a switch interval or two of counting.
    counter, stop = [0], threading.Event()

    def count():
        while not stop.is_set():
            counter[0] += 1

    counting = threading.Thread(target=count)
    counting.start()
    start = counter[0]
    time.sleep(0.1)
    per_interval = (counter[0] - start) / 0.1 * sys.getswitchinterval()
    before = counter[0]
    solution = tervane.solve(hemt, materials, schroedinger=True, schroedinger_iterations=40)
    during = counter[0] - before
    stop.set()
    counting.join()
    assert during > 10 * per_interval
    assert solution.converged and len(solution.x) == 2050  # 50 + 2000 points at 5 A
    electrons = solution.bound_states["electron"]
    psi, dx = electrons["psi"], np.diff(solution.x)
    norms = ((psi[:, :-1] ** 2 + psi[:, 1:] ** 2) / 2 * dx).sum(axis=1)
    assert np.all(np.abs(norms - 1) < tolNorm)
    assert electrons["energies"][0] < solution.Efn[300]
    # ambacher_ns 0.25 250 1.2 of examples/lib.sh: 1.12047e13 cm^-2.
    well = solution.sheet_density(250e-10, 60e-9)
    bound = electrons["occupancies"].sum()
    assert well < bound < solution.sheet_density(0.0, solution.x[-1])
    channel = solution.sheet_density(250e-10, solution.x[-1])  # as the example's --sheet-range 50:2049
    assert abs(channel * 1e-4 / 1.12047e13 - 1) < tolAmbacher


def test_cv_equals_the_tool(cli, materials, tmp_path):
    document = example("schottky-cv", "schottky-cv.tvn")
    out = tmp_path / "cv.txt"
    run = cli("solve", document, "--no-polarization", "--cv", "0:1:0.25", "--cv-out", str(out))
    assert run.returncode == 0, run.stderr
    expected = np.loadtxt(out, skiprows=1, ndmin=2)
    profile = tervane.cv(tervane.load_structure(document), materials, 0, 1, 0.25, polarization=False)
    assert np.array_equal(profile["V"], expected[:, 0])
    assert np.array_equal(profile["C"], expected[:, 1] * 1e4)


def test_bad_input_raises_with_the_core_message_and_changes_nothing(materials, tmp_path, capfd):
    layers = [tervane.Layer("AlGaN", thickness=25e-9, x=0.25), tervane.Layer("Unobtainium", thickness=1e-6)]
    structure = tervane.Structure(layers)
    before = structure.to_bytes()
    with pytest.raises(tervane.MaterialNotFound, match=r"Layer 1 \(Unobtainium\).*Material not found!"):
        tervane.solve(structure, materials)
    assert structure.to_bytes() == before
    with pytest.raises(ValueError, match="thickness must be a finite number of at least 0"):
        tervane.Layer("GaN", thickness=-1e-9)
    with pytest.raises(ValueError, match="Nd"):
        tervane.Layer("GaN", thickness=1e-9, Nd=math.nan)
    with pytest.raises(TypeError):
        tervane.Layer("GaN", thickness="25nm")
    with pytest.raises(ValueError, match="self_consistency"):
        tervane.solve(structure, materials, self_consistency="fast")
    with pytest.raises(ValueError, match="valence=True needs schroedinger=True"):
        tervane.solve(structure, materials, valence=True)
    missing = str(tmp_path / "none.toml")
    with pytest.raises(tervane.FileError, match="none.toml"):
        tervane.load_materials(missing)
    broken = tmp_path / "broken.toml"
    broken.write_text("[[material]]\nname = 3\n")
    with pytest.raises(tervane.FileError, match="broken.toml"):
        tervane.load_materials(str(broken))
    assert not os.path.exists(missing)
    captured = capfd.readouterr()
    assert captured.out == ""


def test_non_finite_solution_names_the_layer(materials):
    hot = tervane.Structure([tervane.Layer("GaN", thickness=1e-7, Nd=1e22, temperature=1e-300)])
    with pytest.raises(tervane.NonFiniteSolution, match=r"Layer 0 \(GaN\): the solution is not finite"):
        tervane.solve(hot, materials)


def test_structures_and_materials_pickle(materials):
    import pickle

    structure = tervane.load_structure(example("hemt", "hemt.tvn"))
    again = pickle.loads(pickle.dumps(structure))
    assert again.to_bytes() == structure.to_bytes()
    assert pickle.loads(pickle.dumps(materials)).names == materials.names
