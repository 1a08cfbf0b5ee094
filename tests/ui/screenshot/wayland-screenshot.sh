#!/usr/bin/env bash
# Runs the screenshot check for one window under a headless Wayland compositor of its own: weston
# with a private runtime folder, a desktop of one colour (the backdrop the check looks for), no
# panel, and the screenshooter allowed (--debug). Exit 77 (skipped) when weston or Qt's Wayland
# platform is missing.
#   wayland-screenshot.sh PROGRAM main|settings OUT.png RESDIR
set -euo pipefail
command -v weston >/dev/null && command -v weston-screenshooter >/dev/null || exit 77
qtplugins=$(dirname "$(dpkg -L qt6-wayland 2>/dev/null | grep -m1 '/platforms/libqwayland' || echo /none/x)")
[ -d "$qtplugins" ] || exit 77

runtime=$(mktemp -d)
chmod 700 "$runtime"
weston_pid=
cleanup() {
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
  rm -rf "$runtime"
}
trap cleanup EXIT
cat >"$runtime/weston.ini" <<INI
[core]
idle-time=0
[shell]
panel-position=none
background-color=0xff2a6fdb
INI
export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=tavlo-test
weston --backend=headless-backend.so --use-pixman --socket=$WAYLAND_DISPLAY --debug --idle-time=0 \
  --width=1280 --height=800 --config="$runtime/weston.ini" >"$runtime/weston.log" 2>&1 &
weston_pid=$!
# Bounded: the compositor makes its socket within a moment of starting.
for _ in $(seq 100); do
  [ -S "$runtime/$WAYLAND_DISPLAY" ] && break
  sleep 0.1
done
if ! [ -S "$runtime/$WAYLAND_DISPLAY" ]; then
  cat "$runtime/weston.log" >&2
  exit 1
fi
QT_QPA_PLATFORM=wayland "$@"
