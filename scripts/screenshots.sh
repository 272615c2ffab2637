#!/usr/bin/env bash
# Renders the search page with a word typed into it, and the definition page of
# a headword, on the dictionaries of the program folder, offscreen, to
# docs/images/search.png and docs/images/definition.png.
#   scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
cmake --build "$build" --target search_screenshot definition_screenshot -j2
mkdir -p docs/images
QT_QPA_PLATFORM=offscreen "$build/test-bin/search_screenshot" "$build/dist" docs/images/search.png Cat
QT_QPA_PLATFORM=offscreen "$build/test-bin/definition_screenshot" "$build/dist" docs/images/definition.png cat
echo "screenshots: docs/images/search.png docs/images/definition.png"
