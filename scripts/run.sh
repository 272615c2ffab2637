#!/usr/bin/env bash
# Starts Lexivane from its program folder (the program, the engine library and
# the dictionaries); the program opens the largest dictionary in its folder.
set -euo pipefail
dist=${1:-build/dist}
for size in large medium small; do
  if [[ -f "$dist/English Dictionary ($size).pdb" ]]; then
    echo "Lexivane: starting with English Dictionary ($size).pdb"
    break
  fi
done
exec "$dist/lexivane"
