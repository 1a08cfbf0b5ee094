#!/usr/bin/env bash
# What a minute of recording costs the whole Tavlo process, next to arecord recording the same
# microphone for the same minute, side by side:
#   bench/app/record-cost.sh [BUILD_DIR] [SECONDS]      defaults: build, 60
# Tavlo runs with its window on a virtual screen (Xvfb) inside the virtual recorder set, which
# stands up the receiver and a microphone that speaks; the remote's record key starts the
# recording and its file key saves it. Prints the CPU seconds of both, their ratio, and the CPU per
# recorded minute.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
seconds=${2:-60}
set_bin=$PWD/$build/bin/tavlo-virtualset
[ -x "$set_bin" ] || { echo "record-cost: build $build first (target tavlo-virtualset)" >&2; exit 1; }

if [ "${TAVLO_BENCH_DISPLAY:-}" != inside ]; then
  exec env TAVLO_BENCH_DISPLAY=inside xvfb-run -a -s "-screen 0 1024x600x24" "$0" "$build" "$seconds"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tavlo-record-cost.XXXXXX")
mkfifo "$work/commands"
"$set_bin" --no-window --folder "$work/rec" <"$work/commands" >"$work/log" 2>"$work/stderr" &
set_pid=$!
exec 3>"$work/commands"
finish() {
  echo quit >&3 2>/dev/null || true
  exec 3>&-
  wait "$set_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
await() {
  for _ in $(seq 300); do
    grep -qE "$1" "$work/log" && return 0
    sleep 0.1
  done
  echo "record-cost: did not see '$1'" >&2
  cat "$work/stderr" >&2
  exit 1
}

# The greeting (volume 7, then idle) ends Tavlo's start-up; what the window costs to come up is not
# recording, so the measurement begins a moment after it.
await "out .* volume 7"
sleep 2
tavlo=$(pgrep -n -x tavlo)
# arecord reaches the same microphone through Tavlo's own sound settings.
env_of() { tr '\0' '\n' <"/proc/$tavlo/environ" | grep "^$1=" | cut -d= -f2-; }
export PULSE_SERVER=$(env_of PULSE_SERVER) ALSA_CONFIG_PATH=$(env_of ALSA_CONFIG_PATH)
rate=$(sed -n 's/^Format=\([0-9]*\).*/\1/p' "$work/rec/Recorder.ini")
ticks=$(getconf CLK_TCK)
cpu_of() { awk -v t="$ticks" '{print ($14 + $15) / t}' "/proc/$1/stat"; }

echo "press record" >&3
await "out .* recording"
before=$(cpu_of "$tavlo")
/usr/bin/time -o "$work/arecord" -f "%U %S" \
  arecord -q -D vset_receiver -f S16_LE -r "$rate" -c 1 -d "$seconds" "$work/theirs.wav"
after=$(cpu_of "$tavlo")
echo "press file" >&3
await "out .* idle"

awk -v b="$before" -v a="$after" -v s="$seconds" '{
  ours = a - b; theirs = $1 + $2
  printf "recording %d s at %s Hz, window on Xvfb\n", s, "'"$rate"'"
  printf "  tavlo (whole process): %.2f s CPU, %.2f s per recorded minute\n", ours, ours * 60 / s
  printf "  arecord:               %.2f s CPU, %.2f s per recorded minute\n", theirs, theirs * 60 / s
  if (theirs > 0) printf "  ratio tavlo / arecord: %.2f\n", ours / theirs
}' "$work/arecord"
