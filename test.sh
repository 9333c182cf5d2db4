#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless with ctest.
#   ./test.sh             the normal build (build/)
#   ./test.sh --sanitize  a build with the address and undefined-behaviour sanitizers (build-asan/),
#                         then the fuzz targets for a few seconds each (build-fuzz/)
#   ./test.sh --tsan      a build with the thread sanitizer (build-tsan/) of only the tests whose
#                         code runs threads (loading, sound, the cursor thread, the log window)
# VELM_JOBS=n sets the number of compile and test jobs (default: the number of processors).
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)

scripts/deps

build=build
config=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
filter=()
targets=()
# The tests whose code runs more than one thread, and the programs they start.
threaded=(test_app test_app_window test_engine_sound test_engine_logwindow test_game_run)
if [ "${1:-}" = "--tsan" ]; then
  build=build-tsan
  config=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELM_TSAN=ON)
  targets=(--target "${threaded[@]}" velm_content)
  filter=(-R "^($(IFS='|'; echo "${threaded[*]}"))\$")
elif [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  config=(-DCMAKE_BUILD_TYPE=Debug -DVELM_SANITIZE=ON)
  # Tests that compare update counts with a recording, or drive a real window against a clock,
  # run in the normal build only.
  filter=(-LE normal-build-only)
fi

# ccache with a base directory, so that a fresh clone in another folder hits the cache.
export CCACHE_BASEDIR="$root"
export CCACHE_NOHASHDIR=1
export CCACHE_SLOPPINESS=time_macros,include_file_mtime,include_file_ctime

jobs=${VELM_JOBS:-$(nproc)}
# The thread-sanitizer build copies the normal build's content folder, when there is one, rather
# than build the generator under the thread sanitizer and run it again.
content=(-DVELM_CONTENT_FROM=)
if [ "$build" = build-tsan ] && [ -f build/build.ninja ]; then
  cmake --build build -j"$jobs" --target velm_content
  content=(-DVELM_CONTENT_FROM="$root/build/content")
fi
# The same warning and test settings as play.sh, so that either reuses the other's build.
cmake -S . -B "$build" -G Ninja "${config[@]}" "${content[@]}" -DVELM_WERROR=ON -DVELM_TESTS=ON >/dev/null
cmake --build "$build" -j"$jobs" "${targets[@]}"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VELM_NONINTERACTIVE=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$root/tests/platform/tsan-system-libraries.supp"

ctest --test-dir "$build" --output-on-failure -j"$jobs" "${filter[@]}"

if [ "$build" = build-asan ]; then
  VELM_FUZZ_SECONDS=${VELM_FUZZ_SECONDS:-5} scripts/fuzz
fi
