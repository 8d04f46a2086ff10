#!/usr/bin/env bash
# Sets up what the program and its data set need, then starts Nummernfibel in its runtime folder.
set -euo pipefail
cd "$(dirname "$0")"
scripts/einrichten.sh programm
# Without a display Qt aborts with status 134; say what to do instead.
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "        Try it headless: Xvfb :99 & DISPLAY=:99 ./run.sh   (see README.md)" >&2
  exit 1
fi
cd build/laufzeit
exec ../nummernfibel
