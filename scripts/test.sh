#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds with warnings and sanitizers, runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
cmake --preset ci
cmake --build --preset ci
ctest --preset ci -j2
