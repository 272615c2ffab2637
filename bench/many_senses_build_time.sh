#!/usr/bin/env bash
# Times compiling one headword with many senses of one part of speech, which
# takes time linear in the senses: prints the wall time for each count.
#   bench/many_senses_build_time.sh [DIST_DIR] [SENSES...]   (defaults: build/dist 25000 100000)
set -euo pipefail
dist=${1:-build/dist}
shift $(($# > 0 ? 1 : 0))
counts=("$@")
((${#counts[@]} > 0)) || counts=(25000 100000)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

for senses in "${counts[@]}"; do
  {
    printf 'word: a\npos: noun\nsense: first\nword: big\npos: noun\n'
    for ((i = 0; i < senses; i++)); do echo "sense: s"; done
  } >"$out/source.txt"
  /usr/bin/time -f "%e" -o "$out/time" "$dist/lexivane-dict" build -o "$out/big.pdb" \
    --text "$out/source.txt" >/dev/null
  echo "$senses senses of one headword: $(cat "$out/time") s"
done
