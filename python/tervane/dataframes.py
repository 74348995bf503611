"""The pandas form of a solution."""


def solution_dataframe(solution):
    """One row per grid point: x (m), Ec, Ev, Efn, Efp (eV), n, p (m^-3), phi_pol (V)."""
    import pandas

    return pandas.DataFrame({name: getattr(solution, name)
                             for name in ("x", "Ec", "Ev", "Efn", "Efp", "n", "p", "phi_pol")})
