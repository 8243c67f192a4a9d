#!/usr/bin/env bash
# Usage: PackageInstallTest.sh BUILD_DIR SOURCE_DIR
# Builds korva_<version>_<arch>.deb, checks its control data and files, unpacks it with dpkg -x and
# starts the installed korva (--simulate --screenshot, under Xvfb) and korvactl from there.
set -euo pipefail
build="$1"
source="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# cpack packages what is built; it builds nothing itself.
for program in src/app/korva src/ctl/korvactl; do
  [[ -x "$build/$program" ]] || fail "$program is not built (build the whole tree first)"
done
(cd "$build" && cpack -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; fail "cpack"; }
deb="$(ls "$scratch"/out/korva_*_*.deb)"
[[ "$(basename "$deb")" =~ ^korva_[0-9.]+_[a-z0-9]+\.deb$ ]] || fail "package name $(basename "$deb")"

depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libqt6widgets6 libhidapi-hidraw0 libjsoncpp libasound2 qt6-qpa-plugins fonts-droid-fallback; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

root="$scratch/root"
dpkg -x "$deb" "$root"
for file in usr/bin/korva usr/bin/korvactl usr/share/korva/skin/lan_en.xml usr/share/korva/skin/lan_cn.xml \
            usr/share/korva/data usr/lib/udev/rules.d/70-korva.rules usr/share/applications/korva.desktop \
            usr/share/icons/hicolor/48x48/apps/korva.png usr/share/icons/hicolor/256x256/apps/korva.png \
            usr/share/metainfo/example.korva.Korva.metainfo.xml usr/share/man/man1/korva.1.gz \
            usr/share/man/man1/korvactl.1.gz; do
  [[ -e "$root/$file" ]] || fail "missing $file"
done
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/example.korva.Korva.metainfo.xml" || fail "metainfo"
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/korva.desktop" || fail "desktop entry"
fi

# The installed programs, away from the source tree: no KORVA_SOURCE_DIR, a fresh home.
unset KORVA_SOURCE_DIR
export KORVA_HOME="$scratch/home"
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$root/usr/bin/korvactl" --simulate show mouse --json >"$scratch/mouse.json" || fail "korvactl"
grep -q '"stages"' "$scratch/mouse.json" || fail "korvactl output: $(cat "$scratch/mouse.json")"

shot="$scratch/installed.png"
xvfb-run -a -s "-screen 0 1400x900x24" "$root/usr/bin/korva" --simulate --no-sim-panel --language en \
  --screenshot "$shot" || fail "installed korva did not start"
[[ -s "$shot" ]] || fail "no screenshot"
echo "package $(basename "$deb") installs and runs"
