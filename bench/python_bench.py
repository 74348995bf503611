"""The Python module's two targets, on the AlGaN/GaN HEMT of examples/hemt (2,050 grid points,
Schroedinger with accelerated passes):

1. The overhead of tervane.solve() over the core's solve: the wall time of the Python call (copying
   the structure and materials in, the solve, the result object) against the core's own time for the
   same solve (Solution.solve_time, measured around the core's solve()). Target: under 5 %. Median
   of REPEAT runs.
2. Sweep throughput on a Dask LocalCluster: POINTS points (the Al fraction, 0.15 to 0.35) on one worker
   and on two (processes, one thread each). Target: two workers at least 1.7 times the rate of one.

    PYTHONPATH=build/python python3 bench/python_bench.py [--repeat N] [--points N]
"""

import argparse
import os
import statistics
import time

import tervane

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
HEMT = os.path.join(ROOT, "examples", "hemt", "hemt.tvn")


def overhead(materials, repeat):
    structure = tervane.load_structure(HEMT)
    overheads = []
    for _ in range(repeat):
        start = time.perf_counter()
        solution = tervane.solve(structure, materials, schroedinger=True)
        elapsed = time.perf_counter() - start
        overheads.append(elapsed / solution.solve_time - 1)
        print(f"solve: Python call {elapsed:.4f} s, core {solution.solve_time:.4f} s")
    print(f"solve: overhead {100 * statistics.median(overheads):+.2f} % (median; target < 5 %)")


def throughput(materials, points):
    from dask.distributed import Client, LocalCluster

    vary = {"x": {"set": "0.x", "linear": [0.15, 0.35, points]}}
    rates = {}
    for workers in (1, 2):
        with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                          dashboard_address=None) as cluster, Client(cluster) as client:
            client.run(lambda: __import__("tervane"))  # import before the clock starts
            start = time.perf_counter()
            table = tervane.sweep(HEMT, materials, vary=vary, figures=["passes"], schroedinger=True, client=client)
            elapsed = time.perf_counter() - start
        assert len(table) == points and (table["status"] == "ok").all()
        rates[workers] = points / elapsed
        print(f"sweep: {points} points on {workers} worker(s): {elapsed:.1f} s, {rates[workers]:.2f} points/s")
    print(f"sweep: two workers {rates[2] / rates[1]:.2f} times the rate of one (target >= 1.7)")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--points", type=int, default=200)
    arguments = parser.parse_args()
    materials = tervane.standard_materials()
    overhead(materials, arguments.repeat)
    throughput(materials, arguments.points)


if __name__ == "__main__":
    main()
