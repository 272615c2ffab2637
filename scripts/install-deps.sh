#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Lexivane need,
# and only those that are missing, so running it again costs a few dpkg queries.
# With --tidy, also clang-tidy (for `make tidy`).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev libgl-dev fonts-dejavu-core
  libzstd-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  dict-wn dict-gcide wordnet-base dictzip
  xdotool imagemagick x11-utils
  xvfb xauth openbox xclip
  desktop-file-utils
)
if [[ "${1:-}" == "--tidy" ]]; then
  packages+=(clang-tidy)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
