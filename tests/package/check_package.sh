#!/usr/bin/env bash
# Builds the Debian package and checks that it holds exactly the program, its desktop entry, icons,
# manual pages, software-centre description, copyright and change log, with the Qt runtime as
# dependencies and one version throughout; lintian, appstreamcli and desktop-file-validate must find
# nothing to warn about.
# Usage: check_package.sh <build folder> <version> <cmake> <cpack>  (cpack installs the build itself)
set -euo pipefail
build="$1" version="$2" cpack="$4"
work="$(mktemp -d "${TMPDIR:-/tmp}/taliv01-package.XXXXXX")"
trap 'rm -rf "$work"' EXIT

failures=0
fail() { echo "FAIL: $*" && failures=$((failures + 1)); }
expect() { [[ "$2" == "$3" ]] || fail "$1 is '$2', expected '$3'"; }
# A tool that must not say a word, hints included.
quiet() { local out; out="$("$@" 2>&1)" || out+=" ($1 failed)"; [[ -z "$out" ]] || fail "$1: $out"; }

echo "== cpack -G DEB"
architecture="$(dpkg --print-architecture)"
deb="$work/taliv01_${version}_${architecture}.deb"
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || [[ ! -f "$deb" ]]; then
    cat "$work/cpack.log"
    echo "FAIL: cpack built no $(basename "$deb")"
    exit 1
fi
dpkg-deb -I "$deb"
root="$work/root"
dpkg-deb -x "$deb" "$root"
metainfo=usr/share/metainfo/de.taliv01.taliv01.metainfo.xml
desktop="$root/usr/share/applications/taliv01.desktop"

# The package holds exactly these files, and so no simulator, test or benchmark.
diff -u <(printf './usr/%s\n' bin/taliv01 share/applications/taliv01.desktop \
    share/icons/hicolor/{scalable/apps/taliv01.svg,{16x16,32x32,48x48,64x64,128x128,256x256}/apps/taliv01.png} \
    share/man/{,de/}man1/taliv01.1.gz "${metainfo#usr/}" share/doc/taliv01/{copyright,changelog.gz} \
    share/lintian/overrides/taliv01 | LC_ALL=C sort) <(cd "$root" && find . ! -type d | LC_ALL=C sort) ||
    fail "package contents differ from the expected list"

# The maintainer is the one who signs the change log; the change log's newest entry, the newest
# release in the software centre and the package are of one version.
changelog="$(gzip -dc "$root/usr/share/doc/taliv01/changelog.gz" || true)"
signer="$(sed -n '/^ -- /{s/^ -- \(.*>\)  .*/\1/p;q}' <<<"$changelog")"
field() { dpkg-deb -f "$deb" "$1"; }
while read -r name value; do
    expect "package field $name" "$(field "$name")" "$value"
done <<TABLE
Package taliv01
Version $version
Architecture $architecture
Section science
Maintainer ${signer:-(no signer in the change log)}
TABLE
[[ -n "$(field Description)" ]] || fail "package has no Description"
expect "change log's newest version" "$(sed -n '1s/^taliv01 (\([^)]*\)) .*/\1/p' <<<"$changelog")" "$version"
expect "metainfo's newest release" \
    "$(grep -m1 -o '<release version="[^"]*"' "$root/$metainfo" | cut -d'"' -f2 || true)" "$version"

# Every package the program needs at run time, one by one.
depends="$(field Depends)"
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6serialport6 \
    qt6-qpa-plugins qt6-translations-l10n fonts-liberation; do
    grep -Eq "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

# The menu entry starts the installed program and shows the installed icon.
while read -r key value; do
    expect "desktop entry's $key" "$(sed -n "s/^$key=//p" "$desktop" 2>/dev/null | head -1)" "$value"
done <<'TABLE'
Type Application
Exec taliv01
Icon taliv01
Terminal false
TABLE

# What lintian lets pass: a program without its executable bit, an icon that is no image of its
# folder's kind, a second main menu category, manual page warnings about fonts or units.
[[ -x "$root/usr/bin/taliv01" && "$(file -b "$root/usr/bin/taliv01")" == ELF* ]] ||
    fail "usr/bin/taliv01 is no executable program"
for size in 16 32 48 64 128 256; do
    icon="$root/usr/share/icons/hicolor/${size}x$size/apps/taliv01.png"
    [[ "$(file -b "$icon")" == "PNG image data, $size x $size,"* ]] || fail "$(file "$icon")"
done
[[ "$(file -b "$root/usr/share/icons/hicolor/scalable/apps/taliv01.svg")" == SVG* ]] || fail "taliv01.svg is no SVG"
quiet desktop-file-validate "$desktop"
for page in "$root"/usr/share/man/{,de/}man1/taliv01.1.gz; do
    quiet groff -man -ww -z <(gzip -dc "$page")
done

# Every lintian tag fails the check, information tags too, but for the one that is known and right:
# fortification is on, yet the program has no call whose buffer size is unknown at compile time, so
# no fortified function ends up in it.
echo "== lintian"
lintian --display-info --pedantic --display-experimental --tag-display-limit 0 "$deb" \
    >"$work/lintian.txt" 2>"$work/lintian.err" || true
cat "$work/lintian.txt"
! grep -Ev '^running with root privileges' "$work/lintian.err" || fail "lintian could not check the package"
tags="$(grep -E '^[EWIPX]: ' "$work/lintian.txt" | grep -Ev '^I: taliv01: hardening-no-fortify-functions ' || true)"
[[ -z "$tags" ]] || fail "lintian: $(cut -d' ' -f1,3 <<<"$tags" | sort -u | paste -sd' ')"

# The software-centre description, alone and as installed beside the desktop entry and icons.
echo "== appstreamcli"
appstreamcli validate --no-net --pedantic "$root/$metainfo" || fail "appstreamcli finds fault with the metainfo"
appstreamcli validate-tree --no-net --pedantic "$root" || fail "appstreamcli finds fault with the installed tree"

((failures == 0)) || { echo "$failures check(s) failed" && exit 1; }
echo "All package checks passed"
