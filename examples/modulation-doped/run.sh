#!/usr/bin/env bash
# Modulation-doped AlGaAs/GaAs heterostructure with the Schroedinger correction: the two-dimensional
# electron gas in undoped GaAs, fed by donors beyond an undoped spacer.
#
#   tervane-cli solve examples/modulation-doped/modulation-doped.tvn --no-polarization \
#       --schroedinger --schroedinger-iterations 40 --sheet-range 120:1119 --bands bands.txt
#
# Key figures: the 2DEG sheet density in the GaAs (about 7.2e11 cm^-2), the conduction-band offset
# (0.263 eV), the lowest subbands relative to the Fermi level.
# Checked: the offset against the library's laws (dEc(0.3) - dEc(0), 1e-5 eV), and the sheet density
# against the textbook charge-transfer estimate: the donors depleted beyond a spacer d_s give
# ns = sqrt(2 eps_b Nd V / q + (Nd d_s)^2) - Nd d_s with V = dEc - kT ln(Nc0/Nd) - E_F(ns), E_F as in
# the HEMT example (triangular well, one subband), within 20 % (that model ignores the electrons that
# stay in the doped layer and the field across the undoped GaAs; the two differ by about 5 %).
#
# Usage: run.sh [--out DIR] [--from-script] | --make-document | --check-document (see ../lib.sh)

name=modulation-doped
left_contact=fixed:0.8
source "$(dirname "$0")/../lib.sh"
example_parse "$@"

example_solve --no-polarization --schroedinger --schroedinger-iterations 40 --sheet-range 120:1119

read -r offset ns_estimate < <(awk 'BEGIN {
  q = 1.6e-19; eps0 = 8.85e-12; hbar2 = 1.113025e-68; m0 = 9.1e-31; pi = 3.14159265358979; kT = 0.026
  x = 0.3; Nd = 1e24; ds = 100e-10
  dEc = 1.07121 * x - 0.65013 * x * x               # eV, AlGaAs above GaAs
  epsb = 12.9 - 2.84 * x; epsw = 12.9; m = 0.067 * m0
  delta = kT * log(2.07e24 / Nd)                     # Ec - Ef in the neutral doped AlGaAs
  lo = 0; hi = 1e17
  for (k = 0; k < 200; k++) {
    ns = (lo + hi) / 2
    E0 = exp(2 / 3 * log(9 * pi * sqrt(hbar2) * q * q * ns / (8 * eps0 * epsw * sqrt(8 * m)))) / q
    V = dEc - delta - (E0 + pi * hbar2 * ns / m / q)
    supplied = V > 0 ? sqrt(2 * eps0 * epsb * Nd * V / q + (Nd * ds) ^ 2) - Nd * ds : 0
    if (supplied > ns) lo = ns; else hi = ns
  }
  printf "%.6g %.6g\n", dEc, ns * 1e-4
}')

ns=$(status_value sheetCharge)
passes=$(status_value iterations)
error=$(status_value solverError)
# Ec on either side of the interface: the last AlGaAs point (595 A) and the first GaAs point (600 A),
# less the potential step across that one 5 A interval, which the neighbouring intervals give.
read -r step Ec_min < <(awk 'NR > 1 { x[NR] = $1; Ec[NR] = $2; if ($1 == 595) k = NR }
  NR > 1 && (NR == 2 || $2 < min) { min = $2 }
  END { slopeL = Ec[k] - Ec[k - 1]; slopeR = Ec[k + 2] - Ec[k + 1]
        printf "%.6g %.6g\n", Ec[k] - Ec[k + 1] + (slopeL + slopeR) / 2, min }' "$out/bands.txt")
read -r E0 E1 < <(channel_subbands 600)

echo "Key figures"
figure "Schroedinger passes (limit 40)" "$passes"
figure "conduction-band step at the interface" "$step" "eV"
figure "lowest conduction-band edge (GaAs)" "$Ec_min" "eV"
figure "first 2DEG subband E0 - Ef" "$E0" "eV"
figure "second 2DEG subband E1 - Ef" "$E1" "eV"
figure "2DEG sheet density, points 120-1119" "$ns" "cm^-2"
echo
echo "Checks"
check "converged (last update below 1e-5 V)" "$error" 0 1e-5 "V"
check "band offset vs library laws" "$step" "$offset" 2e-3 "eV"
check "2DEG sheet density vs charge-transfer model" "$ns" "$ns_estimate" 20% "cm^-2"
example_finish
