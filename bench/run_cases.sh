#!/bin/bash
# Whole-process speed of the program on the cases users compare it by.
#
#   bench/run_cases.sh <orvane binary> [repetitions] [extra options before the file]
#
# Builds nothing.  Prepares a fresh table directory once (the shipped
# isolated-atom densities, then one untimed ion per case generates the
# scattering, stopping and density tables), runs every case the given
# number of times (default 3) and prints the median ions per second of
# the whole process.  ORVANE_BENCH_SCALE multiplies the ion counts
# (default 1).  Extra options (e.g. "--threads 2") go before the file.
set -euo pipefail

if [ $# -lt 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 <orvane binary> [repetitions] [options]" >&2
  exit 2
fi
binary=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
repetitions=${2:-3}
shift $(( $# >= 2 ? 2 : 1 ))
options=("$@")
scale=${ORVANE_BENCH_SCALE:-1}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

work=$(mktemp -d /tmp/orvane_bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
source "$source_dir/bench/case_file.sh"
prepare_tables "$source_dir"

# case name, projectile, energy (eV), layer kind (0 crystal, 2 amorphous),
# level of simulation, ions, partners drawn from the density (On) or
# searched in a rotated lattice (Off)
cases=(
  "B_10keV_cSi100_7deg_ions 1 10000 0 1 400 Off"
  "B_10keV_aSi_ions 1 10000 2 1 400 Off"
  "B_1keV_aSi_ions 1 1000 2 1 2000 Off"
  "As_50keV_aSi_ions 2 50000 2 1 1000 Off"
  "As_50keV_aSi_cascade 2 50000 2 2 40 Off"
  "B_10keV_aSi_ions_sampled 1 10000 2 1 2000 On"
  "As_50keV_aSi_ions_sampled 2 50000 2 1 5000 On"
  "As_50keV_aSi_cascade_sampled 2 50000 2 2 200 On"
)

# The switch of drawn partners, as a line of the layer.
partners_line() { [ "$1" = On ] && echo "SampledPartners On" || true; }

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf '%-28s %8s %12s\n' "case" "ions" "ions/s"
for entry in "${cases[@]}"; do
  read -r name projectile energy kind level ions sampled <<< "$entry"
  ions=$(awk -v n="$ions" -v s="$scale" 'BEGIN { n = int(n * s); print n < 1 ? 1 : n }')
  dir="$work/$name"
  mkdir -p "$dir"
  cd "$dir"
  write_case warm.in "$projectile" "$energy" "$kind" "$level" 1 "$(partners_line "$sampled")"
  "$binary" "${options[@]}" warm.in > /dev/null 2>&1
  write_case case.in "$projectile" "$energy" "$kind" "$level" "$ions" "$(partners_line "$sampled")"
  rates=()
  for _ in $(seq "$repetitions"); do
    start=$(date +%s.%N)
    "$binary" "${options[@]}" case.in > case.out 2> case.err
    end=$(date +%s.%N)
    rates+=("$(awk -v n="$ions" -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", n / (b - a) }')")
  done
  printf '%-28s %8d %12s   (runs: %s)\n' "$name" "$ions" \
    "$(printf '%s\n' "${rates[@]}" | median)" "${rates[*]}"
done
