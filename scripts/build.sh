#!/usr/bin/env bash
# Configures and builds KORVA into a build folder.
# Usage: scripts/build.sh BUILD_DIR [extra cmake arguments...]
# ccache, when installed (install-deps.sh installs it), keeps rebuilds of unchanged sources cheap.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$1"; shift
jobs="${KORVA_JOBS:-$(nproc)}"
# Paths inside the tree are hashed relative to it, so clones and worktrees share the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE="${KORVA_BUILD_TYPE:-RelWithDebInfo}" "${launcher[@]}" "$@" >/dev/null
cmake --build "$build_dir" -j "$jobs"
