#!/usr/bin/env bash
# Installs what is needed (only what is missing), then builds. Safe to run again and again.
#   scripts/einrichten.sh programm   the program and its data set: what ./run.sh needs
#   scripts/einrichten.sh            everything: the tests, the benchmark, the icons, the package, the fuzz build
set -euo pipefail
cd "$(dirname "$0")/.."

PROGRAMM=(g++ cmake ninja-build pkg-config qt6-base-dev libjpeg62-turbo-dev
          # the plate font of the data set, and the font the window draws with
          fonts-opendin fonts-dejavu-core
          # at run time: xdg-open for the help and map buttons, Qt's own texts in German
          xdg-utils qt6-translations-l10n)
REST=(libbenchmark-dev
      # the icon sizes, and checking the menu entry, the metadata and the Debian package
      librsvg2-bin desktop-file-utils appstream dpkg-dev file lintian
      # reading the help PDF's text and metadata in the data tests
      poppler-utils
      # the window tests under a real X server: the close request and a resize from outside
      xvfb xdotool python3-xlib
      # the screen-reader test: Orca with speech-dispatcher's logging and its buses
      orca speech-dispatcher-espeak-ng at-spi2-core dbus-daemon dbus-bin x11-xkb-utils
      # the sanitizer build's fuzz targets: clang and its libFuzzer runtime
      clang libclang-rt-14-dev)

case ${1:-alles} in
  programm) PAKETE=("${PROGRAMM[@]}") ZIELE=(--target nummernfibel nf_datensatz) ;;
  alles) PAKETE=("${PROGRAMM[@]}" "${REST[@]}") ZIELE=() ;;
  *) echo "usage: $0 [programm]" >&2; exit 2 ;;
esac

fehlend=()
for paket in "${PAKETE[@]}"; do
  dpkg-query -W -f='${Status}' "$paket" 2>/dev/null | grep -q "install ok installed" || fehlend+=("$paket")
done
if [ ${#fehlend[@]} -gt 0 ]; then
  # sudo drops the caller's environment, so the variable goes on its command line, past sudo.
  als_root=()
  [ "$(id -u)" -eq 0 ] || als_root=(sudo)
  "${als_root[@]}" apt-get update
  "${als_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${fehlend[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build "${ZIELE[@]}"
