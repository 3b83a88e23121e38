#!/usr/bin/env bash
# Holds the tree to its declared layering. A file under src/<sub>/ may include headers of <sub>
# and of the subsystems that talvik_subsystem(<sub> ...) in src/CMakeLists.txt names; a front
# under app/<front>/ may include headers of any subsystem and its own. Prints every include
# that breaks the rule and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed
while read -r sub deps; do
    allowed[$sub]=" $sub $deps "
done < <(sed 's/#.*//' src/CMakeLists.txt | tr '\n' ' ' |
    grep -o 'talvik_subsystem([^)]*)' |
    sed 's/^talvik_subsystem(//; s/)$//; s/\btalvik_//g')

status=0
fail() {
    echo "$1: includes \"$2\" ($3)" >&2
    status=1
}

# The quoted includes of a file, one per line.
includes() {
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$1"
}

while IFS= read -r -d '' file; do
    sub=${file#src/}
    sub=${sub%%/*}
    if [[ -z ${allowed[$sub]+set} ]]; then
        echo "$file: src/$sub is not declared in src/CMakeLists.txt" >&2
        status=1
        continue
    fi
    while IFS= read -r header; do
        [[ $header == Version.h ]] && continue
        if [[ $header != */* ]]; then
            [[ -f $(dirname "$file")/$header ]] || fail "$file" "$header" "not a header beside it"
            continue
        fi
        target=${header%%/*}
        if [[ -d src/$target ]]; then
            [[ ${allowed[$sub]} == *" $target "* ]] ||
                fail "$file" "$header" "src/$sub does not declare $target"
        elif [[ ! -f $(dirname "$file")/$header ]]; then
            fail "$file" "$header" "not a header of src/"
        fi
    done < <(includes "$file")
done < <(find src \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

while IFS= read -r -d '' file; do
    front=${file#app/}
    front=app/${front%%/*}
    while IFS= read -r header; do
        [[ $header == Version.h ]] && continue
        target=${header%%/*}
        if [[ $header == */* && -d src/$target ]]; then continue; fi
        [[ -f $front/$header || -f $(dirname "$file")/$header ]] ||
            fail "$file" "$header" "neither a core header nor one of $front"
    done < <(includes "$file")
done < <(find app \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

exit $status
