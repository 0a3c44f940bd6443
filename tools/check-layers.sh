#!/usr/bin/env bash
# Fails when a source includes a header of a layer above its own, or when the
# game's rules (model/) include the window system (platform/), which lies
# below them but is none of their business. The layers, bottom to top:
# resources, platform, model, ai, ui, flow, app. Tools, tests and benchmarks
# sit on top and may include anything.
# usage: check-layers.sh [SOURCE_ROOT]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
layers=(resources platform model ai ui flow app)

rank() {
    local i
    for i in "${!layers[@]}"; do
        [[ ${layers[$i]} == "$1" ]] && { echo "$i"; return; }
    done
    echo -1
}

status=0
for layer in "${layers[@]}"; do
    own=$(rank "$layer")
    while IFS=: read -r file line text; do
        target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
        target_rank=$(rank "$target")
        if (( target_rank > own )); then
            echo "$file:$line: $layer/ includes $target/, a layer above it: $text"
            status=1
        elif [[ $layer == model && $target == platform ]]; then
            echo "$file:$line: model/ includes platform/: the rules take their clock and generator from the caller: $text"
            status=1
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$layer" \
                 --include='*.h' --include='*.cpp' || true)
done
(( status == 0 )) && echo "layers: every include points down or sideways, and model/ includes nothing of platform/"
exit "$status"
