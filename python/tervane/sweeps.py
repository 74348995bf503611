"""Sweeps from Python: the points of `tervane-cli sweep`, on local threads or on Dask workers.

A sweep travels as text and bytes (the sweep file, the structure as a document file, the materials
file), never as C++ objects, so that it pickles to any worker; each worker process loads it once.
"""

import hashlib
import json
import math
import os
import tempfile

_SETTING_KEYS = {
    "schroedinger": "schroedinger", "valence": "valence", "polarization": "polarization",
    "partial_ionization": "partial_ionization", "self_consistency": "self_consistency",
    "eigensolver": "eigensolver", "poisson_iterations": "poisson_iterations",
    "schroedinger_iterations": "schroedinger_iterations", "tolerance": "schroedinger_tolerance",
    "damping": "damping", "temperature": "temperature",
}


def _toml_value(value):
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, (int, float)):
        if isinstance(value, float) and not math.isfinite(value):
            raise ValueError(f"a sweep value must be a finite number, not {value}")
        return repr(value)
    if isinstance(value, str):
        return json.dumps(value)
    if isinstance(value, (list, tuple)):
        return "[" + ", ".join(_toml_value(item) for item in value) + "]"
    raise TypeError(f"a sweep value must be a number, a string or a list, not {type(value).__name__}")


def _contact_value(contact):
    from . import Contact

    if not isinstance(contact, Contact):
        raise TypeError("left and right take Fixed(barrier) or Neutral()")
    return contact.barrier if contact.fixed else "neutral"


def sweep_file_text(structure_name, materials_name, vary, figures, combine, layers, settings):
    """The text of the sweep file that describes this sweep, in the format of docs/sweeps.md."""
    lines = [f"structure = {_toml_value(structure_name)}", f"materials = {_toml_value(materials_name)}",
             f"combine = {_toml_value(combine)}", "", "[settings]", 'self_consistency = "accelerated"']
    for key, value in settings.items():
        if key in ("left", "right"):
            lines.append(f"{key} = {_toml_value(_contact_value(value))}")
        elif key == "quantum_region":
            lines.append(f"quantum_region_nm = {_toml_value([value[0] * 1e9, value[1] * 1e9])}")
        elif key in _SETTING_KEYS:
            if key == "self_consistency":
                lines.remove('self_consistency = "accelerated"')
            lines.append(f"{_SETTING_KEYS[key]} = {_toml_value(value)}")
        else:
            raise TypeError(f"sweep() got an unexpected setting {key!r}")
    lines += ["", "[layers]"] + [f"{name} = {_toml_value(index)}" for name, index in (layers or {}).items()]
    for name, values in vary.items():
        table = dict(values) if isinstance(values, dict) else {"values": list(values)}
        table.setdefault("set", name)
        lines += ["", "[[parameter]]", f"name = {_toml_value(name)}"]
        lines += [f"{key} = {_toml_value(value)}" for key, value in table.items()]
    for figure in figures:
        table = {"name": figure, "kind": figure} if isinstance(figure, str) else dict(figure)
        lines += ["", "[[figure]]"] + [f"{key} = {_toml_value(value)}" for key, value in table.items()]
    return "\n".join(lines) + "\n"


def describe(base, materials, vary, figures, combine="product", layers=None, **settings):
    """A picklable description of a sweep: the sweep file's text and the bytes of its two inputs."""
    from . import Materials, Structure

    if isinstance(base, Structure):
        structure_bytes = base.to_bytes()
    else:
        with open(base, "rb") as source:
            structure_bytes = source.read()
    if isinstance(materials, Materials):
        materials_name, materials_bytes = "materials.tvm", materials.__getstate__()
    else:
        materials_name = "materials.toml" if str(materials).lower().endswith(".toml") else "materials.tvm"
        with open(materials, "rb") as source:
            materials_bytes = source.read()
    text = sweep_file_text("structure.tvn", materials_name, vary, figures, combine, layers, settings)
    return {"sweep": text, "structure": structure_bytes, "materials_name": materials_name,
            "materials": materials_bytes}


_runners = {}  # one loaded sweep per description and process


def _runner(description):
    from . import _core

    key = hashlib.sha256(description["sweep"].encode() + description["structure"] + description["materials"])
    key = key.hexdigest()
    if key not in _runners:
        with tempfile.TemporaryDirectory(prefix="tervane-sweep-") as folder:
            for name, content in (("sweep.toml", description["sweep"].encode()),
                                  ("structure.tvn", description["structure"]),
                                  (description["materials_name"], description["materials"])):
                with open(os.path.join(folder, name), "wb") as target:
                    target.write(content)
            _runners[key] = _core._SweepRunner(os.path.join(folder, "sweep.toml"))
    return _runners[key]


def run_points(description, points, threads=1):
    """Rows of the given points (point, parameters, figures, status, message); what a Dask task runs."""
    return _runner(description).run(list(points), threads)


def _table(runner, rows):
    import pandas

    columns = ["point"] + runner.parameters + runner.figures + ["status", "message"]
    records = [[point, *parameters, *figures, status, message]
               for point, parameters, figures, status, message in sorted(rows, key=lambda row: row[0])]
    return pandas.DataFrame.from_records(records, columns=columns)


def submit(client, description, batch=None):
    """Submits every point to a Dask client in batches; returns the futures. A batch whose worker dies
    is run again by Dask on another worker; the others are kept."""
    count = _runner(description).point_count
    workers = max(1, len(client.scheduler_info().get("workers", {})))
    batch = batch or max(1, math.ceil(count / (4 * workers)))
    batches = [list(range(start, min(count, start + batch))) for start in range(0, count, batch)]
    return [client.submit(run_points, description, points, pure=False) for points in batches]


def gather(client, description, futures):
    """The table of submitted futures, in point order."""
    rows = [row for batch in client.gather(futures) for row in batch]
    return _table(_runner(description), rows)


def sweep(base, materials, vary, figures, *, combine="product", layers=None, client=None, threads=None,
          batch=None, **settings):
    """Runs a sweep and returns its table as a pandas DataFrame with the columns of `tervane-cli sweep`:
    point, the parameters, the figures, status ("ok", "not-converged", "failed") and message; a figure
    without a value is NaN.

    base: Structure, or the path of a document file or import script.
    materials: Materials, or the path of a materials file.
    vary: {name: values} with name a `set` target of the sweep file ("0.x", "barrier.t",
      "left_barrier", ...; with `layers` naming the indices), or {name: {"set": ..., "values" |
      "linear" | "log": ...}}. Values in the sweep file's units: thickness and dx in A, densities in
      cm^-3, barriers in eV, temperatures in K.
    figures: list of {"name": ..., "kind": ..., ...} as the sweep file's [[figure]] tables (ranges in
      nm, sheet densities in cm^-2), or the names "passes", "converged", "solve_time".
    combine: "product" (every combination, the last parameter fastest) or "zip".
    settings: as solve() (self_consistency defaults to "accelerated"; quantum_region in m).
    client: a dask.distributed.Client: the points run on its workers in batches of `batch` points
      (default: about four batches per worker). Without one, `threads` solves at once on this machine
      (default: every core), the GIL released.
    """
    description = describe(base, materials, vary, figures, combine, layers, **settings)
    runner = _runner(description)
    if client is not None:
        return gather(client, description, submit(client, description, batch))
    rows = runner.run(list(range(runner.point_count)), threads or os.cpu_count() or 1)
    return _table(runner, rows)
