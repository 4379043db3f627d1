#!/usr/bin/env bash
# Installs what is missing, builds and starts Corvella; arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target corvella
exec build/corvella "$@"
