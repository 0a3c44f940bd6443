#!/usr/bin/env bash
# Fails when a source includes a header of a layer above its own, when the
# includes inside a layer go round in a circle, or when the
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
# Within a layer, a header and its source file are one unit; a unit that
# reaches itself through others' includes is a circle, and the layer reads
# as no straight line. tsort names the units of each circle it finds.
for layer in "${layers[@]}"; do
    edges=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"'"$layer"'/' "$layer" --include='*.h' --include='*.cpp' |
        sed -E 's/^([^:]+)\.(h|cpp):[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)\.h".*/\1 \3/' |
        awk '$1 != $2' | sort -u || true)
    [[ -z $edges ]] && continue
    if ! circle=$(tsort <<<"$edges" 2>&1 >/dev/null) || [[ -n $circle ]]; then
        units=$(grep -v 'input contains a loop' <<<"$circle" | sed -E 's/^tsort: //' | sort -u | tr '\n' ' ')
        echo "$layer/: its includes go round in a circle through: $units"
        status=1
    fi
done
(( status == 0 )) && echo "layers: every include points down or sideways, with no circle inside a layer, and model/ includes nothing of platform/"
exit "$status"
