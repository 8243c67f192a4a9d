#!/usr/bin/env bash
# Cost of the resident program: CPU (% of one core) and resident memory of korva, each case on a
# virtual X server of its own, with its own data folder and runtime folder. Run by hand after
# changes to the UI or the threads (not part of CI):
#
#   bench/idle_cost.sh [SECONDS]        (default 30 s of sampling per case)
#
# Cases, one line each:
#   still-shown       --simulate, every simulated device in a static colour, the window shown
#   no-devices        the USB bus (hardware mode) with no KORVA device on it
#   still-hidden      as still-shown with the main window unmapped (as the tray would hide it)
#   animating-shown   --simulate, all four devices animating (keyboard wave, mouse breathing,
#                     mousepad colour cycle, headset wave), the window on the keyboard's lighting
#   animating-hidden  the same with the window unmapped
# The lighting of the simulated devices is set through korvactl, which hands its requests to the
# running program.
#
# Environment: KORVA_APP (default build/src/app/korva), KORVA_CTL (default: korvactl beside it in
# build/src/ctl), KORVA_IDLE_SETTLE (seconds to wait after the window appears before sampling,
# default 10: the watchers' first pass and the start-up reads), KORVA_IDLE_CASES (the cases to run,
# default all of them), KORVA_IDLE_THREADS=1 (also the CPU of each thread that used any, by the
# thread's name, exact from its run time beside the tick-sampled figure, and its wake-ups: voluntary
# context switches per second).
# Needs Xvfb and xdotool (apt-get install xvfb xdotool). Each case gets a display number of its own
# from the X server (-displayfd).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-30}"
app="${KORVA_APP:-$root/build/src/app/korva}"
ctl="${KORVA_CTL:-$(dirname "$(dirname "$app")")/ctl/korvactl}"
settle="${KORVA_IDLE_SETTLE:-10}"
cases="${KORVA_IDLE_CASES:-still-shown no-devices still-hidden animating-shown animating-hidden}"
title="KORVA DRIVER"

if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [SECONDS]   (a whole number of seconds, default 30)" >&2
  exit 2
fi
[ -x "$app" ] || { echo "$0: no program at $app (build it: scripts/build.sh build)" >&2; exit 1; }
[ -x "$ctl" ] || { echo "$0: no korvactl at $ctl (set KORVA_CTL)" >&2; exit 1; }
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is missing (apt-get install xvfb xdotool)" >&2; exit 1; }
done

# Where the clicks go, in window coordinates: the keyboard's tab and its lighting option.
keyboard_tab_x=265 keyboard_tab_y=27
keyboard_light_x=261 keyboard_light_y=81
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

# "TID NAME TICKS VOLUNTARY-SWITCHES RUNTIME-NS" of every thread of the process, one a line. The
# run time (schedstat) is exact; the ticks are sampled at the clock tick, so a thread that wakes
# often for a few microseconds is charged a tick now and then, or never.
thread_ticks() {
  local task stat name
  for task in /proc/"$1"/task/*; do
    stat="$(cat "$task/stat" 2>/dev/null)" || continue
    name="$(cat "$task/comm" 2>/dev/null | tr ' ' '_')"
    stat="${stat##*) }"
    set -- $stat
    echo "${task##*/} $name $(( ${12} + ${13} )) $(awk '/^voluntary_ctxt_switches/ {print $2}' "$task/status" 2>/dev/null) $(awk '{print $1}' "$task/schedstat" 2>/dev/null)"
  done
}

rss_kb() {
  local pages
  pages="$(awk '{print $2}' "/proc/$1/statm")"
  echo $(( pages * page_kb ))
}

# set_lighting DISPLAY SCRATCH LIGHTING: the simulated devices' lighting through the running program.
set_lighting() {
  local display="$1" dir="$2" lighting="$3" device mode
  local -A modes
  case "$lighting" in
    still) modes=([keyboard]=3 [mouse]=3 [mousepad]=3 [headset]=3) ;;
    animating) modes=([keyboard]=0 [mouse]=2 [mousepad]=1 [headset]=0) ;;
    *) return 0 ;;
  esac
  for device in keyboard mouse mousepad headset; do
    mode="${modes[$device]}"
    DISPLAY=":$display" KORVA_HOME="$dir/home" XDG_RUNTIME_DIR="$dir/runtime" \
      "$ctl" --simulate set "$device" lighting "$mode" --colour 20a0ff --brightness 14 --speed 7 >/dev/null ||
      { echo "korvactl could not set the $device's lighting" >&2; return 1; }
  done
}

# run_case NAME HIDE LIGHTING ARGS...
run_case() {
  local name="$1" hide="$2" lighting="$3"
  shift 3
  case " $cases " in *" $name "*) ;; *) return 0 ;; esac
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
  set_lighting "$display" "$scratch" "$lighting" || return 1
  if [ "$lighting" = animating ]; then
    # The keyboard's lighting page, where the preview animates: its tab, then its lighting option.
    DISPLAY=":$display" xdotool mousemove --window "$window" "$keyboard_tab_x" "$keyboard_tab_y" click 1
    sleep 1
    DISPLAY=":$display" xdotool mousemove --window "$window" "$keyboard_light_x" "$keyboard_light_y" click 1
  fi
  sleep 2
  if [ "$hide" = hide ]; then
    DISPLAY=":$display" xdotool windowunmap "$window"
    sleep 1
  fi

  local cpu0 cpu1 rss max_rss=0 t
  cpu0="$(cpu_ticks "$app_pid")"
  [ "${KORVA_IDLE_THREADS:-0}" = 1 ] && thread_ticks "$app_pid" >"$scratch/threads0"
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
  [ "${KORVA_IDLE_THREADS:-0}" = 1 ] && thread_ticks "$app_pid" >"$scratch/threads1"
  local threads
  threads="$(ls "/proc/$app_pid/task" | wc -l)"

  awk -v name="$name" -v d="$((cpu1 - cpu0))" -v hz="$ticks" -v s="$seconds" -v rss="$max_rss" -v th="$threads" \
    'BEGIN { printf "%-17s cpu %6.2f %% of one core   rss %6.1f MB   threads %d   (%d s)\n", name, 100 * d / hz / s, rss / 1024, th, s }'
  if [ "${KORVA_IDLE_THREADS:-0}" = 1 ]; then
    awk -v hz="$ticks" -v s="$seconds" '
      NR == FNR { ticks[$1] = $3; switches[$1] = $4; runtime[$1] = $5; next }
      ($1 in ticks) {
        exact = ($5 - runtime[$1]) / 1e9 / s * 100
        total += exact
        if ($3 > ticks[$1] || $4 - switches[$1] > s || exact >= 0.005)
          printf "    %-16s cpu %6.3f %% (ticks %5.2f %%)   wake-ups %7.1f /s\n", $2, exact, 100 * ($3 - ticks[$1]) / hz / s, ($4 - switches[$1]) / s
      }
      END { printf "    %-16s cpu %6.3f %% of one core, exact, threads alive at both ends\n", "all threads", total
      }' "$scratch/threads0" "$scratch/threads1"
  fi
  cleanup
}

run_case still-shown show still --simulate
run_case no-devices show none
run_case still-hidden hide still --simulate
run_case animating-shown show animating --simulate
run_case animating-hidden hide animating --simulate
