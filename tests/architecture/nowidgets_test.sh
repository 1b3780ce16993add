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
            echo "$file:$line: includes <$header>, a QtWidgets header"
            failures=$((failures + 1))
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

if [ $failures -ne 0 ]; then
    echo "$failures widget dependencies outside src/ui and src/app" >&2
    exit 1
fi
echo "no widget dependencies outside src/ui and src/app"
