#!/usr/bin/env bash
# GaAs/AlAs superlattice with nested repeat blocks: the layer list the blocks expand to, and the
# lowest electron miniband of the Schroedinger solution.
#
#   tervane-cli layers examples/superlattice/superlattice.tvn
#   tervane-cli solve examples/superlattice/superlattice.tvn --no-polarization --schroedinger \
#       --bands bands.txt
#
# Key figures: 24 layers (1 + 2 x (5 x 2 + 1) + 1), the conduction-band offset (0.2116 eV, the
# library's AlAs X-valley edge over GaAs), and the ten lowest electron states (one per well), which
# form the lowest miniband, 48.6 to 51.1 meV above the GaAs band edge.
# Checked: the layer count exactly; the offset against dEc(AlAs) - dEc(GaAs) within 1e-5 eV; every
# one of the ten states against the first band of the Kronig-Penney superlattice with the same
# wells, barriers, offset and masses (0.067 in GaAs, 0.97 in AlAs, BenDaniel-Duke matching, solved
# here by bisection: 48.35 to 51.17 meV), within 1 meV of the band (the grid's 1 A spacing and the
# finite stacks, whose states lie inside the infinite superlattice's band).
#
# Usage: run.sh [--out DIR] [--from-script] | --make-document | --check-document (see ../lib.sh)

name=superlattice
left_contact=
source "$(dirname "$0")/../lib.sh"
example_parse "$@"

echo "$ tervane-cli layers $document_file | wc -l"
layers=$("$tool" layers "$document_file" | wc -l)
echo "$layers"
example_solve --no-polarization --schroedinger

# Kronig-Penney: cos(k d) = cos(al a) cosh(be b) + (eta^2 - 1)/(2 eta) sin(al a) sinh(be b), with
# al = sqrt(2 mw E)/hbar, be = sqrt(2 mb (V0 - E))/hbar, eta = (be/mb)/(al/mw); the first band runs
# from the first E where the right side drops to 1 to the first where it reaches -1.
read -r offset band_bottom band_top < <(awk 'function f(E,   al, be, eta) {
    al = sqrt(2 * mw * m0 * E * q) / hbar; be = sqrt(2 * mb * m0 * (V0 - E) * q) / hbar
    eta = be * mw / (al * mb)
    return cos(al * a) * (exp(be * b) + exp(-be * b)) / 2 \
           + (eta * eta - 1) / (2 * eta) * sin(al * a) * (exp(be * b) - exp(-be * b)) / 2
  }
  function crossing(level, lo,   hi, k, mid) {
    for (hi = lo; hi < V0 && f(hi) > level; hi += 1e-5) lo = hi
    for (k = 0; k < 100; k++) { mid = (lo + hi) / 2; if (f(mid) > level) lo = mid; else hi = mid }
    return (lo + hi) / 2
  }
  BEGIN {
    hbar = sqrt(1.113025e-68); m0 = 9.1e-31; q = 1.6e-19
    mw = 0.067; mb = 0.97; V0 = 0.8341 - 0.62248; a = 30e-10; b = 20e-10
    bottom = crossing(1, 1e-6); top = crossing(-1, bottom)
    printf "%.6g %.6g %.6g\n", V0, bottom, top
  }')

read -r Ec_well Ec_barrier < <(awk 'NR == 2 { barrier = $2 } NR > 1 && $1 == 200 { well = $2 }
  END { printf "%.6f %.6f\n", well, barrier }' "$out/bands.txt")
mapfile -t states < <(awk -F'\t' -v Ec="$Ec_well" 'NR == 1 { for (k = 2; k <= 12; ++k) print $k - Ec; exit }' \
  "$out/qstates.dat")

echo "Key figures"
figure "GaAs conduction-band edge" "$Ec_well" "eV"
figure "Kronig-Penney first band, bottom" "$band_bottom" "eV"
figure "Kronig-Penney first band, top" "$band_top" "eV"
for k in $(seq 0 9); do
  figure "state $((k + 1)) above the GaAs band edge" "${states[k]}" "eV"
done
figure "state 11 (above the miniband)" "${states[10]}" "eV"
echo
echo "Checks"
check "layers after the repeat blocks" "$layers" 24 0
check "band offset AlAs over GaAs" "$(awk -v w="$Ec_well" -v b="$Ec_barrier" 'BEGIN { print b - w }')" \
  "$offset" 1e-5 "eV"
for k in $(seq 0 9); do
  check_range "state $((k + 1)) in the Kronig-Penney band" "${states[k]}" "$band_bottom" "$band_top" 1e-3 "eV"
done
check_range "state 11 above the band" "${states[10]}" "$(awk -v hi="$band_top" 'BEGIN { print hi + 2e-3 }')" \
  1 0 "eV"
example_finish
