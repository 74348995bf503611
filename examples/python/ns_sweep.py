"""A design sweep of the AlGaN/GaN HEMT from Python: the 2DEG ns against the barrier's Al fraction x
(0.15 to 0.35) and thickness d (150 to 300 A), 20 points on every local core, Ambacher's closed form
beside each; the table is that of examples/sweep/hemt-sweep.toml, ns(x) drawn to ns_sweep.png.

    PYTHONPATH=build/python python3 examples/python/ns_sweep.py [--out DIR]

Checked (exit status 1 when one fails): every point converged; ns within 20 % of the charge-control
estimate (2-11 % above the full solution at most points, 18 % below at the thinnest, lowest-x barrier,
see examples/sweep/run.sh); ns rising with x and with d.
"""

import argparse
import os
import sys

import numpy as np

import tervane

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from ambacher import ambacher_ns  # noqa: E402

EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
VARY = {"x": {"set": "barrier.x", "values": [0.15, 0.2, 0.25, 0.3, 0.35]},
        "d_A": {"set": "barrier.t", "linear": [150, 300, 4]}}
FIGURES = [{"name": "ns", "kind": "layer_sheet_density", "layer": "channel"},
           {"name": "E0", "kind": "subband", "index": 0}, "passes", "converged"]


def run(client=None):
    """The sweep's table (a DataFrame), with Ambacher's ns beside the solved one."""
    table = tervane.sweep(os.path.join(EXAMPLES, "hemt", "hemt.tvn"),
                          os.path.join(EXAMPLES, "materials", "standard.toml"), vary=VARY, figures=FIGURES,
                          layers={"barrier": 0, "channel": 1}, schroedinger=True, schroedinger_iterations=40,
                          client=client)
    table["ns_ambacher"] = [ambacher_ns(x, d, 1.2)[1] for x, d in zip(table["x"], table["d_A"])]
    return table


def check(table, name):
    """Prints the table and the checks; returns the exit status."""
    print(table[["x", "d_A", "ns", "ns_ambacher", "E0", "passes"]].to_string(index=False))
    rising_x = all(np.all(np.diff(group["ns"]) > 0) for _, group in table.groupby("d_A"))
    rising_d = all(np.all(np.diff(group["ns"]) > 0) for _, group in table.groupby("x"))
    checks = [
        ("20 points, every one converged", len(table) == 20 and (table["converged"] == 1).all()),
        ("ns within 20 % of Ambacher's estimate", (abs(table["ns"] / table["ns_ambacher"] - 1) < 0.20).all()),
        ("ns rising with x and with d", rising_x and rising_d),
    ]
    failed = [label for label, ok in checks if not ok]
    for label in failed:
        print(f"{name}: check failed: {label}", file=sys.stderr)
    return 1 if failed else 0


def draw(table, path):
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    figure, axes = plt.subplots(figsize=(7, 4.5))
    for d, group in table.groupby("d_A"):
        line, = axes.plot(group["x"], group["ns"], "o-", label=f"d = {d:g} A")
        axes.plot(group["x"], group["ns_ambacher"], "--", color=line.get_color())
    axes.set_xlabel("Al fraction x")
    axes.set_ylabel("ns (cm$^{-2}$); dashed: Ambacher")
    axes.legend()
    figure.savefig(path, dpi=100)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=".", help="folder of ns_sweep.png")
    out = parser.parse_args().out
    table = run()
    draw(table, os.path.join(out, "ns_sweep.png"))
    return check(table, "ns_sweep")


if __name__ == "__main__":
    sys.exit(main())
