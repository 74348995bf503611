#!/usr/bin/env bash
# GaN Schottky diode with a C-V sweep: the 1/C^2 line and the doping it gives back.
#
#   tervane-cli solve examples/schottky-cv/schottky-cv.tvn --cv 0:2:0.25 --cv-out cv.out
#
# The sweep raises the left barrier from 1.0 to 3.0 eV (reverse bias 0 to 2 V) and writes the
# depletion capacitance per area at each bias. Key figures: the slope of 1/C^2 against V fitted by
# least squares (about 1.487e6 m^4/(F^2 V)), the donor density it gives back, Nd = 2/(q eps slope)
# (1.000e17 cm^-3), and the bias where the line meets 1/C^2 = 0.
# Checked: Nd against the 1e17 cm^-3 of the structure within 1 %; the intercept against the depletion
# approximation, -(Vbi - kT) with Vbi = 1.0 eV - kT ln(Nc0/Nd) = 0.921 V, less half the probing
# step (each C is the charge change over the next 0.05 STEP = 12.5 mV, the capacitance 6.25 mV further
# on, so the line reaches 0 that much earlier): -0.9015 V, within 2 mV. (Beyond about 2.4 V of
# reverse bias the valence band at the contact nears the Fermi level and holes gather there: this
# equilibrium model has no minority-carrier quasi-Fermi level, so the sweep stops at 2 V.)
#
# Usage: run.sh [--out DIR] [--from-script] | --make-document | --check-document (see ../lib.sh)

name=schottky-cv
left_contact=fixed:1.0
source "$(dirname "$0")/../lib.sh"
example_parse "$@"

step=0.25
example_solve --cv "0:2:$step" --cv-out "$out/cv.out"

read -r intercept_expected < <(awk -v step="$step" 'BEGIN {
  kT = 0.026; Vbi = 1.0 - kT * log(2.07e24 / 1e23)
  printf "%.6g\n", -(Vbi - kT) - 0.025 * step
}')

# Least-squares line through (V, 1/C^2) with C in F/m^2 (cv.out holds F/cm^2).
read -r slope intercept Nd points < <(awk 'NR > 1 { V = $1; C = $2 * 1e4; y = 1 / (C * C)
    n++; sx += V; sy += y; sxx += V * V; sxy += V * y }
  END { slope = (n * sxy - sx * sy) / (n * sxx - sx * sx); b = (sy - slope * sx) / n
        printf "%.6g %.6g %.6g %d\n", slope, -b / slope, 2 / (1.6e-19 * 9.5 * 8.85e-12 * slope) * 1e-6, n }' \
  "$out/cv.out")

echo "Key figures"
figure "biases in cv.out" "$points"
figure "slope of 1/C^2" "$slope" "m^4/(F^2 V)"
echo
echo "Checks"
check "donor density from the slope" "$Nd" 1e17 1% "cm^-3"
check "bias where 1/C^2 reaches 0" "$intercept" "$intercept_expected" 2e-3 "V"
example_finish
