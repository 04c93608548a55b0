#!/usr/bin/env bash
# Every source includes only headers of its own layer and of the layers its library links:
# the arrows of src/CMakeLists.txt, written once more here as the rule they must keep.
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/../src" && pwd)}

declare -A allowed=(
    [report]="report"
    [stats]="stats report"
    [rules]="rules report"
    [simulation]="simulation stats report"
    [cluster]="cluster simulation rules stats report"
    [advice]="advice cluster simulation rules stats report"
    [print]="print cluster simulation rules stats report"
    [display]="display report"
    [load]="load display simulation stats report"
    [history]="history load display advice cluster simulation rules stats report"
    [session]="session load display history advice print cluster simulation rules stats report"
    [cli]="cli load display history advice cluster simulation rules stats report"
    [stats/ui]="stats/ui stats report"
    [print/ui]="print/ui print stats/ui cluster simulation rules stats report"
    [app]="app print/ui stats/ui session load display history advice print cluster simulation rules stats report"
)

status=0
for layer in "${!allowed[@]}"; do
    for file in "$src/$layer"/*.h "$src/$layer"/*.cpp; do
        [ -e "$file" ] || continue
        while IFS= read -r included; do
            target=${included%/*}
            ok=0
            for a in ${allowed[$layer]}; do
                [ "$target" = "$a" ] && ok=1
            done
            if [ $ok -eq 0 ]; then
                echo "${file#"$src"/} includes $included: $layer does not link $target"
                status=1
            fi
        done < <(sed -n 's/^#include "\([a-z]*\(\/ui\)\{0,1\}\/[a-z_]*\.h\)"/\1/p' "$file")
    done
done
[ $status -eq 0 ] && echo "every include stays within the layers below"
exit $status
