#!/usr/bin/env bash
# Installs what is missing, builds Velkaro and runs every test headless: once in the normal
# build, once more under AddressSanitizer and UndefinedBehaviorSanitizer, and the plain layers'
# tests under ThreadSanitizer. Last it compiles the optimised Release build with GCC and with
# Clang, where other warnings show, without running it.
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

# The threads of the plain layers (the engine, live output, the player, the FSEQ unpacker) under
# ThreadSanitizer, which GCC 12 builds only with warnings; without the windows, whose Qt is not
# instrumented.
echo "== Plain layers' tests under ThreadSanitizer (Clang) =="
started=$SECONDS
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
velkaro_build "$here" "$here/build-tsan" -DCMAKE_CXX_COMPILER=clang++ -DVELKARO_SANITIZE_THREAD=ON \
  -DVELKARO_WITH_UI=OFF -DVELKARO_BENCH=OFF -DVELKARO_WERROR=ON
# Tests that play a song through GStreamer are left out: its playing threads hand data to
# each other with locks and atomics the sanitizer cannot see, and it reports them.
(cd "$here/build-tsan" && ctest --output-on-failure -j"$jobs" -E '^(SongSyncTest|PlayerWithSong|Speeds/SongClickPlayTest)\.')
echo "ThreadSanitizer build and tests: $((SECONDS - started)) s"

# The tests above already ran; what differs here is only what the compilers say at -O3.
velkaro_compile_release() {
  local name=$1 compiler=$2 started=$SECONDS
  echo "== Release build with $name, warnings as errors (compiled only) =="
  velkaro_build "$here" "$here/build-release-$name" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_COMPILER="$compiler" -DVELKARO_WERROR=ON
  echo "Release build with $name: $((SECONDS - started)) s"
}
velkaro_compile_release gcc g++
velkaro_compile_release clang clang++
