#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds KORVA with its tests and runs the whole suite.
# KORVA_SANITIZE=address,undefined (or thread) builds and runs it under those sanitizers.
# KORVA_TEST_TARGETS="korva_device_tests ..." builds and runs only those test suites.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/install-deps.sh"

sanitize="${KORVA_SANITIZE:-}"
build_dir="$root/build-tests${sanitize:+-${sanitize//,/-}}"
KORVA_BUILD_TARGETS="${KORVA_TEST_TARGETS:-}" "$root/scripts/build.sh" "$build_dir" -DKORVA_SANITIZE="$sanitize" -DKORVA_BUILD_BENCH=OFF

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}"
cd "$build_dir"
only=()
if [[ -n "${KORVA_TEST_TARGETS:-}" ]]; then
  labels="$(echo ${KORVA_TEST_TARGETS} | tr ' ' '|')"
  only=(-L "^(${labels})\$")
fi
ctest --output-on-failure -j "${KORVA_JOBS:-$(nproc)}" --timeout 300 "${only[@]}"
