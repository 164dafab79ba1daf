#!/usr/bin/env bash
# Checks the floors of the source folders: a folder includes headers and links libraries
# only from its own floor or below, and a library builds only the sources of its own
# folder. Floors, bottom up: platform, common, core, the subsystems, app, tools.
# Usage: tools/check-layers.sh [source root]      Exit 0 when clean, 1 with a list otherwise.
set -euo pipefail
root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
cd "$root"

declare -A floor=([platform]=1 [common]=2 [core]=3 [files]=4 [favorites]=4 [preview]=4
                  [gallery]=4 [gradient]=4 [app]=5 [tools]=6)
folders=(platform common core files favorites preview gallery gradient app tools)

# Where each header lives (header names are unique across the source folders).
declare -A home=()
for folder in "${folders[@]}"; do
    while IFS= read -r header; do
        name=${header##*/}
        if [ -n "${home[$name]:-}" ] && [ "${home[$name]}" != "$folder" ]; then
            echo "header name used twice: $name in ${home[$name]}/ and $folder/"
            failed=1
        fi
        home[$name]=$folder
    done < <(find "$folder" -name '*.h' -type f)
done

# The folder that defines each of the project's libraries.
declare -A library=()
for folder in "${folders[@]}"; do
    for name in $(grep -ho 'zelvorin_add_library(\s*[A-Za-z0-9_]*' "$folder/CMakeLists.txt" \
                  2>/dev/null | sed 's/.*(\s*//'); do
        library[$name]=$folder
    done
done

failed=${failed:-0}
for folder in "${folders[@]}"; do
    own=${floor[$folder]}
    while IFS= read -r file; do
        while IFS= read -r name; do
            where=${home[$name]:-}
            [ -n "$where" ] || continue
            if [ "${floor[$where]}" -gt "$own" ]; then
                echo "$file includes $name from $where/, a floor above $folder/"
                failed=1
            fi
        done < <(sed -n 's/^\s*#\s*include\s*"\([^"]*\)".*/\1/p' "$file" | sed 's#.*/##')
    done < <(find "$folder" -type f \( -name '*.cpp' -o -name '*.h' \))

    cmake="$folder/CMakeLists.txt"
    [ -f "$cmake" ] || continue
    if grep -qE '\$\{PROJECT_SOURCE_DIR\}/[a-z]+/[^ ]*\.(cpp|h)|\.\./[^ ]*\.(cpp|h)' "$cmake"; then
        echo "$cmake builds sources of another folder"
        failed=1
    fi
    for used in $(grep -o 'zelvorin_[a-z_]*' "$cmake" | sort -u); do
        where=${library[$used]:-}
        [ -n "$where" ] || continue
        if [ "${floor[$where]}" -gt "$own" ]; then
            echo "$cmake links $used from $where/, a floor above $folder/"
            failed=1
        fi
    done
done

if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "floors clean: ${folders[*]}"
