#!/usr/bin/env bash
# GaAs pn diode: the built-in potential and the depletion widths on both sides of the junction.
#
#   tervane-cli solve examples/pn-diode/pn-diode.tvn --no-polarization --bands bands.txt
#
# Key figures: the built-in potential Vbi = Ec(p contact) - Ec(n contact) (1.280 V), the depletion
# widths xp and xn (126 A and 1262 A: the depleted charge of each side over its doping, summed from
# the exported densities), and the largest field, at the junction (0.177 MV/cm).
# Checked against the depletion approximation with this model's fixed effective densities of states
# (Nc0 = 2.07e24 m^-3, Nv0 = 1.16e25 m^-3, kT = 0.026 eV, full ionization, Boltzmann statistics):
#   Vbi = Eg + kT ln(Na Nd / (Nc0 Nv0))                                     within 1 meV
#   W = sqrt(2 eps (Vbi - 2kT) (Na + Nd) / (q Na Nd)), xn = W Na/(Na+Nd),
#   xp = W Nd/(Na+Nd), Fmax = q Nd xn / eps                                 within 2 %
# (the 2kT corrects the depletion approximation for the majority-carrier tails at both edges).
#
# Usage: run.sh [--out DIR] [--from-script] | --make-document | --check-document (see ../lib.sh)

name=pn-diode
left_contact=
source "$(dirname "$0")/../lib.sh"
example_parse "$@"

example_solve --no-polarization

read -r Vbi_expected xp_expected xn_expected F_expected < <(awk 'BEGIN {
  q = 1.6e-19; eps = 12.9 * 8.85e-12; kT = 0.026; Eg = 1.42248
  Na = 1e24; Nd = 1e23; Nc0 = 2.07e24; Nv0 = 1.16e25
  Vbi = Eg + kT * log(Na * Nd / (Nc0 * Nv0))
  W = sqrt(2 * eps * (Vbi - 2 * kT) * (Na + Nd) / (q * Na * Nd))
  xn = W * Na / (Na + Nd); xp = W * Nd / (Na + Nd)
  printf "%.8g %.6g %.6g %.6g\n", Vbi, xp * 1e10, xn * 1e10, q * Nd * xn / eps * 1e-8
}')

# Depleted widths: the sum of (1 - p/Na) dx over the p side and (1 - n/Nd) dx over the n side; the
# largest field: the steepest slope of Ec (eV per Angstrom times 100 is MV/cm).
read -r Vbi xp xn F_max < <(awk 'NR == 2 { first = $2 }
  NR > 2 { slope = ($2 - Ec) / ($1 - x); if (slope < 0) slope = -slope; if (slope > steepest) steepest = slope }
  NR > 1 { x = $1; Ec = $2; if ($1 < 3000) xp += (1 - $6 / 1e18) * 5; else xn += (1 - $5 / 1e17) * 5 }
  END { printf "%.8g %.6g %.6g %.6g\n", first - Ec, xp, xn, steepest * 100 }' "$out/bands.txt")

echo "Key figures and checks"
check "built-in potential Vbi" "$Vbi" "$Vbi_expected" 1e-3 "V"
check "depletion width, p side xp" "$xp" "$xp_expected" 2% "A"
check "depletion width, n side xn" "$xn" "$xn_expected" 2% "A"
check "largest field" "$F_max" "$F_expected" 2% "MV/cm"
example_finish
