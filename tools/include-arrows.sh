#!/usr/bin/env bash
# Prints the layout of the tree at a commit (default HEAD): each top folder with its files, then
# the include arrows between folders, counted as #include "folder/..." lines per pair. The tests
# are left out of the arrows, since they reach into every folder by design.
# Usage: tools/include-arrows.sh [REV]
set -euo pipefail
rev=${1:-HEAD}
cd "$(git rev-parse --show-toplevel)"

files=$(git ls-tree -r --name-only "$rev" | grep -E '^[^/]+/.*\.(cpp|h|hpp)$')

echo "Folders and their files at $(git rev-parse --short "$rev"):"
for folder in $(echo "$files" | cut -d/ -f1 | sort -u); do
    list=$(echo "$files" | grep "^$folder/" | sed "s|^$folder/||")
    echo "  $folder/ ($(echo "$list" | wc -l) files): $(echo "$list" | tr '\n' ' ')"
done

echo "Include arrows between folders (tests left out):"
for path in $(echo "$files" | grep -v '^tests/'); do
    from=${path%%/*}
    git show "$rev:$path" | sed -n -E 's|^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)/.*|\1|p' |
        while read -r to; do
            if [ "$to" != "$from" ]; then echo "$from -> $to"; fi
        done
done | sort | uniq -c | awk '{ printf "  %-22s %d\n", $2 " " $3 " " $4, $1 }'
