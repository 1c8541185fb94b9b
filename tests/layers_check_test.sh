#!/usr/bin/env bash
# The layer check itself: it passes a tree that keeps the order and fails,
# naming the file, on each way of breaking it.
set -u
check="$(dirname "$0")/layers_check.sh"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

tree() {
    rm -rf "$tmp/src"
    mkdir -p "$tmp/src/core" "$tmp/src/library/import" "$tmp/src/shell" "$tmp/src/vu"
    printf '# order\ncore\nlibrary\nshell\n' > "$tmp/src/layers.txt"
    printf '#pragma once\n' > "$tmp/src/core/duration.h"
    printf '#pragma once\n' > "$tmp/src/library/store.h"
    printf '#pragma once\n' > "$tmp/src/shell/frmmain.h"
    printf '#pragma once\n' > "$tmp/src/vu/ucvu.h"
    printf '#include "store.h"\n#include "core/duration.h"\n' > "$tmp/src/library/store.cpp"
    printf '#include "library/store.h"\n' > "$tmp/src/library/import/parser.cpp"
    printf '#include "ucvu.h"\n#include <QWidget>\n' > "$tmp/src/vu/ucvu.cpp"
    printf '#include "shell/frmmain.h"\n#include "vu/ucvu.h"\n' > "$tmp/src/main.cpp"
}
expect() {  # expect pass|fail TEXT-IN-OUTPUT DESCRIPTION
    local out status
    out=$(bash "$check" "$tmp/src" 2>&1); status=$?
    if { [ "$1" = pass ] && [ $status -ne 0 ]; } || { [ "$1" = fail ] && [ $status -eq 0 ]; } \
        || ! grep -qF -- "$2" <<<"$out"; then
        echo "FAILED: $3"; echo "$out"; failures=$((failures + 1))
    fi
}

tree
expect pass "follow the layer order" "a tree in order passes"
tree; echo '#include "shell/frmmain.h"' >> "$tmp/src/library/store.cpp"
expect fail "library/store.cpp:3" "a lower layer including a higher one"
tree; echo '#include "../core/duration.h"' >> "$tmp/src/library/store.cpp"
expect fail "library/store.cpp:3" "a ../ include"
tree; echo '#include "duration.h"' >> "$tmp/src/shell/frmmain.h"
expect fail "shell/frmmain.h:2" "a bare name of another folder's header"
tree; echo '#include "core/duration.h"' >> "$tmp/src/vu/ucvu.cpp"
expect fail "vu/ucvu.cpp:3" "vu using the program"
tree; echo '#include "vu/ucvu.h"' >> "$tmp/src/shell/frmmain.h"
expect fail "shell/frmmain.h:2" "the program including vu"

[ $failures -eq 0 ] && echo "layer check: all cases behave"
exit $((failures > 0))
