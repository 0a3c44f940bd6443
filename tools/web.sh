#!/usr/bin/env bash
# Builds Zarta for the browser into build-web/ (the page, script, wasm,
# manifest, service worker and icons together in build-web/site/, and the
# node simulator build-web/zarta-sim.js), then serves the site on localhost.
#
# Usage: tools/web.sh [--build-only] [PORT]
set -euo pipefail
cd "$(dirname "$0")/.."

build_only=0
port=8016
for argument in "$@"; do
  case "$argument" in
    --build-only) build_only=1 ;;
    [0-9]*) port=$argument ;;
    *) echo "usage: tools/web.sh [--build-only] [PORT]" >&2; exit 2 ;;
  esac
done

# Emscripten and binaryen from Debian, chromium for the browser tests; node
# and npm only where none is installed (a newer node serves as well). The
# host build of the icon export needs what the desktop build needs.
tools/install-deps.sh --build-only
packages=(python3 emscripten binaryen chromium)
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)
missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if ((${#missing[@]} > 0)); then
  as_root=()
  [[ $(id -u) -ne 0 ]] && as_root=(sudo)
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The page's icons come from the desktop's icon export, built for this machine.
cmake -S . -B build-web/host -DZARTA_SDL=OFF -DZARTA_TESTS=OFF -DZARTA_BENCH=OFF >/dev/null
cmake --build build-web/host --target zarta-icons -j"$(nproc)"

# emcc looks for its JavaScript helpers (acorn) among Debian's node modules.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=MinSizeRel -DZARTA_WERROR=ON \
  -DZARTA_ICON_EXPORT="$PWD/build-web/host/zarta-icons"
cmake --build build-web -j"$(nproc)"
# The node simulator once more, built for speed rather than size: vector
# and bulk-memory instructions (node 16.4 and later) for the pixel copies.
# Node optimises a function only once it has run a while, so its code should
# be quick to optimise: the small allocator, and the post-link optimiser
# folds into their one caller only small functions (by default it folds in
# every function called from one place, which made functions of 13 KB).
speedFlags="-msimd128 -mbulk-memory"
speedLink="-sMALLOC=emmalloc -sBINARYEN_EXTRA_PASSES=--one-caller-inline-max-function-size=100"
emcmake cmake -S . -B build-web/speed -DCMAKE_BUILD_TYPE=Release -DZARTA_WERROR=ON \
  -DCMAKE_CXX_FLAGS="$speedFlags" -DCMAKE_EXE_LINKER_FLAGS="$speedFlags $speedLink" \
  -DZARTA_ICON_EXPORT="$PWD/build-web/host/zarta-icons" -DZARTA_NODE_TOOLS="$PWD/build-web" >/dev/null
cmake --build build-web/speed --target zarta-sim -j"$(nproc)"

echo "web: site in build-web/site, node simulator build-web/zarta-sim.js"
if ((build_only)); then
  exit 0
fi
echo "web: serving on http://localhost:$port/ (Ctrl+C ends)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
