#!/usr/bin/env bash
# Speech for the send benchmark: espeak-ng's voice, made a minute long at the recorder's default
# format (44100 Hz, mono, 16-bit) by sox, then sent three times.
#   bench/dictation/run.sh BUILD_DIR
set -euo pipefail
build=${1:-build-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
espeak-ng -w "$work/voice.wav" "Dear Mr Jensen, thank you for your letter of the fourth. \
We have looked at the drawings again and can confirm the changes to the second floor. \
The new windows will be delivered in the first week of March, and the work will start soon after. \
Please let me know if the dates suit you. Kind regards."
sox "$work/voice.wav" -r 44100 -c 1 -b 16 "$work/minute.wav" repeat 20 trim 0 60
"$build/bin/tavlo_send_bench" "$work/minute.wav"
