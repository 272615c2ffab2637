#!/usr/bin/env bash
# Starts Lexivane from its program folder (the folder holds the program, the
# engine library and the dictionaries). Until the program itself exists, shows
# one look-up in the largest dictionary that has been built.
set -euo pipefail
dist=${1:-build/dist}
for size in large medium small; do
  dict="$dist/English Dictionary ($size).pdb"
  if [[ -f "$dict" ]]; then
    echo "Lexivane: looking up \"cat\" in $(basename "$dict")"
    exec "$dist/lexivane-dict" lookup "$dict" cat
  fi
done
echo "Lexivane: no dictionary has been built in $dist" >&2
exit 1
