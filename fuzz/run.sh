#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer + ASan/UBSan) into build-fuzz if needed and runs each
# for SECONDS, printing executions and crashes per target. Crash inputs land in build-fuzz/crashes/.
# Usage: fuzz/run.sh SECONDS   (KORVA_FUZZ_TARGETS="ini ..." runs only those;
#        KORVA_FUZZ_NO_BUILD=1 runs the targets as they are built, for long runs beside a build)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:?usage: fuzz/run.sh SECONDS}"
build_dir="$root/build-fuzz"
targets=(${KORVA_FUZZ_TARGETS:-ini profile_file report_descriptor macro_step macro_file macro_block cursor_macros
  headset_json device_answers ctl_command command_line skin_xml language})

[[ -n "${KORVA_FUZZ_NO_BUILD:-}" ]] || KORVA_BUILD_TARGETS="${targets[*]/#/fuzz_}" "$root/scripts/build.sh" "$build_dir" -DCMAKE_CXX_COMPILER=clang++ -DKORVA_FUZZ=ON \
  -DKORVA_SANITIZE=address,undefined -DKORVA_BUILD_GUI=ON -DKORVA_BUILD_TESTS=OFF -DKORVA_BUILD_BENCH=OFF

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# fontconfig keeps its caches until the process ends (the skin targets load fonts through Qt).
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp}"
mkdir -p "$build_dir/crashes"
failed=0
printf '%-20s %12s %8s\n' target executions crashes
for t in "${targets[@]}"; do
  work="$build_dir/corpus/$t"; mkdir -p "$work" "$build_dir/crashes/$t"
  dict=(); [[ -f "$root/fuzz/$t.dict" ]] && dict=(-dict="$root/fuzz/$t.dict")
  log="$build_dir/fuzz_$t.log"
  rc=0
  "$build_dir/fuzz/fuzz_$t" "$work" "$root/fuzz/corpus/$t" "${dict[@]}" -max_total_time="$seconds" \
    -artifact_prefix="$build_dir/crashes/$t/" -print_final_stats=1 >"$log" 2>&1 || rc=$?
  execs="$(grep -ao 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -n 1 || echo 0)"
  crashes="$(find "$build_dir/crashes/$t" -type f | wc -l)"
  printf '%-20s %12s %8s\n' "$t" "${execs:-0}" "$crashes"
  if [[ $rc -ne 0 || $crashes -ne 0 ]]; then failed=1; tail -n 30 "$log"; fi
done
exit "$failed"
