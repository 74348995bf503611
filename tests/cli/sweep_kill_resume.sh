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

rows_in() { if [ -f "$1" ]; then echo $(($(wc -l <"$1") - 2)); else echo 0; fi; }

# Each kill waits for the run to write a row of its own (however loaded the machine), then lands at a
# random moment in the next tenth of a second.
for kill in 1 2 3 4 5; do
  delay=$(awk -v r="$RANDOM" 'BEGIN { printf "%.3f", 0.1 * r / 32767 }')
  jobs=$((kill % 2 + 1))
  before=$(rows_in resumed.csv)
  "$tool" sweep w.toml --out resumed.csv --quiet --jobs "$jobs" &
  pid=$!
  while kill -0 "$pid" 2>/dev/null && [ "$(rows_in resumed.csv)" -le "$before" ]; do
    sleep 0.01
  done
  sleep "$delay"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "kill $kill, ${delay} s after a row (--jobs $jobs): $(rows_in resumed.csv) rows written"
done
"$tool" sweep w.toml --out resumed.csv --quiet --jobs 1

points=$(awk -F, 'NR > 2 { print $1 }' resumed.csv | sort -n | uniq | wc -l)
rows=$(rows_in resumed.csv)
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
