#!/usr/bin/env bash
# Ten minutes of recording on a loaded machine, proven whole:
#   a steady 443 Hz sine plays into the receiver (the private sound server's sine generator on the
#   sink whose monitor is the "USB Headset" capture device) while two busy loops keep both cores
#   loaded; CWaveRecorder + CWaveWriter record it; then the file must hold the time recorded within
#   one buffer (0.1 s) and the sine must run on without a phase jump anywhere, which a lost or
#   doubled buffer would cause. Xruns the device reported are printed too.
#   bench/audio/soak.sh [BUILD_DIR]     default BUILD_DIR: build
#   SOAK_SECONDS (600) and SOAK_RATE (48000, the sink's own rate: no resampling) change the run.
name=soak.sh
source "$(dirname "$0")/common.sh"
seconds=${SOAK_SECONDS:-600}
rate=${SOAK_RATE:-48000}
busy=()
module=""
on_exit() {
    for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null || true; done
    if [ -n "$module" ]; then pactl unload-module "$module" 2>/dev/null || true; fi
}

module=$(pactl load-module module-sine sink="${TAVLO_TEST_SINK:-tavlo_sink}" frequency=443)
for _ in 1 2; do
    bash -c 'while :; do :; done' &
    busy+=($!)
done
sleep 1

echo "soak: recording ${seconds} s of a 443 Hz sine at ${rate} Hz with both cores busy ..." >&2
status=0
measure "$work/time" "$bench" soak "$work/soak.wav" "$seconds" "$rate" || status=$?
python3 - "$work/time" <<'PY'
import sys
u, s, e, w, c, m = (float(x) for x in open(sys.argv[1]).read().split()[-6:])
print(f"soak: the whole run with the check: CPU {u + s:.2f} s, wake-ups {(w + c) / e:.1f}/s, peak memory {m:.0f} KiB over {e:.0f} s")
PY
if [ "$status" -eq 0 ]; then echo "soak: PASS"; else echo "soak: FAIL"; fi
exit "$status"
