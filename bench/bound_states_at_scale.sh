#!/usr/bin/env bash
# Bound states at any grid size: whole-process time, Schroedinger passes and peak memory of
# `tervane-cli solve --schroedinger` on the AlGaN/GaN HEMT (25 nm Al0.25Ga0.75N on 1 um GaN, surface
# barrier 1.165 eV) at 2,050, 8,200, 16,400 and 32,800 grid points, for both self-consistency modes,
# with and without eigenstate files; then the Al fraction swept from 0.15 to 0.35 at 2,050 points.
# Each figure is the median of REPEAT runs (default 3).
#
#   bench/bound_states_at_scale.sh [--repeat N] [--points "2050 8200 ..."] [--modes "..."] [--no-files]
#                                  [--files-only] [--no-sweep] [--timeout S]
#
# tervane-cli is $TERVANE_CLI when set, else build/cli/tervane-cli of this tree. Needs GNU time
# (/usr/bin/time) and awk. A run that takes longer than --timeout seconds (default 1200) is cut and
# shown as such.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=${TERVANE_CLI:-$root/build/cli/tervane-cli}
repeat=3
points="2050 8200 16400 32800"
modes="alternating accelerated"
files="no yes"
sweep=true
limit=1200
while [ $# -gt 0 ]; do
  case $1 in
    --repeat) repeat=$2; shift 2 ;;
    --points) points=$2; shift 2 ;;
    --modes) modes=$2; shift 2 ;;
    --no-files) files=no; shift ;;
    --files-only) files=yes; shift ;;
    --no-sweep) sweep=false; shift ;;
    --timeout) limit=$2; shift 2 ;;
    -h | --help)
      awk 'NR == 1 { next } /^#/ { sub(/^# ?/, ""); print; next } { exit }' "$0"
      exit 0
      ;;
    *) echo "bound_states_at_scale: unknown argument $1 (see --help)" >&2; exit 2 ;;
  esac
done
[ -x "$tool" ] || { echo "bound_states_at_scale: no tervane-cli at $tool" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "bound_states_at_scale: needs GNU time (apt-get install time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# structure N X: the HEMT script with N grid points and Al fraction X.
structure() {
  local dx
  dx=$(awk -v n="$1" 'BEGIN { printf "%.10g", 10250 / n }')
  printf 'AlGaN x=%s t=250 dx=%s\nGaN t=10000 dx=%s Nd=1e16\n' "$2" "$dx" "$dx" >"$work/hemt-$1-$2.txt"
  echo "$work/hemt-$1-$2.txt"
}

# measure SCRIPT MODE FILES: prints "seconds passes megabytes converged" as medians of the runs.
measure() {
  local script=$1 mode=$2 withFiles=$3 run
  local -a options=(--left fixed:1.165 --schroedinger --self-consistency "$mode" --schroedinger-iterations 400
    --status-json "$work/status.json")
  [ "$withFiles" = yes ] && options+=(--dump-dir "$work/states")
  mkdir -p "$work/states"
  for ((run = 0; run < repeat; run++)); do
    if /usr/bin/time -f '%e %M' -o "$work/time" timeout "$limit" "$tool" solve "$script" "${options[@]}" \
      >/dev/null 2>&1 || [ $? -eq 3 ]; then
      read -r seconds kilobytes <"$work/time"
      passes=$(awk -F': ' '/"iterations"/ { sub(/,/, "", $2); print $2 }' "$work/status.json")
      converged=$(awk -F': ' '/"converged"/ { sub(/,/, "", $2); print $2 }' "$work/status.json")
      echo "$seconds $passes $((kilobytes / 1024)) $converged"
    else
      echo "cut - - -"
    fi
    rm -rf "$work/states"/* "$work/status.json"
  done | sort -n | awk -v n="$repeat" 'NR == int((n + 1) / 2) { print }'
}

printf '%-8s %-12s %-6s %10s %7s %9s %s\n' points mode files seconds passes "peak MB" converged
for n in $points; do
  script=$(structure "$n" 0.25)
  for mode in $modes; do
    for withFiles in $files; do
      read -r seconds passes megabytes converged < <(measure "$script" "$mode" "$withFiles")
      printf '%-8s %-12s %-6s %10s %7s %9s %s\n' "$n" "$mode" "$withFiles" "$seconds" "$passes" "$megabytes" \
        "$converged"
    done
  done
done

if $sweep; then
  echo
  printf '%-6s %-12s %10s %7s %9s %s\n' x mode seconds passes "peak MB" converged
  for x in 0.15 0.20 0.25 0.30 0.35; do
    script=$(structure 2050 "$x")
    for mode in $modes; do
      read -r seconds passes megabytes converged < <(measure "$script" "$mode" no)
      printf '%-6s %-12s %10s %7s %9s %s\n' "$x" "$mode" "$seconds" "$passes" "$megabytes" "$converged"
    done
  done
fi
