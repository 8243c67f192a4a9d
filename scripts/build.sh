#!/usr/bin/env bash
# Configures and builds KORVA into a build folder.
# Usage: scripts/build.sh BUILD_DIR [extra cmake arguments...]
# KORVA_BUILD_TARGETS="a b" builds only those targets (and what they need).
# ccache, when installed (install-deps.sh installs it), keeps rebuilds of unchanged sources cheap.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$1"; shift
jobs="${KORVA_JOBS:-$(nproc)}"
# Paths inside the tree are hashed relative to it, so clones and worktrees share the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
# Debug builds would otherwise hash the working folder too, so every clone would miss.
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE="${KORVA_BUILD_TYPE:-RelWithDebInfo}" "${launcher[@]}" "$@" >/dev/null
targets=()
for t in ${KORVA_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$build_dir" -j "$jobs" "${targets[@]}"
