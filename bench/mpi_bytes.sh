#!/bin/bash
# Bytes that the processes of an MPI job exchange per batch.
#
#   bench/mpi_bytes.sh <orvane binary built with ORVANE_MPI> [ions scale]
#
# Builds bench/mpi_bytes.c into a library preloaded into every process,
# which counts what the gathers and broadcasts move, then runs each case
# with 1, 2 and 3 processes of one thread (oversubscribed on a machine of
# fewer cores) and prints, per batch, the bytes that the first process
# receives and those that each other process sends and receives.  The
# cases: boron at 10 keV into crystalline Si(100), ions only; arsenic at
# 50 keV into amorphous silicon with the full cascade (the default damage
# constants, which retain no damage); and boron at 3 keV with the cascade
# and damage retained (CteD 1), whose damage travels summed per cell.
set -euo pipefail

if [ $# -lt 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 <orvane binary built with ORVANE_MPI> [ions scale]" >&2
  exit 2
fi
binary=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
scale=${2:-1}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

work=$(mktemp -d /tmp/orvane_mpi_bytes.XXXXXX)
trap 'rm -rf "$work"' EXIT
mpicc -O2 -shared -fPIC -o "$work/libmpi_bytes.so" "$source_dir/bench/mpi_bytes.c"
source "$source_dir/bench/case_file.sh"
prepare_tables "$source_dir"
export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1

# The ions per batch of a simulation of that many ions, bounded by 1024
# when the damage couples the ions (a second argument "kept").
batch_size() {
  awk -v n="$1" -v kept="${2:-}" 'BEGIN {
    b = int((n + 99) / 100); b = b < 32 ? 32 : b
    print (kept == "kept" && b > 1024) ? 1024 : b }'
}

cases=(
  "B_10keV_cSi100_7deg_ions|1 10000 0 1|800|"
  "As_50keV_aSi_cascade|2 50000 2 2|64|"
  "B_3keV_aSi_cascade_damage|1 3000 2 2|200|AmorphizationDensity 4.99e21 CteD 1"
)

printf '%-28s %6s %6s %9s %16s %16s %16s %14s\n' "case" "ions" "procs" "batches" \
  "first recv/batch" "other sent/batch" "other recv/batch" "chunks/batch"
for entry in "${cases[@]}"; do
  IFS='|' read -r name physics ions damage <<< "$entry"
  read -r projectile energy kind level <<< "$physics"
  ions=$(awk -v n="$ions" -v s="$scale" 'BEGIN { n = int(n * s); print n < 1 ? 1 : n }')
  size=$(batch_size "$ions" "$([ -n "$damage" ] && echo kept)")
  batches=$(( (ions + size - 1) / size ))
  dir="$work/$name"
  mkdir -p "$dir" && cd "$dir"
  write_case warm.in "$projectile" "$energy" "$kind" "$level" 1 "" "$damage"
  "$binary" --threads 1 warm.in > /dev/null 2>&1
  write_case case.in "$projectile" "$energy" "$kind" "$level" "$ions" "" "$damage"
  for processes in 1 2 3; do
    rm -f bytes.*
    mpirun --oversubscribe -np "$processes" -x LD_PRELOAD="$work/libmpi_bytes.so" \
      -x MPI_BYTES_OUT="$dir/bytes" "$binary" --threads 1 --quiet case.in > case.out 2> case.err
    awk -v name="$name" -v ions="$ions" -v p="$processes" -v b="$batches" '
      /^mpi_bytes rank/ {
        rank = $3 + 0
        if (rank == 0) first = $10
        else { sent += $7; recv += $10; others++ }
        fetches += $12
      }
      END {
        printf "%-28s %6d %6d %9d %16.0f %16.0f %16.0f %14.1f\n", name, ions, p, b, first / b,
          others ? sent / others / b : 0, others ? recv / others / b : 0, fetches / b
      }' bytes.*
  done
done
