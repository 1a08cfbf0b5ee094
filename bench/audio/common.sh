# What the audio benchmarks share; sourced by run.sh and soak.sh after they set `name`.
# Sets root, bench (the audio_bench program of the build folder in $1, default build) and work (a
# scratch folder), starts the private sound server unless one is running, and removes both on exit.
# A script that starts more puts its own clean-up into `on_exit`.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
root=$PWD
build=${1:-build}
case $build in /*) ;; *) build="$root/$build" ;; esac
bench="$build/bin/audio_bench"
[ -x "$bench" ] || { echo "$name: build $build first (target audio_bench)" >&2; exit 1; }

started=""
if [ -z "${PULSE_SERVER:-}" ]; then
    eval "$(scripts/services/pulseaudio start)"
    started=yes
fi
work=$(mktemp -d)
on_exit() { :; }
cleanup() {
    on_exit
    rm -rf "$work"
    if [ -n "$started" ]; then scripts/services/pulseaudio stop; fi
}
trap cleanup EXIT

# %U user s, %S sys s, %e elapsed s, %w voluntary and %c involuntary switches, %M max RSS KiB
measure() { /usr/bin/time -o "$1" -f "%U %S %e %w %c %M" "${@:2}"; }
