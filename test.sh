#!/usr/bin/env bash
# Installs what is missing, builds Velkaro and runs every test headless: once in the normal
# build, once more under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/scripts/setup.sh"
VELKARO_NO_SERVICES=1 velkaro_install_packages

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== Build and tests =="
velkaro_build "$here" "$here/build" -DVELKARO_SANITIZE=OFF -DVELKARO_WERROR=ON
(cd "$here/build" && ctest --output-on-failure -j"$jobs")

echo "== Build and tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
velkaro_build "$here" "$here/build-sanitize" -DVELKARO_SANITIZE=ON -DVELKARO_BENCH=OFF -DVELKARO_WERROR=ON
(cd "$here/build-sanitize" && ctest --output-on-failure -j"$jobs")
