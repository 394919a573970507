#!/usr/bin/env bash
# Builds everything and runs all test suites headless; exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

ensure_packages
build_all

echo "Checking the code format"
find src tests tools bench \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run -Werror

cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure
