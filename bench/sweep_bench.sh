#!/usr/bin/env bash
# Sweep throughput: a 200-point sweep of the AlGaN/GaN HEMT (examples/hemt, 2,050 grid points,
# Schroedinger with accelerated passes) over the Al fraction (20 values, 0.15 to 0.35) and the surface
# barrier (10 values, 0.9 to 1.35 eV), run with --jobs 1 and with --jobs 2, alternately, REPEAT times
# (default 3). Prints per run and as medians: wall time, points per second, the speed-up of two jobs
# over one, and the share of the jobs' time spent outside the solves,
#   1 - (sum of the points' solve_time) / (jobs * wall time),
# which holds the loading, the thread hand-offs, the rows written and the idle tail of the last points.
#
#   bench/sweep_bench.sh [--repeat N] [--points N]   (--points: only the first N points, for a quick look)
#
# tervane-cli is $TERVANE_CLI when set, else build/cli/tervane-cli of this tree. Targets: two jobs at
# least 1.8 times the rate of one, and under 5 % of the time outside the solves.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=${TERVANE_CLI:-$root/build/cli/tervane-cli}
repeat=3
count=20
while [ $# -gt 0 ]; do
  case $1 in
    --repeat) repeat=$2; shift 2 ;;
    --points) count=$(( ($2 + 9) / 10 )); shift 2 ;;
    *) echo "sweep_bench.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/sweep.toml" <<TOML
structure = "$root/examples/hemt/hemt.tvn"
materials = "$root/examples/materials/standard.toml"
[settings]
schroedinger = true
self_consistency = "accelerated"
schroedinger_iterations = 40
[[parameter]]
name = "x"
set = "0.x"
linear = [0.15, 0.35, $count]
[[parameter]]
name = "phi"
set = "left_barrier"
linear = [0.9, 1.35, 10]
[[figure]]
name = "ns"
kind = "layer_sheet_density"
layer = 1
[[figure]]
name = "solve_time"
kind = "solve_time"
TOML

# run JOBS: "wall rate outside" of one whole sweep.
run() {
  rm -f "$work/r.csv"
  local start end
  start=$(date +%s.%N)
  "$tool" sweep "$work/sweep.toml" --out "$work/r.csv" --jobs "$1" --quiet
  end=$(date +%s.%N)
  awk -F, -v jobs="$1" -v start="$start" -v end="$end" 'NR > 2 { solving += $5; points++ }
    END { wall = end - start; printf "%.2f %.3f %.2f\n", wall, points / wall, 100 * (1 - solving / (jobs * wall)) }' \
    "$work/r.csv"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

points=$((count * 10))
echo "HEMT sweep, $points points, accelerated, 2,050 grid points; $(nproc) cores; $repeat repetitions"
printf '%-4s %-6s %10s %12s %14s\n' rep jobs "wall (s)" "points/s" "outside (%)"
: >"$work/one" && : >"$work/two"
for ((k = 1; k <= repeat; ++k)); do
  for jobs in 1 2; do
    read -r wall rate outside < <(run "$jobs")
    printf '%-4s %-6s %10s %12s %14s\n' "$k" "$jobs" "$wall" "$rate" "$outside"
    echo "$wall $rate $outside" >>"$work/$([ "$jobs" = 1 ] && echo one || echo two)"
  done
done
one_rate=$(awk '{ print $2 }' "$work/one" | median)
two_rate=$(awk '{ print $2 }' "$work/two" | median)
echo
echo "medians          1 job        2 jobs"
printf 'wall (s)    %10s %12s\n' "$(awk '{ print $1 }' "$work/one" | median)" "$(awk '{ print $1 }' "$work/two" | median)"
printf 'points/s    %10s %12s\n' "$one_rate" "$two_rate"
printf 'outside (%%) %10s %12s\n' "$(awk '{ print $3 }' "$work/one" | median)" "$(awk '{ print $3 }' "$work/two" | median)"
awk -v a="$one_rate" -v b="$two_rate" 'BEGIN { printf "speed-up of 2 jobs over 1: %.2f (target >= 1.8)\n", b / a }'
