#!/bin/bash
# Peak resident memory of the whole process against the number of ions.
#
#   bench/memory_cases.sh <orvane binary> [small ions] [large ions] [cascade small] [cascade large]
#
# Builds nothing.  Prepares a fresh table directory once (one untimed ion
# per case makes the tables), then runs boron at 1 keV into amorphous
# silicon, ions only, in the classic run and with "--threads 2", and
# arsenic at 50 keV into amorphous silicon with the full cascade with
# "--threads 2", each at a small and a large number of ions, and prints
# the peak resident memory (GNU time's maximum resident set size) of each
# run with the growth from the small to the large one.  Defaults: 1000 and
# 100000 boron ions, 40 and 2000 arsenic ions.
set -euo pipefail

if [ $# -lt 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 <orvane binary> [small] [large] [cascade small] [cascade large]" >&2
  exit 2
fi
binary=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
small=${2:-1000}
large=${3:-100000}
cascade_small=${4:-40}
cascade_large=${5:-2000}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

work=$(mktemp -d /tmp/orvane_memory.XXXXXX)
trap 'rm -rf "$work"' EXIT
source "$source_dir/bench/case_file.sh"
prepare_tables "$source_dir"

# Peak resident memory in MB of one run of the case with the options.
peak_mb() {  # dir projectile energy level ions options...
  local dir=$1 projectile=$2 energy=$3 level=$4 ions=$5
  shift 5
  rm -rf "$dir" && mkdir -p "$dir" && cd "$dir"
  write_case case.in "$projectile" "$energy" 2 "$level" "$ions"
  /usr/bin/time -f "%M" -o rss.txt "$binary" --quiet "$@" case.in > case.out 2> case.err
  awk '{ printf "%.1f", $1 / 1024 }' rss.txt
}

printf '%-34s %9s %9s %9s %9s %7s\n' "case" "ions" "MB" "ions" "MB" "growth"
run() {  # name projectile energy level small large options...
  local name=$1 projectile=$2 energy=$3 level=$4 few=$5 many=$6
  shift 6
  peak_mb "$work/warm" "$projectile" "$energy" "$level" 1 "$@" > /dev/null
  local a b
  a=$(peak_mb "$work/$name.small" "$projectile" "$energy" "$level" "$few" "$@")
  b=$(peak_mb "$work/$name.large" "$projectile" "$energy" "$level" "$many" "$@")
  printf '%-34s %9d %9s %9d %9s %6s%%\n' "$name" "$few" "$a" "$many" "$b" \
    "$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.1f", 100 * (b - a) / a }')"
}

run "B_1keV_aSi_ions classic" 1 1000 1 "$small" "$large"
run "B_1keV_aSi_ions --threads 2" 1 1000 1 "$small" "$large" --threads 2
run "As_50keV_aSi_cascade --threads 2" 2 50000 2 "$cascade_small" "$cascade_large" --threads 2
