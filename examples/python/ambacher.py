"""Ambacher's charge-control estimate of an AlGaN/GaN HEMT's 2DEG, as examples/lib.sh (ambacher_ns)
computes it for the shell examples: Ambacher et al., J. Appl. Phys. 87, 334 (2000),
ns = sigma/q - eps0 eps_b/(q^2 d) (q phi_b + E_F - dEc), E_F = E0 + pi hbar^2 ns/m*,
E0 = (9 pi hbar q^2 ns / (8 eps0 eps_w sqrt(8 m*)))^(2/3): a triangular well with one subband.
The polarization comes from the standard library's laws (GaN substrate: a = 3.189 A, Psp = -0.029
C/m^2; the channel carries none, so sigma = -P(AlGaN))."""

import math

q = 1.6e-19
eps0 = 8.85e-12
hbar2 = 1.113025e-68
m0 = 9.1e-31


def ambacher_ns(x, d_angstrom, phi_b):
    """(sigma, ns) in cm^-2 for Al(x)Ga(1-x)N of d_angstrom A on GaN under a barrier of phi_b eV."""
    d = d_angstrom * 1e-10
    a = 3.189 - 0.077 * x
    strain = (3.189 - a) / a
    e31, e33 = -0.49 - 0.11 * x, 0.73 + 0.73 * x
    c13, c33 = 103 + 5 * x, 405 - 32 * x
    P = 2 * strain * (e31 - e33 * c13 / c33) + (-0.029 - 0.052 * x) - (-0.029)
    sigma = -P  # C/m^2
    dEc = 1.22051 * x + 0.7 * x * x  # eV, AlGaN above GaN
    eps_b, eps_w, m = 9.5 - 0.5 * x, 9.5, 0.2 * m0
    lo, hi = 0.0, sigma / q
    for _ in range(200):  # bisection on ns, m^-2
        ns = (lo + hi) / 2
        E0 = math.exp(2 / 3 * math.log(9 * math.pi * math.sqrt(hbar2) * q * q * ns /
                                       (8 * eps0 * eps_w * math.sqrt(8 * m)))) / q
        EF = E0 + math.pi * hbar2 * ns / m / q
        if sigma / q - eps0 * eps_b / (q * d) * (phi_b + EF - dEc) > ns:
            lo = ns
        else:
            hi = ns
    return sigma / q * 1e-4, ns * 1e-4
