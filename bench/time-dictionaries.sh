#!/usr/bin/env bash
# Times compiling the two WordNet dictionaries from the Debian data and prints
# their sizes beside the size of the dictd source, then the compiler's stats.
# Usage: bench/time-dictionaries.sh [DIST_DIR]   (default build/dist)
set -euo pipefail
dist=${1:-build/dist}
tool="$dist/lexivane-dict"
dictd=/usr/share/dictd
wordnet=/usr/share/wordnet
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

source_bytes=$(($(stat -c %s "$dictd/wn.index") + $(stat -c %s "$dictd/wn.dict.dz")))
for size in small medium; do
  args=(build -o "$out/$size.pdb" --wordnet "$dictd/wn.index" --exceptions "$wordnet"
    --wordnet-data "$wordnet")
  [[ $size == small ]] && args+=(--frequent "$wordnet/cntlist.rev")
  TIMEFORMAT=%R
  seconds=$({ time "$tool" "${args[@]}" >/dev/null; } 2>&1)
  printf '%-6s %6s s  %10d bytes  (dictd source: %d bytes)\n' "$size" "$seconds" \
    "$(stat -c %s "$out/$size.pdb")" "$source_bytes"
done
for size in small medium; do
  echo
  "$tool" stats "$out/$size.pdb" --wordnet-data "$wordnet" --exceptions "$wordnet"
done
