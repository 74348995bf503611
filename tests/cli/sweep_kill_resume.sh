#!/usr/bin/env bash
# A sweep killed with SIGKILL at five random moments and resumed each time ends with the table of a run
# that was never interrupted: every point exactly once, byte for byte the same rows.
#
#   tests/cli/sweep_kill_resume.sh TERVANE_CLI SOURCE_DIR
#
# The sweep: 200 classical solves of 20000 points each (n-GaAs under a Fixed contact), about a second
# and a half on two cores, so that the kills land while rows are being written.
set -euo pipefail

tool=${1:?usage: sweep_kill_resume.sh TERVANE_CLI SOURCE_DIR}
source_dir=${2:?usage: sweep_kill_resume.sh TERVANE_CLI SOURCE_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

printf 'GaAs t=20000 dx=1 Nd=1e17\n' >s.txt
cat >w.toml <<TOML
structure = "s.txt"
materials = "$source_dir/examples/materials/standard.toml"
[settings]
left = 0.6
[[parameter]]
name = "Nd"
set = "0.Nd"
log = [1e16, 1e18, 40]
[[parameter]]
name = "phi"
set = "left_barrier"
linear = [0.2, 1.0, 5]
[[figure]]
name = "Ec"
kind = "Ec"
depth_nm = 50
[[figure]]
name = "ns"
kind = "sheet_density"
range_nm = [0, 500]
[[figure]]
name = "passes"
kind = "passes"
TOML

"$tool" sweep w.toml --out reference.csv --quiet --jobs 2

for kill in 1 2 3 4 5; do
  delay=$(awk -v r="$RANDOM" 'BEGIN { printf "%.2f", 0.03 + 0.17 * r / 32767 }')
  jobs=$((kill % 2 + 1))
  "$tool" sweep w.toml --out resumed.csv --quiet --jobs "$jobs" &
  pid=$!
  sleep "$delay"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rows=$(($(wc -l <resumed.csv) - 2))
  echo "kill $kill after ${delay} s (--jobs $jobs): $rows rows written"
done
"$tool" sweep w.toml --out resumed.csv --quiet --jobs 1

points=$(awk -F, 'NR > 2 { print $1 }' resumed.csv | sort -n | uniq | wc -l)
rows=$(($(wc -l <resumed.csv) - 2))
if [ "$points" -ne 200 ] || [ "$rows" -ne 200 ]; then
  echo "FAILED: $rows rows for $points distinct points; expected 200 of each" >&2
  exit 1
fi
if ! cmp -s reference.csv resumed.csv; then
  echo "FAILED: the resumed table differs from the uninterrupted one:" >&2
  diff reference.csv resumed.csv | head -5 >&2
  exit 1
fi
echo "every point once, the same table as the uninterrupted run"
