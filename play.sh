#!/usr/bin/env bash
# Installs what is missing, builds the game and its content when they are out of date, and
# starts the game in a window.
#   ./play.sh                 plays (in the build folder build/, shared with test.sh)
#   ./play.sh -record         any further arguments go to the game (demo recording and
#                             playback, -changedir=..., ...)
# VELM_JOBS=n sets the number of compile jobs (default: the number of processors).
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)

scripts/deps

build=build
# ccache with a base directory, as test.sh does, so both scripts share the cache.
export CCACHE_BASEDIR="$root"
export CCACHE_NOHASHDIR=1
export CCACHE_SLOPPINESS=time_macros,include_file_mtime,include_file_ctime

# The settings test.sh configures build/ with, so that neither rebuilds what the other built.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELM_WERROR=ON -DVELM_TESTS=ON >/dev/null
# The program and its content (build/tiles reads build/content).
cmake --build "$build" -j"${VELM_JOBS:-$(nproc)}" --target tiles velm_content

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "play.sh: no display (DISPLAY is not set); start it from a desktop session" >&2
  exit 1
fi
exec "$build/tiles" -windowed "$@"
