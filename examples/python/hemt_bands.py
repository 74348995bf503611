"""The AlGaN/GaN HEMT of examples/hemt from Python: its band diagram with the bound electron states
drawn at their levels (|psi|^2 scaled), written to hemt_bands.png; the 2DEG beside Ambacher's
charge-control estimate.

    PYTHONPATH=build/python python3 examples/python/hemt_bands.py [--out DIR]

Checked (exit status 1 when one fails): the solve converged; the 2DEG over the GaN channel within 15 %
of Ambacher's estimate, 1.12e13 cm^-2 (the triangular well puts E0 about 0.1 eV high and so expects
about 7 % more, see examples/hemt/run.sh); the lowest state below the Fermi level and peaking in the
first 10 nm of the channel.
"""

import argparse
import os
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

import tervane  # noqa: E402

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from ambacher import ambacher_ns  # noqa: E402

NM = 1e9  # nm per m


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=".", help="folder of hemt_bands.png")
    out = parser.parse_args().out

    materials = tervane.standard_materials()
    hemt = tervane.Structure([tervane.Layer("AlGaN", thickness=25e-9, x=0.25, dx=5e-10),
                              tervane.Layer("GaN", thickness=1e-6, dx=5e-10, Nd=1e22)], left=tervane.Fixed(1.2))
    s = tervane.solve(hemt, materials, schroedinger=True, schroedinger_iterations=40)
    electrons = s.bound_states["electron"]
    ns = s.sheet_density(25e-9, s.x[-1]) * 1e-4  # cm^-2
    _, estimate = ambacher_ns(0.25, 250, 1.2)

    figure, axes = plt.subplots(figsize=(8, 5))
    shown = s.x < 60e-9
    axes.plot(s.x[shown] * NM, s.Ec[shown], "k", label="Ec")
    axes.plot(s.x[shown] * NM, s.Efn[shown], "r--", label="EF")
    scale = 0.1 / (electrons["psi"] ** 2).max()  # eV per m^-1 of |psi|^2
    for k, (level, psi) in enumerate(list(zip(electrons["energies"], electrons["psi"]))[:4]):
        density = psi[shown] ** 2
        inside = density > 1e-3 * density.max()  # each state drawn where it lives
        axes.plot(s.x[shown][inside] * NM, level + scale * density[inside], lw=1.2, label=f"E{k}, |psi|$^2$")
        axes.axhline(level, color="0.8", lw=0.5)
    axes.set_xlabel("depth (nm)")
    axes.set_ylabel("energy (eV)")
    axes.set_title(f"Al0.25Ga0.75N/GaN HEMT: ns = {ns:.3g} cm$^{{-2}}$ (Ambacher {estimate:.3g})")
    axes.set_ylim(-0.45, 1.3)
    axes.legend()
    path = os.path.join(out, "hemt_bands.png")
    figure.savefig(path, dpi=100)

    peak = s.x[np.argmax(electrons["psi"][0] ** 2)]
    print(f"  2DEG ns over the channel        {ns:.4g} cm^-2 (Ambacher {estimate:.4g})")
    print(f"  lowest state                    {electrons['energies'][0] - s.Efn[0]:+.4f} eV from EF, "
          f"peak at {peak * NM:.2f} nm")
    print(f"  passes                          {s.passes}")
    print(f"  picture                         {path}")
    checks = [
        ("converged", s.converged),
        ("ns within 15 % of Ambacher's estimate", abs(ns / estimate - 1) < 0.15),
        ("lowest state below EF", electrons["energies"][0] < s.Efn[0]),
        ("lowest state peaks in the first 10 nm of the channel", 25e-9 < peak < 35e-9),
    ]
    failed = [name for name, ok in checks if not ok]
    for name in failed:
        print(f"hemt_bands: check failed: {name}", file=sys.stderr)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
