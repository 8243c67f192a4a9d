#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds KORVA and starts it.
# Without arguments it runs on the simulated keyboard, mouse, mousepad and headset;
# pass --hardware to use the devices on the USB bus instead.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build" -DKORVA_BUILD_TESTS=OFF -DKORVA_BUILD_BENCH=OFF

args=("$@")
if [ ${#args[@]} -eq 0 ]; then
  args=(--simulate)
elif [ "${args[0]}" = "--hardware" ]; then
  args=("${args[@]:1}")
fi

app="$root/build/src/app/korva"
if [ ! -x "$app" ]; then
  app="$root/build/src/device/korva-devices"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "$(basename "$app")" = korva ]; then
  echo "No display found: starting KORVA on a virtual X server (xvfb-run)." >&2
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$app" "${args[@]}"
fi
exec "$app" "${args[@]}"
