#!/usr/bin/env bash
# A design sweep of the AlGaN/GaN HEMT of examples/hemt: the 2DEG sheet density ns and the lowest
# subband E0 - EF against the barrier's Al fraction x (0.15 to 0.35) and thickness d (150 to 300 A),
# 20 points, each with Ambacher's closed form for ns beside it.
#
#   tervane-cli sweep examples/sweep/hemt-sweep.toml --out results.csv
#
# Key figures: the table, one row per point. Checked: every point converged; ns within 20 % of the
# charge-control estimate of Ambacher et al., J. Appl. Phys. 87, 334 (2000) (examples/lib.sh,
# ambacher_ns), which takes the channel for a triangular well with one subband: it sits 2-11 % above
# the full solution for most points and 18 % below it at the thinnest, lowest-x barrier, where ns is
# smallest; ns rises with x and with d as both say.
#
# Usage: run.sh [--out DIR] [--jobs N]   (results.csv goes to DIR; default the current folder)

name=sweep
left_contact=
source "$(dirname "$0")/../lib.sh"

out=.
jobs=()
while [ $# -gt 0 ]; do
  case $1 in
    -h | --help)
      awk 'NR == 1 { next } /^#/ { sub(/^# ?/, ""); print; next } { exit }' "$0"
      exit 0
      ;;
    --out)
      out=${2:?--out needs a folder}
      shift 2
      ;;
    --jobs)
      jobs=(--jobs "${2:?--jobs needs a number}")
      shift 2
      ;;
    *)
      echo "sweep: unknown argument $1 (see --help)" >&2
      exit 2
      ;;
  esac
done
find_tool
mkdir -p "$out"
results="$out/results.csv"
rm -f "$results" # a fresh run: the example checks a whole sweep, not a resumed one

echo "$ tervane-cli sweep examples/sweep/hemt-sweep.toml --out $results ${jobs[*]}"
"$tool" sweep "$example_dir/hemt-sweep.toml" --out "$results" "${jobs[@]}"
echo

printf '  %5s %6s %12s %12s %7s %9s %6s\n' x "d (A)" "ns (cm^-2)" "Ambacher" ratio "E0-EF" passes
previous_x=
previous_ns=0
monotonic=1
converged_points=0
near_points=0
while IFS=, read -r point x d ns E0 passes converged status message; do
  read -r sigma estimate < <(ambacher_ns "$x" "$d" 1.2)
  awk -v x="$x" -v d="$d" -v ns="$ns" -v a="$estimate" -v E0="$E0" -v p="$passes" \
    'BEGIN { printf "  %5.2f %6g %12.4g %12.4g %7.3f %9.4f %6d\n", x, d, ns, a, ns / a, E0, p }'
  if [ "$status" = ok ] && [ "$converged" = 1 ]; then
    converged_points=$((converged_points + 1))
  fi
  if awk -v a="$ns" -v b="$estimate" 'BEGIN { r = a / b; exit !(r > 0.8 && r < 1.2) }'; then
    near_points=$((near_points + 1))
  fi
  if [ "$x" = "$previous_x" ] && awk -v a="$ns" -v b="$previous_ns" 'BEGIN { exit !(a <= b) }'; then
    monotonic=0
  fi
  previous_x=$x
  previous_ns=$ns
done < <(tail -n +3 "$results")
echo
echo "Checks"
check "points converged, status ok" "$converged_points" 20 0
check "points with ns within 20 % of the closed form" "$near_points" 20 0
check "ns rises with d at every x (1 = yes)" "$monotonic" 1 0
echo
if [ "$failures" -gt 0 ]; then
  echo "sweep: $failures check(s) FAILED"
  exit 1
fi
echo "sweep: all checks passed; the table is $results"
