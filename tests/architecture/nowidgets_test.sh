#!/usr/bin/env bash
# Outside src/ui and src/app, src/ and server/ include no QtWidgets header and link no Qt6::Widgets.
#
# Usage: nowidgets_test.sh ROOT QTWIDGETS_INCLUDE_DIR [BASE_MODULE_INCLUDE_DIR...]
# The widget headers are the files in QTWIDGETS_INCLUDE_DIR, read at each run, so the set follows
# the installed Qt. Names also found in a base module's folder (QtWidgets/qaction.h only forwards
# to QtGui since Qt 6) belong to that module and are allowed.
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: $0 ROOT QTWIDGETS_INCLUDE_DIR [BASE_MODULE_INCLUDE_DIR...]" >&2; exit 2; }
root=$1
widgets_dir=$2
shift 2

moving_out=() # files on their way to src/ui, allowed until they arrive
moving_out+=(src/tally/tallylistform.cpp src/tally/tallylistform.h) # MOVING OUT with the tally list window: delete this line once it is in src/ui

declare -A widget_headers=()
for path in "$widgets_dir"/*; do
    [ -f "$path" ] && widget_headers[${path##*/}]=1
done
# An empty set would let every include through: a wrong folder must fail, not pass.
if [ ${#widget_headers[@]} -eq 0 ]; then
    echo "no QtWidgets headers found in '$widgets_dir'" >&2
    exit 2
fi
for base in "$@"; do
    for path in "$base"/*; do
        [ -f "$path" ] && unset "widget_headers[${path##*/}]"
    done
done

is_moving_out() {
    local file
    for file in "${moving_out[@]}"; do
        [ "$file" = "$1" ] && return 0
    done
    return 1
}

cd "$root"
failures=0
include_pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"]'

# Sources: every C/C++ file under src/ (ui and app excepted) and server/.
while IFS= read -r -d '' file; do
    file=${file#./}
    while IFS= read -r hit; do
        line=${hit%%:*}
        [[ ${hit#*:} =~ $include_pattern ]] || continue
        header=${BASH_REMATCH[1]}
        if [ "$header" = QtWidgets ] || [[ $header == QtWidgets/* ]] || [ -n "${widget_headers[$header]:-}" ]; then
            if is_moving_out "$file"; then
                echo "allowed while moving out: $file:$line: #include <$header>"
            else
                echo "$file:$line: includes <$header>, a QtWidgets header"
                failures=$((failures + 1))
            fi
        fi
    done < <(grep -nE "$include_pattern" "$file" || true)
done < <(find src server \( -path src/ui -o -path src/app \) -prune -o -type f \
             \( -name '*.h' -o -name '*.hh' -o -name '*.hpp' -o -name '*.hxx' -o -name '*.inl' -o -name '*.ipp' \
                -o -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.cxx' \) -print0 2>/dev/null | sort -z)

# Build files: any mention of Widgets outside a comment, e.g. Qt6::Widgets or a Widgets component.
while IFS= read -r -d '' file; do
    file=${file#./}
    while IFS= read -r hit; do
        echo "$file:${hit%%:*}: mentions Widgets: ${hit#*:}"
        failures=$((failures + 1))
    done < <(grep -nE '^[^#]*Widgets' "$file" || true)
done < <(find src server \( -path src/ui -o -path src/app \) -prune -o -type f \
             \( -name CMakeLists.txt -o -name '*.cmake' \) -print0 2>/dev/null | sort -z)

for file in "${moving_out[@]}"; do
    [ -e "$file" ] || echo "note: $file is gone; delete its MOVING OUT line in $0"
done

if [ $failures -ne 0 ]; then
    echo "$failures widget dependencies outside src/ui and src/app" >&2
    exit 1
fi
echo "no widget dependencies outside src/ui and src/app"
