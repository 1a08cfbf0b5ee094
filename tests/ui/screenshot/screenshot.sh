#!/usr/bin/env bash
# Runs the screenshot check for one window on a private X server.
#   screenshot.sh PROGRAM main|settings OUT.png RESDIR
set -euo pipefail
unset QT_QPA_PLATFORM
exec xvfb-run -a -s "-screen 0 1280x800x24" "$@"
