#!/usr/bin/env bash
# Installs what is missing, builds and runs every test through CTest.
# SANITIZE=address,undefined ./test.sh (or SANITIZE=thread) builds into its own folder.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps

build=build
extra=(-DCORVELLA_BUILD_APP=ON)
if [ -n "${SANITIZE:-}" ]; then
  build="build-$(echo "$SANITIZE" | tr ',' '-')"
  extra+=("-DCORVELLA_SANITIZE=$SANITIZE" -DCMAKE_BUILD_TYPE=Debug)
  # Debian's Qt is not built with ThreadSanitizer, whose reports on Qt's own
  # threads would drown ours: the thread build checks the engine, without the program.
  case "$SANITIZE" in *thread*) extra+=(-DCORVELLA_BUILD_APP=OFF) ;; esac
fi

cmake -S . -B "$build" -G Ninja "${extra[@]}"
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)" ${CTEST_ARGS:-}
