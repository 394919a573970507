#!/usr/bin/env bash
# Checks that every source of the program compiles for Windows: each src/**/*.cpp is compiled in
# syntax-only mode by the MinGW-w64 compiler against the Qt headers, with the program's warnings
# as errors. Nothing is linked or run. A missing compiler is a failure, not a skip.
# Usage: check_windows_compile.sh <source folder> <Qt include folder>
set -euo pipefail

sources="$1/src"
qt="$2"
compiler="${TALIV_MINGW_CXX:-x86_64-w64-mingw32-g++-posix}"

if ! command -v "$compiler" >/dev/null; then
    echo "FAIL: $compiler not found (Debian package g++-mingw-w64-x86-64-posix)"
    exit 1
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/taliv01-windows.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# UNICODE as in Qt's own Windows builds; Qt's headers are not ours to warn about. The package
# version is defined by the build.
flags=(-std=c++20 -Wall -Wextra -Wpedantic -Werror -DUNICODE -D_UNICODE -DTALIV_PACKAGE_VERSION='"0"'
       -I"$sources" -iquote "$work/moc")
for module in "" QtCore QtGui QtWidgets QtPrintSupport QtSerialPort; do
    flags+=(-isystem "$qt/$module")
done

# moc's output is not checked: a source including it gets an empty file.
mkdir "$work/moc"
grep -rhoE '^#include "[^"/]+\.moc"' "$sources" | cut -d'"' -f2 | while read -r moc; do
    : >"$work/moc/$moc"
done

# The heavy headers most sources share, parsed once: this more than halves the time. A source that
# forgets to include one of them is left to the Linux build to find.
cat >"$work/shared.h" <<'EOF'
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <vector>
EOF
if ! "$compiler" "${flags[@]}" -x c++-header "$work/shared.h" -o "$work/shared.h.gch" 2>"$work/shared.log"; then
    echo "FAIL: the Qt headers do not compile: $(grep -m1 'error:' "$work/shared.log" || head -1 "$work/shared.log")"
    exit 1
fi

mapfile -t files < <(cd "$1" && find src -name '*.cpp' | LC_ALL=C sort)
if ((${#files[@]} == 0)); then
    echo "FAIL: no sources under $sources"
    exit 1
fi

# Two compilers at a time; each failure is named with its file and its first error.
printf '%s\n' "${flags[@]}" >"$work/flags"
export compiler work
printf '%s\n' "${files[@]}" | (cd "$1" && xargs -P2 -n1 bash -c '
    mapfile -t flags <"$work/flags"
    log="$(mktemp "$work/log.XXXXXX")"
    "$compiler" -fsyntax-only "${flags[@]}" -include "$work/shared.h" "$1" >"$log" 2>&1 ||
        echo "FAIL: $1: $(grep -m1 "error:" "$log" || head -1 "$log")"
' _) | tee "$work/failures"
failures="$(grep -c '^FAIL' "$work/failures" || true)"
echo "${#files[@]} sources checked for Windows, $failures failed"
((failures == 0))
