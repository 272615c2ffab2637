#!/usr/bin/env bash
# Runs clang-tidy over every .cc file the build compiles (base/, lexicore/,
# tools/, their tests and the engine benchmark, the code without Qt: the root
# .clang-tidy) and every .cpp file of the program's folders (app/ ... words/,
# with Qt: .clang-tidy-gui, which each of those folders links as its
# .clang-tidy). Fails when any file has a finding.
#   scripts/tidy.sh [BUILD_DIR] [JOBS]   (defaults: build, nproc)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
jobs=${2:-$(nproc)}
database="$build/compile_commands.json"
if [[ ! -f "$database" ]]; then
  echo "tidy: $database is missing; configure the build first (make configure)" >&2
  exit 2
fi
root=$(pwd)
grep -o '"file": "[^"]*"' "$database" | cut -d'"' -f4 | sort -u |
  grep -E "\.cc$|^$root/(app|definition|html|pages|platform|res|search|words)/[^/]*\.cpp$" |
  xargs -P "$jobs" -n 1 clang-tidy -p "$build" --quiet
