#!/usr/bin/env bash
# Installs the build into a temporary prefix and builds the Debian package, then checks what both hold:
# exactly the program, its desktop entry, icons, manual pages, software-centre description, copyright
# and change log, with the Qt runtime as dependencies; lintian and appstreamcli, where installed,
# must find nothing to warn about.
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
metainfo=de.taliv01.taliv01.metainfo.xml

# What an installation holds, relative to its prefix.
expected="$work/expected.txt"
{
    echo "bin/taliv01"
    echo "share/applications/taliv01.desktop"
    echo "share/icons/hicolor/scalable/apps/taliv01.svg"
    echo "share/man/man1/taliv01.1.gz"
    echo "share/man/de/man1/taliv01.1.gz"
    echo "share/metainfo/$metainfo"
    echo "share/doc/taliv01/copyright"
    echo "share/doc/taliv01/changelog.gz"
    echo "share/lintian/overrides/taliv01"
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

# The manual pages render without a single warning.
for manpage in "$prefix"/share/man/{,de/}man1/taliv01.1.gz; do
    [[ -f "$manpage" ]] || continue
    if ! messages="$(gzip -dc "$manpage" | groff -man -ww -z 2>&1)" || [[ -n "$messages" ]]; then
        echo "$messages"
        fail "${manpage#"$prefix"/} does not render cleanly"
    fi
done

# The change log's newest entry, the newest release in the software centre and the package are of
# one version.
changelog="$prefix/share/doc/taliv01/changelog.gz"
if [[ -f "$changelog" ]]; then
    actual="$(gzip -dc "$changelog" | sed -n '1s/^taliv01 (\([^)]*\)) .*/\1/p')"
    [[ "$actual" == "$version" ]] || fail "changelog: newest version is '$actual', expected '$version'"
fi
if [[ -f "$prefix/share/metainfo/$metainfo" ]]; then
    actual="$(grep -m1 -o '<release version="[^"]*"' "$prefix/share/metainfo/$metainfo" | cut -d'"' -f2)"
    [[ "$actual" == "$version" ]] || fail "metainfo: newest release is '$actual', expected '$version'"
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
    # The maintainer is the one who signs the change log.
    signer="$(gzip -dc "$prefix/share/doc/taliv01/changelog.gz" 2>/dev/null |
        sed -n 's/^ -- \(.*>\)  .*/\1/p' | head -1 || true)"
    [[ -n "$(field Maintainer)" && "$(field Maintainer)" == "$signer" ]] ||
        fail "package Maintainer is '$(field Maintainer)', the change log is signed by '$signer'"
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

    # Every lintian tag fails the check, information tags too, but for the one that is known and
    # right: fortification is on, yet the program has no call whose buffer size is unknown at
    # compile time, so no fortified function ends up in it.
    if command -v lintian >/dev/null; then
        echo "== lintian"
        lintian --display-info --pedantic --display-experimental --tag-display-limit 0 "$deb" \
            >"$work/lintian.txt" 2>"$work/lintian.err" || true
        cat "$work/lintian.txt"
        if grep -Ev '^running with root privileges' "$work/lintian.err"; then
            fail "lintian could not check the package"
        fi
        tags="$(grep -E '^[EWIPX]: ' "$work/lintian.txt" | grep -Ev '^I: taliv01: hardening-no-fortify-functions ' ||
            true)"
        [[ -z "$tags" ]] || fail "lintian: $(cut -d' ' -f1,3 <<<"$tags" | sort -u | paste -sd' ')"
    else
        echo "== lintian is not installed: skipped"
    fi

    # The software-centre description, alone and as installed beside the desktop entry and icons.
    if command -v appstreamcli >/dev/null; then
        echo "== appstreamcli validate"
        root="$work/root"
        dpkg-deb -x "$deb" "$root"
        if ! appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$metainfo"; then
            fail "appstreamcli finds fault with $metainfo"
        fi
        if ! appstreamcli validate-tree --no-net --pedantic "$root"; then
            fail "appstreamcli finds fault with the installed tree"
        fi
    else
        echo "== appstreamcli is not installed: skipped"
    fi
fi

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "All package checks passed"
