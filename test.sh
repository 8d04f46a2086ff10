#!/usr/bin/env bash
# Sets everything up, then runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
scripts/einrichten.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure
