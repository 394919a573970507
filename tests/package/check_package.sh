#!/usr/bin/env bash
# Installs the build into a temporary prefix and builds the Debian package, then checks what both hold:
# exactly the program, its desktop entry and its icons, with the Qt runtime as dependencies.
# Usage: check_package.sh <build folder> <version> <cmake> <cpack>
set -euo pipefail

build="$1"
version="$2"
cmake="$3"
cpack="$4"

work="$(mktemp -d "${TMPDIR:-/tmp}/taliv01-package.XXXXXX")"
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

icon_sizes=(16 32 48 64 128 256)

# What an installation holds, relative to its prefix.
expected="$work/expected.txt"
{
    echo "bin/taliv01"
    echo "share/applications/taliv01.desktop"
    echo "share/icons/hicolor/scalable/apps/taliv01.svg"
    for size in "${icon_sizes[@]}"; do
        echo "share/icons/hicolor/${size}x${size}/apps/taliv01.png"
    done
} | LC_ALL=C sort >"$expected"

# Width and height of a PNG, read from its IHDR chunk; empty if the file is no PNG.
png_size() {
    local signature
    signature="$(od -An -tx1 -N16 "$1" | tr -d ' \n')"
    [[ "$signature" == 89504e470d0a1a0a0000000d49484452 ]] || return 0
    echo "$(od -An -tu4 --endian=big -j16 -N4 "$1" | tr -d ' ')x$(od -An -tu4 --endian=big -j20 -N4 "$1" | tr -d ' ')"
}

echo "== cmake --install into a temporary prefix"
prefix="$work/prefix"
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log"
(cd "$prefix" && find . -type f -o -type l) | sed 's|^\./||' | LC_ALL=C sort >"$work/installed.txt"
if ! diff -u "$expected" "$work/installed.txt"; then
    fail "installed files differ from the expected list"
fi

[[ -x "$prefix/bin/taliv01" ]] || fail "bin/taliv01 is not executable"
file -b "$prefix/bin/taliv01" | grep -q '^ELF' || fail "bin/taliv01 is no ELF program"

desktop="$prefix/share/applications/taliv01.desktop"
if [[ -f "$desktop" ]]; then
    # Hints count too: they point at entries that end up in the wrong menu.
    if ! messages="$(desktop-file-validate "$desktop" 2>&1)" || [[ -n "$messages" ]]; then
        echo "$messages"
        fail "desktop-file-validate complains about the desktop entry"
    fi
    # The entry must start the installed program and name the installed icon.
    while read -r key value; do
        actual="$(grep -m1 "^$key=" "$desktop" | cut -d= -f2-)"
        [[ "$actual" == "$value" ]] || fail "desktop entry: $key is '$actual', expected '$value'"
    done <<'TABLE'
Type Application
Exec taliv01
Icon taliv01
Terminal false
TABLE
    grep -q '^Name=.*Viskosität' "$desktop" || fail "desktop entry: Name is not the German program name"
    grep -q '^Comment=..*' "$desktop" || fail "desktop entry: no Comment"
fi

svg="$prefix/share/icons/hicolor/scalable/apps/taliv01.svg"
if [[ -f "$svg" ]] && ! grep -q '<svg' "$svg"; then
    fail "taliv01.svg holds no SVG"
fi

for size in "${icon_sizes[@]}"; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/taliv01.png"
    [[ -f "$png" ]] || continue
    actual="$(png_size "$png")"
    [[ "$actual" == "${size}x${size}" ]] || fail "icon ${size}x${size}: PNG size is '${actual:-no PNG}'"
done

echo "== cpack -G DEB"
packages="$work/packages"
mkdir -p "$packages"
architecture="$(dpkg --print-architecture)"
deb="$packages/taliv01_${version}_${architecture}.deb"
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$packages" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    fail "cpack could not build the Debian package"
elif [[ ! -f "$deb" ]]; then
    ls -l "$packages"
    fail "no package $(basename "$deb")"
else
    info="$work/info.txt"
    dpkg-deb -I "$deb" >"$info"
    cat "$info"
    field() { dpkg-deb -f "$deb" "$1"; }
    while read -r name value; do
        [[ "$(field "$name")" == "$value" ]] || fail "package field $name is '$(field "$name")', expected '$value'"
    done <<TABLE
Package taliv01
Version $version
Architecture $architecture
Section science
TABLE
    [[ -n "$(field Maintainer)" ]] || fail "package has no Maintainer"
    [[ -n "$(field Description)" ]] || fail "package has no Description"

    # Every package the program needs at run time, one by one.
    depends="$(field Depends)"
    for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6serialport6 \
        qt6-qpa-plugins qt6-translations-l10n fonts-liberation; do
        grep -Eq "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
    done

    # The package holds exactly the installed files, under /usr.
    dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | LC_ALL=C sort >"$work/packaged.txt"
    sed 's|^|./usr/|' "$expected" >"$work/expected-packaged.txt"
    if ! diff -u "$work/expected-packaged.txt" "$work/packaged.txt"; then
        fail "package contents differ from the expected list"
    fi
    # Developer tools must never reach the package.
    if grep -E 'qtm-simulator|/test_|/bench_|taliv_test' "$work/packaged.txt"; then
        fail "package holds the simulator, tests or benchmarks"
    fi
fi

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "All package checks passed"
