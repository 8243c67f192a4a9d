#!/usr/bin/env bash
# Idle cost of the resident program: CPU (% of one core) and resident memory of korva while
# nothing animates, each case on a virtual X server of its own, with its own data folder and
# runtime folder. Run by hand after changes to the UI or the threads (not part of CI):
#
#   bench/idle_cost.sh [SECONDS]        (default 30 s of sampling per case)
#
# Cases, one line each:
#   simulated-shown   --simulate, the window shown (the "Simulated devices" panel too)
#   no-devices        the USB bus (hardware mode) with no KORVA device on it
#   simulated-hidden  --simulate, the main window unmapped (as the tray would hide it)
#
# Environment: KORVA_APP (default build/src/app/korva), KORVA_IDLE_SETTLE (seconds to wait after
# the window appears before sampling, default 6: the watchers' first pass and the start-up reads).
# Needs Xvfb and xdotool (apt-get install xvfb xdotool). Each case gets a display number of its own
# from the X server (-displayfd).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-30}"
app="${KORVA_APP:-$root/build/src/app/korva}"
settle="${KORVA_IDLE_SETTLE:-6}"
title="KORVA DRIVER"

if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [SECONDS]   (a whole number of seconds, default 30)" >&2
  exit 2
fi
[ -x "$app" ] || { echo "$0: no program at $app (build it: scripts/build.sh build)" >&2; exit 1; }
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is missing (apt-get install xvfb xdotool)" >&2; exit 1; }
done

ticks="$(getconf CLK_TCK)"
page_kb=$(( $(getconf PAGESIZE) / 1024 ))
xvfb_pid=""
app_pid=""
scratch=""

cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
  [ -n "$scratch" ] && rm -rf "$scratch"
  app_pid="" xvfb_pid="" scratch=""
}
trap cleanup EXIT

# utime + stime of the whole process, in clock ticks.
cpu_ticks() {
  # The command name (field 2) may hold spaces: read the fields after its closing parenthesis.
  local stat
  stat="$(cat "/proc/$1/stat")"
  stat="${stat##*) }"
  # Fields after the name start at field 3; utime and stime are fields 14 and 15.
  set -- $stat
  echo $(( ${12} + ${13} ))
}

rss_kb() {
  local pages
  pages="$(awk '{print $2}' "/proc/$1/statm")"
  echo $(( pages * page_kb ))
}

# run_case NAME HIDE ARGS...
run_case() {
  local name="$1" hide="$2"
  shift 2
  scratch="$(mktemp -d)"
  mkdir -p "$scratch/home" "$scratch/runtime"
  chmod 700 "$scratch/runtime"

  # The server picks a free display number itself and writes it to stdout once it listens: no
  # race with other virtual X servers started at the same time (xvfb-run -a, other benchmarks).
  Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp >"$scratch/display" 2>"$scratch/xvfb.log" &
  xvfb_pid=$!
  local display="" i
  for i in $(seq 100); do
    display="$(tr -dc '0-9' <"$scratch/display")"
    [ -n "$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$display" ] || { echo "$name: the virtual X server did not start:" >&2; cat "$scratch/xvfb.log" >&2; return 1; }

  DISPLAY=":$display" KORVA_HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime" \
    QT_QPA_PLATFORM=xcb "$app" "$@" >"$scratch/app.log" 2>&1 &
  app_pid=$!

  local window=""
  for i in $(seq 200); do
    window="$(DISPLAY=":$display" xdotool search --name "^$title\$" 2>/dev/null | head -n 1 || true)"
    [ -n "$window" ] && break
    kill -0 "$app_pid" 2>/dev/null || { echo "$name: the program ended at start:" >&2; cat "$scratch/app.log" >&2; return 1; }
    sleep 0.1
  done
  [ -n "$window" ] || { echo "$name: no window \"$title\" appeared" >&2; return 1; }
  sleep "$settle"
  if [ "$hide" = hide ]; then
    DISPLAY=":$display" xdotool windowunmap "$window"
    sleep 1
  fi

  local cpu0 cpu1 rss max_rss=0 t
  cpu0="$(cpu_ticks "$app_pid")"
  for t in $(seq "$seconds"); do
    sleep 1
    if ! kill -0 "$app_pid" 2>/dev/null; then
      echo "$name: the program ended while it was measured:" >&2
      cat "$scratch/app.log" >&2
      return 1
    fi
    rss="$(rss_kb "$app_pid")"
    [ "$rss" -gt "$max_rss" ] && max_rss="$rss"
  done
  cpu1="$(cpu_ticks "$app_pid")"
  local threads
  threads="$(ls "/proc/$app_pid/task" | wc -l)"

  awk -v name="$name" -v d="$((cpu1 - cpu0))" -v hz="$ticks" -v s="$seconds" -v rss="$max_rss" -v th="$threads" \
    'BEGIN { printf "%-17s cpu %6.2f %% of one core   rss %6.1f MB   threads %d   (%d s)\n", name, 100 * d / hz / s, rss / 1024, th, s }'
  cleanup
}

run_case simulated-shown show --simulate
run_case no-devices show
run_case simulated-hidden hide --simulate
