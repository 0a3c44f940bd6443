#!/usr/bin/env bash
# Installs what building and testing Zarta needs, from Debian's or Ubuntu's packages.
set -euo pipefail

packages=(
  build-essential cmake pkg-config python3
  libsdl2-dev libpng-dev
  libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xdotool imagemagick x11-utils
  valgrind
  desktop-file-utils appstream man-db librsvg2-bin
)
if [[ "${1:-}" == "--build-only" ]]; then
  packages=(build-essential cmake pkg-config libsdl2-dev libpng-dev)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if ((${#missing[@]} == 0)); then
  exit 0
fi

as_root=()
if [[ $(id -u) -ne 0 ]]; then
  as_root=(sudo)
fi
# clang's sanitizer runtime is named after its version; skip it where that version is not packaged.
if ! apt-cache show libclang-rt-14-dev >/dev/null 2>&1; then
  missing=("${missing[@]/libclang-rt-14-dev/}")
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends ${missing[*]}
