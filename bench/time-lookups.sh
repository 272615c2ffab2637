#!/usr/bin/env bash
# Times whole runs of `lexivane-dict lookup`: each run is a fresh process that
# opens the dictionary, finds the nearest headword and prints its entry, as a
# start of the program does. Prints the mean wall time per run.
# Usage: bench/time-lookups.sh [DICTIONARY] [RUNS]
#        (default: build/dist/"English Dictionary (medium).pdb", 200 runs)
set -euo pipefail
dict=${1:-"build/dist/English Dictionary (medium).pdb"}
runs=${2:-200}
tool="$(dirname "$dict")/lexivane-dict"
words=(cat geese running studies aardvark serendipity zymurgy catsu xyzzy "a cappella")

start=$(date +%s%N)
for ((i = 0; i < runs; ++i)); do
  "$tool" lookup "$dict" "${words[i % ${#words[@]}]}" >/dev/null
done
end=$(date +%s%N)
echo "$runs lookups in fresh processes: $(((end - start) / runs / 1000)) us per run ($dict)"
