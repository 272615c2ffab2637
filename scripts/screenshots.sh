#!/usr/bin/env bash
# Renders the pages on Qt's offscreen platform into docs/images/.
# Usage: scripts/screenshots.sh [build-dir]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target page_screenshots -j2
mkdir -p docs/images
QT_QPA_PLATFORM=offscreen "$build/test-bin/page_screenshots" docs/images
