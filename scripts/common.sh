# Shared by run.sh and test.sh: installs what the build needs and builds into build/.

TALIV_PACKAGES=(g++ cmake make qt6-base-dev qt6-serialport-dev qt6-translations-l10n libgl-dev libbenchmark-dev
                fonts-liberation clang-format librsvg2-bin desktop-file-utils dpkg-dev file poppler-utils
                g++-mingw-w64-x86-64-posix)

# The package check: lintian and appstreamcli judge the .deb, groff and gzip its manual page.
TALIV_PACKAGES+=(lintian appstream groff-base gzip)

ensure_packages() {
    local missing=()
    for package in "${TALIV_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        apt-get update
        DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
    fi
}

build_all() {
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j "$(nproc)"
}
