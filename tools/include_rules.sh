#!/bin/bash
# Checks every #include under a source tree against the allowed edges of its
# layers file: a folder may include its own headers and those of the
# folders its "uses" line names, and a system header named on an "only"
# line nowhere but in the folders that line names.
#   tools/include_rules.sh [SOURCE_DIR [LAYERS_FILE]]
set -euo pipefail
src=${1:-$(dirname "$0")/../src}
rules=${2:-$src/layers.txt}
[ -d "$src" ] && [ -f "$rules" ] || { echo "usage: $0 [SOURCE_DIR [LAYERS_FILE]]" >&2; exit 2; }

rules=$(realpath "$rules")
cd "$src"
# One awk over the layers file and then every source file.
find . \( -name '*.h' -o -name '*.cpp' -o -name '*.in' \) -printf '%P\n' | sort |
    xargs awk '
        FNR == NR {
            sub(/#.*/, "")
            if ($1 == "uses") {
                folder = $2; sub(/:$/, "", folder); known[folder] = 1
                for (i = 3; i <= NF; i++) allowed[folder, $i] = 1
            } else if ($1 == "only") {
                split("", folders)
                for (i = 2; i <= NF && $i !~ /:$/; i++) folders[$i] = 1
                last = $i; sub(/:$/, "", last); folders[last] = 1
                for (j = i + 1; j <= NF; j++) {
                    n++; pattern[n] = $j
                    for (f in folders) owner[n, f] = 1
                }
            }
            next
        }
        FNR == 1 {
            folder = (index(FILENAME, "/") ? substr(FILENAME, 1, index(FILENAME, "/") - 1) : ".")
            if (!(folder in known)) {
                printf "%s: the folder %s has no line in the layers file\n", FILENAME, folder
                bad = 1
            }
        }
        /^[ \t]*#[ \t]*include[ \t]*"[^"\/]+\// {
            target = $0; sub(/^[^"]*"/, "", target); sub(/\/.*/, "", target)
            if (target != folder && (target in known) && !((folder, target) in allowed)) {
                printf "%s:%d: %s may not include %s: %s\n", FILENAME, FNR, folder, target, $0
                bad = 1
            }
        }
        /^[ \t]*#[ \t]*include[ \t]*</ {
            header = $0; sub(/^[^<]*</, "", header); sub(/>.*/, "", header)
            for (k = 1; k <= n; k++) {
                p = pattern[k]
                hit = (p ~ /\*$/) ? index(header, substr(p, 1, length(p) - 1)) == 1 : header == p
                if (hit && !((k, folder) in owner)) {
                    printf "%s:%d: %s may not include the system header <%s>\n", FILENAME, FNR, folder, header
                    bad = 1
                }
            }
        }
        END {
            if (bad) {
                print "include rules: an include crosses the layers written in " RULES > "/dev/stderr"
                exit 1
            }
            print "include rules: every include follows " RULES
        }
    ' RULES="$rules" "$rules" || exit 1
