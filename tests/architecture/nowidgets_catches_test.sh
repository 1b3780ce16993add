#!/usr/bin/env bash
# The widget check fails on every widget include or Widgets link outside src/ui and src/app, names each line, and passes the rest.
#
# Usage: nowidgets_catches_test.sh CHECK_SCRIPT QTWIDGETS_INCLUDE_DIR [BASE_MODULE_INCLUDE_DIR...]
# Runs the check on a small tree made here, so the real sources are never touched.
set -euo pipefail

check=$1
shift
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/src/core "$tree"/src/ui "$tree"/src/app "$tree"/server

cat >"$tree"/src/core/clean.cpp <<'EOF'
#include "clean.h"
#include <QString>
#include <QAction>
#include <qaction.h>
// #include <QWidget>
EOF
cat >"$tree"/src/core/leak.cpp <<'EOF'
#include "leak.h"

#include <QLabel>
#include <QString>
  #  include "QtWidgets/QPushButton"
EOF
printf '#include <QtWidgets>\n' >"$tree"/src/core/leak.h
printf '#include <qwidget.h>\n' >"$tree"/src/core/lower.hpp
printf '#include <string>\n#include <QtWidgets/qmessagebox.h>\n' >"$tree"/server/host.cpp
printf '#include <QWidget>\n' >"$tree"/src/ui/window.cpp
printf '#include <QApplication>\n' >"$tree"/src/app/main.cpp
printf '# No Widgets in the core.\ntarget_link_libraries(core PUBLIC Qt6::Widgets)\n' >"$tree"/src/core/CMakeLists.txt
printf 'target_link_libraries(ui PUBLIC Qt6::Widgets)\n' >"$tree"/src/ui/CMakeLists.txt
printf 'find_package(Qt6 REQUIRED COMPONENTS Core Widgets)\n' >"$tree"/server/CMakeLists.txt

failures=0
expect() { # expect DESCRIPTION CONDITION...
    local what=$1
    shift
    if ! "$@"; then
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}

status=0
output=$(bash "$check" "$tree" "$@" 2>&1) || status=$?
echo "$output"
expect "the check fails" test $status -eq 1
for line in src/core/leak.cpp:3 src/core/leak.cpp:5 src/core/leak.h:1 src/core/lower.hpp:1 server/host.cpp:2 \
            src/core/CMakeLists.txt:2 server/CMakeLists.txt:1; do
    expect "$line is named" grep -q "^$line: " <<<"$output"
done
for allowed in src/core/clean.cpp: src/core/leak.cpp:1: src/core/leak.cpp:4: src/core/CMakeLists.txt:1: src/ui/ src/app/; do
    expect "$allowed is not named" test -z "$(grep "^$allowed" <<<"$output" || true)"
done

# Without the offending lines the same tree passes.
rm "$tree"/src/core/leak.cpp "$tree"/src/core/leak.h "$tree"/src/core/lower.hpp "$tree"/server/host.cpp \
   "$tree"/src/core/CMakeLists.txt "$tree"/server/CMakeLists.txt
status=0
output=$(bash "$check" "$tree" "$@" 2>&1) || status=$?
expect "a clean tree passes" test $status -eq 0

# A folder without widget headers must not pass everything.
status=0
bash "$check" "$tree" "$tree/no-such-folder" >/dev/null 2>&1 || status=$?
expect "an empty header set is an error" test $status -ne 0

[ $failures -eq 0 ] || exit 1
echo "the widget check catches every case"
