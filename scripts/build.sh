#!/usr/bin/env bash
# Configures and builds KORVA into a build folder.
# Usage: scripts/build.sh BUILD_DIR [extra cmake arguments...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$1"; shift
jobs="${KORVA_JOBS:-$(nproc)}"
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE="${KORVA_BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
cmake --build "$build_dir" -j "$jobs"
