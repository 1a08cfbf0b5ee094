#!/usr/bin/env bash
# The audio engine against ALSA's own tools, in one run of about two minutes:
#   1. record 60 s from the receiver with CWaveRecorder + CWaveWriter and with arecord, side by side;
#   2. play a 60 s file with CWavePlayer and with aplay, side by side.
# For each process: CPU time (user + sys), wake-ups per second (voluntary + involuntary context
# switches per second of run time) and peak memory (max RSS); then ours / theirs as ratios.
#   bench/audio/run.sh [BUILD_DIR]      default BUILD_DIR: build
# Uses the private sound server of scripts/services/pulseaudio (started here if not running).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=${1:-build}
seconds=${BENCH_SECONDS:-60}
bench="$root/$build/bin/audio_bench"
[ -x "$bench" ] || { echo "run.sh: build $build first (target audio_bench)" >&2; exit 1; }

started=""
if [ -z "${PULSE_SERVER:-}" ]; then
    eval "$(scripts/services/pulseaudio start)"
    started=yes
fi
work=$(mktemp -d)
cleanup() {
    rm -rf "$work"
    if [ -n "$started" ]; then scripts/services/pulseaudio stop; fi
}
trap cleanup EXIT

# %U user s, %S sys s, %e elapsed s, %w voluntary and %c involuntary switches, %M max RSS KiB
measure() { /usr/bin/time -o "$1" -f "%U %S %e %w %c %M" "${@:2}"; }

# A tone to play, and something to hear while recording.
sox -n -r 44100 -c 1 -b 16 "$work/tone.wav" synth "$seconds" sine 440 vol 0.3

echo "recording ${seconds} s (both at once) ..." >&2
aplay -q "$work/tone.wav" &
feeder=$!
measure "$work/rec-ours" "$bench" record "$work/ours.wav" "$seconds" &
ours=$!
measure "$work/rec-arecord" arecord -q -D tavlo_receiver -f S16_LE -r 44100 -c 1 -d "$seconds" "$work/theirs.wav" &
theirs=$!
wait $ours $theirs
wait $feeder || true

echo "playing ${seconds} s (both at once) ..." >&2
measure "$work/play-ours" "$bench" play "$work/tone.wav" &
ours=$!
measure "$work/play-aplay" aplay -q "$work/tone.wav" &
theirs=$!
wait $ours $theirs

report() {
    # name, ours file, theirs file
    python3 - "$@" <<'PY'
import sys
name, a, b = sys.argv[1:4]
def load(p):
    u, s, e, w, c, m = (float(x) for x in open(p).read().split()[-6:])
    return {"cpu": u + s, "wake": (w + c) / e if e else 0.0, "rss": m, "elapsed": e}
o, t = load(a), load(b)
def ratio(x, y):
    return f"{x / y:.2f}" if y else "n/a"
print(f"{name}: elapsed ours {o['elapsed']:.2f} s, theirs {t['elapsed']:.2f} s")
print(f"  CPU (user+sys)  ours {o['cpu']:.2f} s   theirs {t['cpu']:.2f} s   ratio {ratio(o['cpu'], t['cpu'])}")
print(f"  wake-ups/s      ours {o['wake']:.1f}   theirs {t['wake']:.1f}   ratio {ratio(o['wake'], t['wake'])}")
print(f"  peak memory     ours {o['rss']:.0f} KiB   theirs {t['rss']:.0f} KiB   ratio {ratio(o['rss'], t['rss'])}")
PY
}
report "record (CWaveRecorder+CWaveWriter vs arecord)" "$work/rec-ours" "$work/rec-arecord"
report "play (CWavePlayer vs aplay)" "$work/play-ours" "$work/play-aplay"
python3 - "$work/ours.wav" "$work/theirs.wav" <<'PY'
import os, sys
for p in sys.argv[1:]:
    print(f"  recorded {os.path.basename(p)}: {(os.path.getsize(p) - 44) / 88200:.2f} s of samples")
PY
