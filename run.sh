#!/usr/bin/env bash
# Sets up what the program and its data set need, then starts Nummernfibel in its runtime folder.
set -euo pipefail
cd "$(dirname "$0")"
# Without a display Qt aborts with status 134. Said before the set-up, which takes minutes on a fresh
# machine; the X server for a headless start is not among what it installs, so the hint names its package.
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "        Try it headless, with an X server of its own (see README.md):" >&2
  echo "          sudo apt-get install -y xvfb" >&2
  echo "          Xvfb :99 & DISPLAY=:99 ./run.sh" >&2
  exit 1
fi
scripts/einrichten.sh programm
cd build/laufzeit
exec ../nummernfibel
