"""Tervane from Python: equilibrium band diagrams of 1-D heterostructures.

SI units throughout (m, m^-3, K, V; energies in eV), except the sweeps, whose parameters and figures
keep the units of `tervane-cli sweep` (A, cm^-3, nm, cm^-2) so that both give the same table.

    import tervane
    materials = tervane.standard_materials()
    hemt = tervane.Structure([tervane.Layer("AlGaN", thickness=25e-9, x=0.25),
                              tervane.Layer("GaN", thickness=1e-6, Nd=1e22)],
                             left=tervane.Fixed(1.2))
    s = tervane.solve(hemt, materials, schroedinger=True)
    s.x, s.Ec, s.n, s.sheet_density(25e-9, 1e-6)
"""

import os

import numpy as np

from ._core import (  # noqa: F401  (the package's interface)
    Contact,
    FileError,
    Fixed,
    Layer,
    MaterialNotFound,
    Materials,
    Neutral,
    NonFiniteSolution,
    SolveError,
    Solution,
    Structure,
    TervaneError,
    load_materials,
    load_structure,
    parse_script,
)
from . import _core
from .dataframes import solution_dataframe
from .sweeps import sweep  # noqa: F401

_COLUMNS = {
    "x": "depth from the left contact, m",
    "Ec": "conduction-band edge, eV",
    "Ev": "valence-band edge, eV",
    "Efn": "electron quasi-Fermi level, eV",
    "Efp": "hole quasi-Fermi level, eV",
    "n": "electron density, m^-3 (bound-state electrons where the Schroedinger switch put them)",
    "p": "hole density, m^-3",
    "phi_pol": "potential of the polarization charges, V",
}


def _column_property(name, doc):
    return property(lambda self: self._column(name), doc=doc)


for _name, _doc in _COLUMNS.items():
    setattr(Solution, _name, _column_property(_name, _doc))


def _bound_states(self):
    """Bound states on the solved potential, one dict per carrier kind solved ("electron", and
    "light_hole", "heavy_hole" with valence=True): energies (eV, the levels on the scale of Ec),
    psi (states x points, m^-1/2, normalised so that the trapezoid sum of psi^2 dx is 1) and
    occupancies (carriers per m^2). Empty without schroedinger=True or with a quantum region."""
    return {carrier: {"energies": energies, "psi": psi, "occupancies": occupancies}
            for carrier, energies, psi, occupancies in self._states()}


Solution.bound_states = property(_bound_states)
Solution.to_dataframe = solution_dataframe


def standard_materials():
    """The standard materials library built beside the module (share/tervane/materials)."""
    here = os.path.dirname(os.path.abspath(__file__))
    for folder in (os.path.join(here, "..", "..", "share"), os.path.join(here, "..", "..", "..", "share")):
        path = os.path.join(folder, "tervane", "materials", "standard.toml")
        if os.path.isfile(path):
            return load_materials(os.path.normpath(path))
    raise FileError("The standard materials library was not found next to the module; use load_materials(path)")


def _request(schroedinger=False, valence=False, left=None, right=None, self_consistency="accelerated",
             quantum_region=None, polarization=True, partial_ionization=False, eigensolver="tridiagonal",
             damping=None, poisson_iterations=None, schroedinger_iterations=None, tolerance=None,
             substrate=None):
    if substrate is not None and isinstance(substrate, str):
        substrate = (substrate, 0.0)
    return _core._SolveRequest(
        schroedinger=schroedinger, valence=valence, left=left, right=right, self_consistency=self_consistency,
        quantum_region=quantum_region, polarization=polarization, partial_ionization=partial_ionization,
        eigensolver=eigensolver, damping=damping, poisson_iterations=poisson_iterations,
        schroedinger_iterations=schroedinger_iterations, tolerance=tolerance, substrate=substrate)


def solve(structure, materials, **settings):
    """Solves a structure at equilibrium and returns a Solution.

    structure: Structure (built in code, load_structure(path) or parse_script(text)), left unchanged.
    materials: Materials (load_materials(path) or standard_materials()).
    Settings, as the options of `tervane-cli solve`:
      schroedinger (bool, default False): bound-state electron densities after the classical solve;
      valence (bool): bound-state holes as well, needs schroedinger;
      left, right (Contact): Fixed(barrier in eV) or Neutral(); default: the structure's own left
        contact and a neutral right one;
      self_consistency ("accelerated", the default, or "alternating");
      quantum_region ((a, b) in m from the left contact): bound states only there;
      polarization (bool, default True); partial_ionization (bool, default False);
      eigensolver ("tridiagonal" or "dense"); damping (0 to 1); poisson_iterations (default 200);
      schroedinger_iterations (default 20); tolerance (V, default 1e-5);
      substrate (material name, or (name, x)): the reference of the polarization.
    Raises MaterialNotFound (naming the layer), NonFiniteSolution (naming the layer), SolveError,
    ValueError for a setting out of range and TypeError for a value of the wrong type. The GIL is
    released while it solves, so threads run solves in parallel.
    """
    return _core._solve(structure, materials, _request(**settings))


def cv(structure, materials, start, stop, step, **settings):
    """C-V profile of the left contact: the structure is solved, then the left barrier is shifted from
    start to stop (V) in steps of step (V, above 0), as `tervane-cli solve --cv` does.
    Returns {"V": biases in V, "C": capacitance per area in F/m^2} (numpy arrays, at the precision of
    the C-V file). Settings as solve()."""
    import tempfile

    with tempfile.TemporaryDirectory(prefix="tervane-cv-") as folder:
        path = os.path.join(folder, "cv.txt")
        _core._cv(structure, materials, _request(**settings), float(start), float(stop), float(step), path)
        table = np.loadtxt(path, skiprows=1, ndmin=2)
    farad_per_square_metre_per_farad_per_square_cm = 1e4
    return {"V": table[:, 0].copy(), "C": table[:, 1] * farad_per_square_metre_per_farad_per_square_cm}
