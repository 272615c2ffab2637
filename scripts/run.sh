#!/usr/bin/env bash
# Starts Lexivane from its program folder (the folder holds the program, the
# engine library and the dictionaries); the program opens the largest dictionary
# in its folder. Without the program, shows one look-up in that dictionary.
set -euo pipefail
dist=${1:-build/dist}
for size in large medium small; do
  dict="$dist/English Dictionary ($size).pdb"
  if [[ -f "$dict" && -x "$dist/lexivane" ]]; then
    echo "Lexivane: starting with $(basename "$dict")"
    exec "$dist/lexivane"
  fi
  if [[ -f "$dict" ]]; then
    echo "Lexivane: looking up \"cat\" in $(basename "$dict")"
    exec "$dist/lexivane-dict" lookup "$dict" cat
  fi
done
echo "Lexivane: no dictionary has been built in $dist" >&2
exit 1
