#!/usr/bin/env bash
# Times whole runs of compiling the large dictionary from GCIDE and prints the
# median wall time, the peak memory of the slowest run and the file size.
#   bench/gcide_build_time.sh [DIST_DIR] [RUNS]
set -euo pipefail
dist=${1:-build/dist}
runs=${2:-3}
dictd=${LEXIVANE_DICTD_DIR:-/usr/share/dictd}
wordnet=${LEXIVANE_WORDNET_DIR:-/usr/share/wordnet}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

times=()
peak=0
for ((i = 0; i < runs; i++)); do
  /usr/bin/time -f "%e %M" -o "$out/time" "$dist/lexivane-dict" build -o "$out/large.pdb" \
    --gcide "$dictd/gcide.index" --exceptions "$wordnet" > /dev/null
  read -r seconds kilobytes < "$out/time"
  times+=("$seconds")
  ((kilobytes > peak)) && peak=$kilobytes
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
size=$(stat -c %s "$out/large.pdb")
echo "GCIDE build: median ${median} s of ${runs} runs (${times[*]}), peak RSS ${peak} KB, file ${size} bytes"
