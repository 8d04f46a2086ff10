#!/usr/bin/env bash
# Sets everything up, then starts Nummernfibel in its runtime folder (the generated data set).
set -euo pipefail
cd "$(dirname "$0")"
scripts/einrichten.sh
cd build/laufzeit
exec ../nummernfibel
