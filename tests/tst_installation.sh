#!/bin/sh
# Installs into a temporary DESTDIR and starts the installed program as a user would: from another folder,
# with a home of its own, ended by a signal. Arguments: build folder, prefix, bin, libexec, data dir, id.
set -eu
bau=$1 praefix=$2 bindir=$3 libexecdir=$4 datadir=$5 id=$6
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fehler() {
  echo "FAIL: $*" >&2
  exit 1
}

DESTDIR=$tmp/ziel cmake --install "$bau" >/dev/null
wurzel=$tmp/ziel$praefix
launcher=$wurzel/$bindir/nummernfibel
programm=$wurzel/$libexecdir/nummernfibel/nummernfibel
daten=$wurzel/$datadir/nummernfibel

# Layout
[ -x "$launcher" ] || fehler "no launcher $launcher"
[ -x "$programm" ] || fehler "no program $programm"
for eintrag in Bilder/Deutschland/A-E Bilder/Deutschland/U-Z Bilder/Österreich/A-Z; do
  [ -d "$daten/$eintrag" ] || fehler "data set lacks $eintrag"
done
[ -s "$daten/Nummernfibel-Hilfe.pdf" ] || fehler "no help document"
[ -f "$wurzel/$datadir/icons/hicolor/scalable/apps/$id.svg" ] || fehler "no scalable icon"
for groesse in 16 22 24 32 48 64 128 256; do
  symbol=$wurzel/$datadir/icons/hicolor/${groesse}x$groesse/apps/$id.png
  file "$symbol" | grep -q "PNG image data, $groesse x $groesse," || fehler "icon $symbol is not $groesse pixels"
done
# The metadata with its menu entry, as a software centre reads the tree.
appstreamcli validate-tree --no-net "$wurzel" || fehler "metadata of the installed tree"

# The installed tree is read-only to the program: nothing in it may change while it runs.
bestand() { find "$tmp/ziel" -printf '%p %y %s %T@\n' | sort; }
bestand >"$tmp/vorher"

# Starts the launcher ($1) in folder $2 and ends the program by SIGTERM once it has its handler.
starte() {
  (cd "$2" && exec "$1") &
  pid=$!
  versuche=0
  until [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$(readlink -f "$programm")" ] &&
    maske=$(sed -n 's/^SigCgt:[[:space:]]*//p' "/proc/$pid/status" 2>/dev/null) &&
    [ $((0x$maske >> 14 & 1)) -eq 1 ]; do
    versuche=$((versuche + 1))
    [ $versuche -lt 300 ] || { kill -KILL $pid; fehler "program did not start"; }
    sleep 0.1
  done
  kill -TERM $pid
  status=0
  wait $pid || status=$?
  [ $status -eq 0 ] || fehler "program ended with status $status"
}

# Links to the installed data set ($1: user folder, then the entries).
pruefeLinks() {
  ordner=$1
  shift
  for eintrag; do
    [ -L "$ordner/$eintrag" ] && [ "$(readlink -f "$ordner/$eintrag")" = "$(readlink -f "$daten/$eintrag")" ] ||
      fehler "$ordner/$eintrag is no link to the installed $eintrag"
  done
}

# The settings file has CR LF line ends.
hatZeile() { tr -d '\r' <"$1" | grep -qx "$2"; }

# First start: from /, with nothing but a fresh HOME.
mkdir "$tmp/heim"
wurzelVorher=$(ls -A /)
HOME=$tmp/heim XDG_DATA_HOME= starte "$launcher" /
benutzer=$tmp/heim/.local/share/nummernfibel
pruefeLinks "$benutzer" Bilder Nummernfibel-Hilfe.pdf
hatZeile "$benutzer/Kennzeichen.ini" Auswahl=0 || fehler "settings not written in $benutzer"
[ "$(ls -A /)" = "$wurzelVorher" ] || fehler "the start folder / changed"

# Second start: through a link to the launcher, from an empty folder, with XDG_DATA_HOME. A stale link (an
# earlier installation) is renewed; the user's own help file and settings are kept.
mkdir -p "$tmp/start" "$tmp/verweis" "$tmp/xdg/nummernfibel"
ln -s "$launcher" "$tmp/verweis/nummernfibel"
ln -s /nicht/mehr/da/Bilder "$tmp/xdg/nummernfibel/Bilder"
echo eigene >"$tmp/xdg/nummernfibel/Nummernfibel-Hilfe.pdf"
printf '[Einstellung]\nAuswahl=1\n' >"$tmp/xdg/nummernfibel/Kennzeichen.ini"
HOME=$tmp/heim XDG_DATA_HOME=$tmp/xdg starte "$tmp/verweis/nummernfibel" "$tmp/start"
pruefeLinks "$tmp/xdg/nummernfibel" Bilder
[ "$(cat "$tmp/xdg/nummernfibel/Nummernfibel-Hilfe.pdf")" = eigene ] || fehler "the user's own help file was replaced"
hatZeile "$tmp/xdg/nummernfibel/Kennzeichen.ini" Auswahl=1 || fehler "the user's settings were not kept"
[ -z "$(ls -A "$tmp/start")" ] || fehler "the start folder changed"

bestand | diff "$tmp/vorher" - || fehler "the installed tree changed"
echo "PASS"
