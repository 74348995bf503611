#!/usr/bin/env bash
# A sweep on a Slurm cluster: the shards as one job array, the merge as a job that waits for them.
#
#   examples/sweep/slurm-array.sh SWEEP.toml SHARDS OUT_DIR [SBATCH_OPTION...]
#
# Submits SHARDS array tasks (--array=0-(SHARDS-1)); task K runs
#   tervane-cli sweep SWEEP.toml --shard K/SHARDS --out OUT_DIR/shard-K.csv --jobs CPUS
# (CPUS = the task's --cpus-per-task, 1 unless an SBATCH_OPTION sets it), then one job, dependent on
# the whole array (afterany), that runs
#   tervane-cli sweep-merge OUT_DIR/results.csv OUT_DIR/shard-0.csv ... OUT_DIR/shard-(SHARDS-1).csv
# The merge names any point a failed or cancelled task left out: submit the script again with the
# same arguments and each shard resumes where it stopped. Logs: OUT_DIR/shard-K.log, OUT_DIR/merge.log.
# Prints the two job ids ("array ID" and "merge ID"). SBATCH_OPTIONs (--partition, --time,
# --cpus-per-task, --account, ...) go to both submissions.
# tervane-cli is $TERVANE_CLI when set, else the one on PATH; it must be reachable from the nodes, as
# must SWEEP.toml, the files it names and OUT_DIR (a shared file system).
set -euo pipefail

if [ $# -lt 3 ]; then
  echo "usage: slurm-array.sh SWEEP.toml SHARDS OUT_DIR [SBATCH_OPTION...]" >&2
  exit 2
fi
sweep=$(realpath "$1")
shards=$2
mkdir -p "$3"
out=$(realpath "$3")
shift 3
tool=${TERVANE_CLI:-$(command -v tervane-cli || true)}
if [ -z "$tool" ]; then
  echo "slurm-array.sh: tervane-cli not found: put it on PATH or set TERVANE_CLI" >&2
  exit 2
fi
tool=$(realpath "$tool")
if ! [[ $shards =~ ^[1-9][0-9]*$ ]]; then
  echo "slurm-array.sh: SHARDS must be a whole number of 1 or more, not \"$shards\"" >&2
  exit 2
fi

array=$(sbatch --parsable "$@" --job-name=tervane-sweep --array="0-$((shards - 1))" \
  --output="$out/shard-%a.log" \
  --wrap="exec '$tool' sweep '$sweep' --shard \$SLURM_ARRAY_TASK_ID/\$SLURM_ARRAY_TASK_COUNT \
--out '$out'/shard-\$SLURM_ARRAY_TASK_ID.csv --jobs \${SLURM_CPUS_PER_TASK:-1}")
array=${array%%;*} # "id;cluster" on a federation

shard_files=()
for ((k = 0; k < shards; ++k)); do
  shard_files+=("'$out/shard-$k.csv'")
done
merge=$(sbatch --parsable "$@" --job-name=tervane-sweep-merge --dependency="afterany:$array" \
  --output="$out/merge.log" --wrap="exec '$tool' sweep-merge '$out/results.csv' ${shard_files[*]}")
merge=${merge%%;*}
echo "array $array"
echo "merge $merge"
