#!/usr/bin/env bash
# The audio engine against ALSA's own tools, in rounds of about two minutes each (three by default):
#   1. record 60 s from the receiver with CWaveRecorder + CWaveWriter and with arecord, side by side;
#   2. play a 60 s file with CWavePlayer and with aplay, side by side.
# For each process: CPU time (user + sys), wake-ups per second (voluntary + involuntary context
# switches, of all its threads, per second of run time) and peak memory (max RSS); then ours /
# theirs as ratios, per round and as the range over the rounds.
#   bench/audio/run.sh [BUILD_DIR]      default BUILD_DIR: build
#   BENCH_SECONDS (60) and BENCH_RUNS (3) change the length and the number of rounds.
# Uses the private sound server of scripts/services/pulseaudio (started here if not running).
name=run.sh
source "$(dirname "$0")/common.sh"
seconds=${BENCH_SECONDS:-60}
runs=${BENCH_RUNS:-3}

# A tone to play, and something to hear while recording.
sox -n -r 44100 -c 1 -b 16 "$work/tone.wav" synth "$seconds" sine 440 vol 0.3

# Both sides run at once in every round, so a load that other work puts on the machine falls on
# both; the rounds show how far the figures move with it.
for run in $(seq "$runs"); do
    echo "round $run of $runs: recording ${seconds} s (both at once) ..." >&2
    aplay -q "$work/tone.wav" &
    feeder=$!
    measure "$work/rec-ours.$run" "$bench" record "$work/ours.wav" "$seconds" &
    ours=$!
    measure "$work/rec-arecord.$run" arecord -q -D tavlo_receiver -f S16_LE -r 44100 -c 1 -d "$seconds" "$work/theirs.wav" &
    theirs=$!
    wait $ours $theirs
    wait $feeder || true

    echo "round $run of $runs: playing ${seconds} s (both at once) ..." >&2
    measure "$work/play-ours.$run" "$bench" play "$work/tone.wav" &
    ours=$!
    measure "$work/play-aplay.$run" aplay -q "$work/tone.wav" &
    theirs=$!
    wait $ours $theirs
done

python3 - "$work" "$runs" <<'PY'
import sys
work, runs = sys.argv[1], int(sys.argv[2])
def load(p):
    u, s, e, w, c, m = (float(x) for x in open(p).read().split()[-6:])
    return {"cpu": u + s, "wake": (w + c) / e if e else 0.0, "rss": m, "elapsed": e}
def ratio(x, y):
    return x / y if y else float("nan")
rows = [("record", "CWaveRecorder+CWaveWriter", "arecord", "rec-ours", "rec-arecord"),
        ("play", "CWavePlayer", "aplay", "play-ours", "play-aplay")]
metrics = [("CPU s (user+sys)", "cpu", "{:.2f}"), ("wake-ups/s", "wake", "{:.1f}"), ("peak memory KiB", "rss", "{:.0f}")]
for name, ours, theirs, a, b in rows:
    print(f"{name}: {ours} vs {theirs}")
    print(f"  {'':8}{'':18} {'ours':>9} {'theirs':>9} {'ratio':>6}")
    spans = {}
    for r in range(1, runs + 1):
        o, t = load(f"{work}/{a}.{r}"), load(f"{work}/{b}.{r}")
        for label, key, fmt in metrics:
            q = ratio(o[key], t[key])
            spans.setdefault(label, []).append(q)
            print(f"  round {r} {label:18} {fmt.format(o[key]):>9} {fmt.format(t[key]):>9} {q:6.2f}")
    for label, _, _ in metrics:
        print(f"  ratio {label:18} {min(spans[label]):.2f} .. {max(spans[label]):.2f} over {runs} rounds")
PY
python3 - "$work/ours.wav" "$work/theirs.wav" <<'PY'
import os, sys
for p in sys.argv[1:]:
    print(f"  last round recorded {os.path.basename(p)}: {(os.path.getsize(p) - 44) / 88200:.2f} s of samples")
PY
