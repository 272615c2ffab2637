#!/usr/bin/env bash
# Renders the pages on Qt's offscreen platform into docs/images/: the search
# page with a word typed into it and with its bookmark and history pop-up
# lists open, the definition page of a headword (on the dictionaries of the
# program folder), alone, with its bookmark and history lists open, maximised
# on a 900 x 560 desktop and with its text zoomed, the help page and the About
# box.
#   scripts/screenshots.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target search_screenshot definition_screenshot page_screenshots -j2
mkdir -p docs/images
QT_QPA_PLATFORM=offscreen "$build/test-bin/search_screenshot" "$build/dist" docs/images/search.png Cat
QT_QPA_PLATFORM=offscreen "$build/test-bin/search_screenshot" "$build/dist" docs/images/search-bookmarks.png --bookmarks
QT_QPA_PLATFORM=offscreen "$build/test-bin/search_screenshot" "$build/dist" docs/images/search-history.png --history
QT_QPA_PLATFORM=offscreen "$build/test-bin/definition_screenshot" "$build/dist" docs/images/definition.png cat
QT_QPA_PLATFORM=offscreen "$build/test-bin/definition_screenshot" "$build/dist" \
  docs/images/definition-bookmarks.png cat bookmarks
QT_QPA_PLATFORM=offscreen "$build/test-bin/definition_screenshot" "$build/dist" \
  docs/images/definition-history.png cat history
desktop=$(mktemp)
trap 'rm -f "$desktop"' EXIT
echo '{ "screens": [ { "name": "desktop", "x": 0, "y": 0, "width": 900, "height": 560 } ] }' >"$desktop"
QT_QPA_PLATFORM="offscreen:configfile=$desktop" "$build/test-bin/definition_screenshot" "$build/dist" \
  docs/images/definition-maximised.png cat maximised
QT_QPA_PLATFORM=offscreen "$build/test-bin/definition_screenshot" "$build/dist" \
  docs/images/definition-zoomed.png cat zoomed
QT_QPA_PLATFORM=offscreen "$build/test-bin/page_screenshots" docs/images
echo "screenshots: docs/images/"
