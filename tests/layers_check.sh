#!/usr/bin/env bash
# Fails when a source file includes against the layer order of SRC/layers.txt:
# a header of a later layer, anything of the program from vu/ or of vu/ from
# the program, a path with "../", or a header of another folder by a bare name.
# Usage: layers_check.sh SRC
set -u
src=${1:?usage: layers_check.sh SRC}
mapfile -t order < <(grep -E '^[a-z]+$' "$src/layers.txt")
rank() {
    local i
    for i in "${!order[@]}"; do [ "${order[$i]}" = "$1" ] && { echo "$i"; return; }; done
    [ "$1" = vu ] && { echo vu; return; }
    echo none
}

bad=0
while IFS= read -r -d '' file; do
    rel=${file#"$src"/}
    layer=${rel%%/*}
    [ "$layer" = "$rel" ] && continue  # main.cpp and other top-level files may use every layer
    own=$(rank "$layer")
    [ "$own" = none ] && continue
    dir=$(dirname "$file")
    while IFS=: read -r line inc; do
        if [[ $inc == *../* ]]; then
            echo "$rel:$line: includes \"$inc\"; name it by its path from src/"
            bad=1
            continue
        fi
        if [[ $inc != */* ]]; then
            if [ ! -e "$dir/$inc" ] && [ -n "$(find "$src" -name "$inc" -print -quit)" ]; then
                echo "$rel:$line: includes \"$inc\" of another folder by its bare name; name it by its path from src/"
                bad=1
            fi
            continue
        fi
        target=${inc%%/*}
        theirs=$(rank "$target")
        [ "$theirs" = none ] && continue
        [ "$target" = "$layer" ] && continue
        if [ "$own" = vu ] || [ "$theirs" = vu ] || [ "$theirs" -gt "$own" ]; then
            echo "$rel:$line: includes \"$inc\", but $layer/ may not use $target/ (order: ${order[*]}; vu/ stands alone)"
            bad=1
        fi
    done < <(grep -noE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^"]+"' "$file" | sed -E 's/^([0-9]+):.*"([^"]+)"$/\1:\2/')
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

if [ "$bad" -ne 0 ]; then
    echo "Includes run against the layer order."
    exit 1
fi
echo "Includes follow the layer order: ${order[*]}."
