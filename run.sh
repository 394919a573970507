#!/usr/bin/env bash
# Builds taliv01 and starts it; with --simulate it first starts the instrument simulator on COM1.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

all_arguments="$*"
simulate=0
if [[ "${1:-}" == "--simulate" ]]; then
    simulate=1
    shift
fi

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && "${QT_QPA_PLATFORM:-}" != offscreen ]]; then
    echo "No display found: run it in a desktop session, or headless as" \
         "xvfb-run -s \"-screen 0 1280x1024x24\" ./run.sh $all_arguments"
    exit 1
fi

ensure_packages
build_all

if ((simulate)); then
    link="$(mktemp -u /tmp/taliv-com1.XXXXXX)"
    ./build/tools/simulator/qtm-simulator --link "$link" >/dev/null 2>"${TMPDIR:-/tmp}/qtm-simulator.log" &
    simulator_pid=$!
    trap 'kill "$simulator_pid" 2>/dev/null || true; rm -f "$link"' EXIT
    for _ in $(seq 50); do [[ -e "$link" ]] && break; sleep 0.1; done
    export TALIV_COM1="$link"
fi

./build/taliv01 "$@"
