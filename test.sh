#!/usr/bin/env bash
# Installs what is missing, builds and runs every test through CTest.
# SANITIZE=address,undefined ./test.sh (or SANITIZE=thread) builds into its own folder.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps

build=build
extra=()
if [ -n "${SANITIZE:-}" ]; then
  build="build-$(echo "$SANITIZE" | tr ',' '-')"
  extra+=("-DCORVELLA_SANITIZE=$SANITIZE" -DCMAKE_BUILD_TYPE=Debug)
fi

cmake -S . -B "$build" -G Ninja -DCORVELLA_BUILD_APP=ON "${extra[@]}"
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)" ${CTEST_ARGS:-}
