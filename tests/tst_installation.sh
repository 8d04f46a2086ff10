#!/bin/sh
# Installs into a temporary DESTDIR and starts the installed program as a user would: from another folder,
# with a home of its own, ended by a signal. Arguments: build folder, prefix, bin, libexec, data dir, id.
set -eu
bau=$1 praefix=$2 bindir=$3 libexecdir=$4 datadir=$5 id=$6
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
fehler() {
  echo "FAIL: $*" >&2
  exit 1
}

DESTDIR=$tmp/ziel cmake --install "$bau" >/dev/null
wurzel=$tmp/ziel$praefix
launcher=$wurzel/$bindir/nummernfibel
programm=$wurzel/$libexecdir/nummernfibel/nummernfibel
daten=$wurzel/$datadir/nummernfibel-daten

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

# Runs the command $2... in folder $1 and ends the program it starts by SIGTERM once it has its handler;
# $ort is then the folder the program ran in.
starte() {
  (cd "$1" && shift && exec "$@") &
  pid=$!
  versuche=0
  until [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$(readlink -f "$programm")" ] &&
    maske=$(sed -n 's/^SigCgt:[[:space:]]*//p' "/proc/$pid/status" 2>/dev/null) &&
    [ $((0x$maske >> 14 & 1)) -eq 1 ]; do
    versuche=$((versuche + 1))
    [ $versuche -lt 300 ] || { kill -KILL $pid; fehler "program did not start: $*"; }
    sleep 0.1
  done
  ort=$(readlink "/proc/$pid/cwd")
  kill -TERM $pid
  status=0
  wait $pid || status=$?
  [ $status -eq 0 ] || fehler "program ended with status $status: $*"
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
starte / env HOME="$tmp/heim" XDG_DATA_HOME= "$launcher"
benutzer=$tmp/heim/.local/share/nummernfibel
pruefeLinks "$benutzer" Bilder Nummernfibel-Hilfe.pdf
hatZeile "$benutzer/Kennzeichen.ini" Auswahl=0 || fehler "settings not written in $benutzer"
[ "$(ls -A /)" = "$wurzelVorher" ] || fehler "the start folder / changed"

# Second start: through a link to the launcher, from an empty folder, with XDG_DATA_HOME. A stale link (an
# earlier installation) is renewed; the user's own help file and settings are kept.
mkdir -p "$tmp/start" "$tmp/verweis" "$tmp/xdg/nummernfibel"
ln -s "$launcher" "$tmp/verweis/nummernfibel"
ln -s /nicht/mehr/da/share/nummernfibel/Bilder "$tmp/xdg/nummernfibel/Bilder"
echo eigene >"$tmp/xdg/nummernfibel/Nummernfibel-Hilfe.pdf"
printf '[Einstellung]\nAuswahl=1\n' >"$tmp/xdg/nummernfibel/Kennzeichen.ini"
starte "$tmp/start" env HOME="$tmp/heim" XDG_DATA_HOME="$tmp/xdg" "$tmp/verweis/nummernfibel"
pruefeLinks "$tmp/xdg/nummernfibel" Bilder
[ "$(cat "$tmp/xdg/nummernfibel/Nummernfibel-Hilfe.pdf")" = eigene ] || fehler "the user's own help file was replaced"
hatZeile "$tmp/xdg/nummernfibel/Kennzeichen.ini" Auswahl=1 || fehler "the user's settings were not kept"
[ -z "$(ls -A "$tmp/start")" ] || fehler "the start folder changed"

# Folders that cannot be used never stop the start: the program then runs in a folder of the session.
# Read-only folders hold only for a user other than root, so root runs those cases as nobody.
sitzung=$tmp/sitzung
mkdir -m 1777 "$sitzung"
ohneXdg="env -u XDG_DATA_HOME -u XDG_RUNTIME_DIR TMPDIR=$sitzung"
nutzer= nutzerId=$(id -u)
if [ "$nutzerId" -eq 0 ]; then
  if command -v setpriv >/dev/null; then
    nutzer="setpriv --reuid=65534 --regid=65534 --clear-groups" nutzerId=65534
    chmod 755 "$tmp"
  else
    nutzerId=
  fi
fi
# $1: the uid whose session folder the program must have run in, $2: the case.
imSitzungsOrdner() {
  [ "$ort" = "$sitzung/nummernfibel-$1" ] || fehler "$2: the program ran in $ort, not in the session's folder"
  pruefeLinks "$ort" Bilder Nummernfibel-Hilfe.pdf
}

# a) The user's own link in place of the data set is theirs; only links into an installed tree are renewed.
mkdir -p "$tmp/a/nummernfibel" "$tmp/meine"
ln -s "$daten/Bilder" "$tmp/meine/Bilder"
ln -s "$tmp/meine/Bilder" "$tmp/a/nummernfibel/Bilder"
ln -s /alt/share/nummernfibel/daten/Nummernfibel-Hilfe.pdf "$tmp/a/nummernfibel/Nummernfibel-Hilfe.pdf"
starte / env HOME="$tmp/heim" XDG_DATA_HOME="$tmp/a" "$launcher"
[ "$ort" = "$tmp/a/nummernfibel" ] || fehler "a) the program ran in $ort"
[ "$(readlink "$tmp/a/nummernfibel/Bilder")" = "$tmp/meine/Bilder" ] || fehler "a) the user's own link was replaced"
pruefeLinks "$tmp/a/nummernfibel" Nummernfibel-Hilfe.pdf

# b) No HOME, or an empty one: XDG_DATA_HOME still counts, else the account's home (nobody's does not exist).
starte / env -u HOME XDG_DATA_HOME="$tmp/b" "$launcher"
[ "$ort" = "$tmp/b/nummernfibel" ] || fehler "b) without HOME the program ran in $ort"
if [ "$nutzerId" = 65534 ]; then
  starte / $nutzer $ohneXdg HOME= "$launcher"
  imSitzungsOrdner 65534 "b) empty HOME, no home of the account"
fi

# c) A file, or a link to nowhere, where the user's folder should be: left alone.
mkdir -p "$tmp/c1" "$tmp/c2"
echo datei >"$tmp/c1/nummernfibel"
ln -s "$tmp/nirgends" "$tmp/c2/nummernfibel"
for c in c1 c2; do
  starte / $ohneXdg HOME="$tmp/heim" XDG_DATA_HOME="$tmp/$c" "$launcher"
  imSitzungsOrdner "$(id -u)" "c) $c"
done
[ "$(cat "$tmp/c1/nummernfibel")" = datei ] && [ "$(readlink "$tmp/c2/nummernfibel")" = "$tmp/nirgends" ] ||
  fehler "c) the file or link in the folder's place changed"
[ ! -e "$tmp/nirgends" ] || fehler "c) a folder was made through the dangling link"

# f) An exported CDPATH that holds a folder of the same name, and a relative start path.
mkdir -p "$tmp/cdpath/$bindir"
starte "$wurzel" env CDPATH="$tmp/cdpath:." HOME="$tmp/heim" XDG_DATA_HOME= "$bindir/nummernfibel"
[ "$ort" = "$benutzer" ] || fehler "f) with CDPATH the program ran in $ort"

if [ -z "$nutzerId" ]; then
  echo "SKIP: the read-only cases d) and e) need setpriv when run as root" >&2
else
  # d) A read-only home without the user's folder.
  rm -rf "$sitzung"/nummernfibel-*
  mkdir -p "$tmp/d"
  chmod 555 "$tmp/d"
  starte / $nutzer $ohneXdg HOME="$tmp/d" "$launcher"
  imSitzungsOrdner "$nutzerId" "d) read-only home"
  [ -z "$(ls -A "$tmp/d")" ] || fehler "d) the read-only home changed"

  # e) A stale link of an earlier installation in a read-only user folder: the user's settings come along.
  rm -rf "$sitzung"/nummernfibel-*
  mkdir -p "$tmp/e/nummernfibel"
  ln -s /nicht/mehr/da/share/nummernfibel/daten/Bilder "$tmp/e/nummernfibel/Bilder"
  printf '[Einstellung]\r\nAuswahl=1\r\n' >"$tmp/e/nummernfibel/Kennzeichen.ini"
  chmod 555 "$tmp/e/nummernfibel"
  starte / $nutzer $ohneXdg HOME="$tmp/heim" XDG_DATA_HOME="$tmp/e" "$launcher"
  imSitzungsOrdner "$nutzerId" "e) stale link in a read-only folder"
  hatZeile "$ort/Kennzeichen.ini" Auswahl=1 || fehler "e) the user's settings did not come along"
  [ "$(readlink "$tmp/e/nummernfibel/Bilder")" = /nicht/mehr/da/share/nummernfibel/daten/Bilder ] ||
    fehler "e) the read-only folder changed"
fi

bestand | diff "$tmp/vorher" - || fehler "the installed tree changed"

# Install, reinstall and remove, under ~/.local and (as a package would) under /usr: every start in between
# runs in the user's folder on the data set installed at that moment, and the settings stay.
entfernen=$(dirname "$0")/../scripts/entfernen.sh
heim=$tmp/wechsel
lokal=$heim/.local
paket=$tmp/paket
benutzer=$heim/.local/share/nummernfibel
installiere() { # $1: manifest copy, then the install's options
  ziel=$1
  shift
  cmake --install "$bau" "$@" >/dev/null || fehler "install $*"
  cp "$bau/installierte-dateien.txt" "$ziel"
}
startePruefe() { # $1: launcher, $2: the data set its links must reach
  programm=$(dirname "$1")/../$libexecdir/nummernfibel/nummernfibel
  starte / env HOME="$heim" XDG_DATA_HOME= "$1"
  [ "$ort" = "$benutzer" ] || fehler "$1 ran in $ort"
  daten=$2
  pruefeLinks "$benutzer" Bilder Nummernfibel-Hilfe.pdf
  hatZeile "$benutzer/Kennzeichen.ini" Auswahl=0 || fehler "settings lost after $1"
}
mkdir -p "$heim"
installiere "$tmp/manifest-lokal" --prefix "$lokal"
startePruefe "$lokal/$bindir/nummernfibel" "$lokal/$datadir/nummernfibel-daten"
[ ! -e "$lokal/$datadir/nummernfibel-daten/Kennzeichen.ini" ] || fehler "settings among the installed data"
# Removing the user's folder to start afresh (settings, progress) leaves the installed data set whole.
rm -rf "$benutzer"
startePruefe "$lokal/$bindir/nummernfibel" "$lokal/$datadir/nummernfibel-daten"
[ -d "$lokal/$datadir/nummernfibel-daten/Bilder/Österreich/A-Z" ] || fehler "the user's folder held the data set"
installiere "$tmp/manifest-lokal" --prefix "$lokal"
startePruefe "$lokal/$bindir/nummernfibel" "$lokal/$datadir/nummernfibel-daten"
DESTDIR=$paket installiere "$tmp/manifest-paket" --prefix /usr
startePruefe "$paket/usr/$bindir/nummernfibel" "$paket/usr/$datadir/nummernfibel-daten"

sh "$entfernen" "$tmp/manifest-lokal" 2>/dev/null || fehler "removing the ~/.local install"
while IFS= read -r datei; do
  [ ! -e "$datei" ] && [ ! -L "$datei" ] || fehler "left after removal: $datei"
done <"$tmp/manifest-lokal"
[ ! -e "$lokal/$datadir/nummernfibel-daten" ] && [ ! -e "$lokal/$libexecdir/nummernfibel" ] ||
  fehler "the program's folders stayed after removal"
# A second removal finds nothing of the install and says so, instead of ending quietly as if it had worked.
if sh "$entfernen" "$tmp/manifest-lokal" 2>"$tmp/meldung"; then
  fehler "removing an install that is gone succeeded"
fi
grep -q "nothing to remove" "$tmp/meldung" || fehler "no reason given: $(cat "$tmp/meldung")"
startePruefe "$paket/usr/$bindir/nummernfibel" "$paket/usr/$datadir/nummernfibel-daten"

# A file a package owns stays, even when a manifest lists it.
mkdir -p "$paket/usr/bin"
echo fremd >"$paket/usr/bin/env"
echo /usr/bin/env >>"$tmp/manifest-paket"
DESTDIR=$paket sh "$entfernen" "$tmp/manifest-paket" 2>/dev/null || fehler "removing the /usr install"
[ "$(cat "$paket/usr/bin/env")" = fremd ] || fehler "a file a package owns was removed"
[ ! -e "$paket/usr/$bindir/nummernfibel" ] || fehler "the /usr install stayed"
installiere "$tmp/manifest-lokal" --prefix "$lokal"
startePruefe "$lokal/$bindir/nummernfibel" "$lokal/$datadir/nummernfibel-daten"
echo "PASS"
