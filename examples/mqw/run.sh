#!/usr/bin/env bash
# InGaN/GaN multiple quantum well between p- and n-GaN: the polarization fields in the wells.
#
#   tervane-cli solve examples/mqw/mqw.tvn --bands bands.txt
#
# Key figures: the electric field in each well and in the barrier before it, read from the slope of
# Ec in the band profile (about +1.80 MV/cm in the wells against -0.76 MV/cm in the barriers), and
# the sheet charge at the well edges those fields imply.
# Checked: Gauss's law at the interface, eps_w F_w - eps_b F_b = sigma/eps0, with sigma the
# polarization of strained In0.15Ga0.85N on GaN from the library's laws (0.02285 C/m^2): the well
# field must be (sigma/eps0 + eps_b F_b)/eps_w within 3 %; and, loosely, the field of an unbiased
# periodic well stack, F_w = sigma L_b / (eps0 (eps_w L_b + eps_b L_w)) = 2.03 MV/cm, within 25 %
# (the p-n junction's own field, which tilts the barriers, lowers it).
#
# Usage: run.sh [--out DIR] [--from-script] | --make-document | --check-document (see ../lib.sh)

name=mqw
left_contact=
source "$(dirname "$0")/../lib.sh"
example_parse "$@"

example_solve

# Polarization of In0.15Ga0.85N on the GaN substrate (the barriers carry none), its permittivity,
# and the field of a periodic stack of 25 A wells in 100 A barriers.
read -r sigma eps_w periodic < <(awk 'BEGIN {
  x = 0.15; eps0 = 8.85e-12
  a = 3.189 + 0.356 * x; strain = (3.189 - a) / a
  e31 = -0.49 - 0.08 * x; e33 = 0.73 + 0.24 * x; c13 = 103 - 11 * x; c33 = 405 - 181 * x
  sigma = 2 * strain * (e31 - e33 * c13 / c33) + (-0.029 - 0.003 * x) - (-0.029)
  eps_w = 9.5 + 5.8 * x; eps_b = 9.5; Lw = 25; Lb = 100
  printf "%.6g %.6g %.6g\n", sigma, eps_w, sigma * Lb / (eps0 * (eps_w * Lb + eps_b * Lw)) * 1e-8
}')
eps_b=9.5

echo "Key figures"
figure "polarization sheet charge at the well edges" "$sigma" "C/m^2"
for well in 1 2 3; do
  # Well k spans 1100 + 125 (k-1) .. +25 A; its barrier on the left, the 50 A before it. The slope is
  # taken between grid points inside each layer only; eV per Angstrom times 100 is MV/cm.
  start=$((1100 + 125 * (well - 1)))
  read -r F_w F_b < <(awk -v start="$start" 'NR > 1 {
      if ($1 == start) { w0 = $2 } if ($1 == start + 22.5) { w1 = $2 }
      if ($1 == start - 50) { b0 = $2 } if ($1 == start - 5) { b1 = $2 }
    } END { printf "%.6g %.6g\n", (w1 - w0) / 22.5 * 100, (b1 - b0) / 45 * 100 }' "$out/bands.txt")
  figure "field in well $well" "$F_w" "MV/cm"
  figure "field in the barrier before well $well" "$F_b" "MV/cm"
  expected=$(awk -v s="$sigma" -v eb="$eps_b" -v ew="$eps_w" -v Fb="$F_b" \
    'BEGIN { printf "%.6g", (s / 8.85e-12 * 1e-8 + eb * Fb) / ew }')
  check "well $well field vs sheet charge (Gauss)" "$F_w" "$expected" 3% "MV/cm"
  check "well $well field vs periodic stack" "$F_w" "$periodic" 25% "MV/cm"
done
example_finish
