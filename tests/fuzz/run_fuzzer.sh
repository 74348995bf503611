#!/usr/bin/env bash
# Runs one fuzzer for a bounded time on a fresh copy of its seeds and fails on any crash, hang, leak
# or sanitizer report; what it finds lands in WORK_DIR/artifacts.
#   run_fuzzer.sh FUZZER WORK_DIR SECONDS [DICTIONARY] -- SEED...
set -euo pipefail
fuzzer=$1
work=$2
seconds=$3
shift 3
options=()
if [ "$1" != "--" ]; then
  options+=(-dict="$1")
  shift
fi
shift
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
cp "$@" "$work/corpus/"
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/" "${options[@]}" "$work/corpus"
