"""The ns(x, d) sweep of ns_sweep.py on a Dask LocalCluster of two worker processes (one thread
each), as it would run on a cluster behind a notebook: only the client changes.

    PYTHONPATH=build/python python3 examples/python/ns_sweep_dask.py

Checked as ns_sweep.py: every point converged, ns within 20 % of Ambacher's estimate, rising with x
and d. (tests/python/test_sweep.py checks that the workers' table equals the serial one to the bit.)
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from ns_sweep import check, run  # noqa: E402


def main():
    from dask.distributed import Client, LocalCluster

    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        table = run(client)
    return check(table, "ns_sweep_dask")


if __name__ == "__main__":
    sys.exit(main())
