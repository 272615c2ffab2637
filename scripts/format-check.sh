#!/usr/bin/env bash
# Checks that every C and C++ source of the tree is laid out as clang-format
# (the root .clang-format) lays it out; names each file that is not and fails.
# `clang-format -i FILE` mends one.
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  list_sources() { git ls-files -z '*.c' '*.cc' '*.cpp' '*.h'; }
else
  list_sources() {
    find . \( -name '.*' -o -name 'build*' \) -prune -o -type f \
      \( -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.h' \) -print0
  }
fi
list_sources | xargs -0 clang-format --dry-run --Werror
