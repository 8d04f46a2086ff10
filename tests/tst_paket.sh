#!/bin/sh
# Builds the Debian package once and checks its fields and contents. The build runs without a UTF-8
# locale, as from a plain shell or a build service: the data set's file names must still go in.
# Arguments: build folder, project version, id.
set -eu
export LC_ALL=POSIX
unset LANG LANGUAGE
bau=$1 version=$2 id=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fehler() {
  echo "FAIL: $*" >&2
  exit 1
}

# An install's own file list outlives the package build, which writes install_manifest.txt anew with the
# package's files; removing with that list is refused, not a silent success.
LC_ALL=C.UTF-8 DESTDIR=$tmp/ziel cmake --install "$bau" --prefix /opt/nf >/dev/null
cp "$bau/installierte-dateien.txt" "$tmp/installiert"
cpack -G DEB -B "$tmp" --config "$bau/CPackConfig.cmake" >/dev/null
paket=$(ls "$tmp"/*.deb)
cmp -s "$tmp/installiert" "$bau/installierte-dateien.txt" || fehler "the package build replaced the install's file list"
entfernen=$(dirname "$0")/../scripts/entfernen.sh
if sh "$entfernen" "$bau/install_manifest.txt" 2>"$tmp/meldung"; then
  fehler "the package's file list was taken for an install"
fi
grep -q "nothing to remove" "$tmp/meldung" || fehler "no reason for the refusal: $(cat "$tmp/meldung")"
DESTDIR=$tmp/ziel sh "$entfernen" "$tmp/installiert" || fehler "removing with the install's own list"
[ -z "$(find "$tmp/ziel" -mindepth 1)" ] || fehler "left after removal, files or empty folders: $(find "$tmp/ziel" -mindepth 1)"

# Debian's checks: no errors.
if command -v lintian >/dev/null; then
  lintian --fail-on error "$paket" >"$tmp/lintian" 2>&1 || fehler "lintian: $(cat "$tmp/lintian")"
else
  echo "SKIP: lintian is not installed (scripts/einrichten.sh installs it)" >&2
fi
[ "$(dpkg-deb -f "$paket" Package)" = nummernfibel ] || fehler "package name"
[ "$(dpkg-deb -f "$paket" Version)" = "$version" ] || fehler "version is not $version"
abhaengig=$(dpkg-deb -f "$paket" Depends)
# The X11 platform plugin comes with libqt6gui6.
for noetig in libqt6widgets6 libqt6gui6 libqt6core6 libjpeg62-turbo xdg-utils fonts-dejavu-core; do
  echo "$abhaengig" | tr ',' '\n' | grep -q "^ *$noetig\( \|$\)" || fehler "Depends lacks $noetig: $abhaengig"
done
empfohlen=$(dpkg-deb -f "$paket" Recommends)
for empfehlung in pdf-viewer www-browser qt6-wayland qt6-translations-l10n; do
  echo "$empfohlen" | tr ',' '\n' | grep -q "^ *$empfehlung\( \|$\)" || fehler "Recommends lacks $empfehlung: $empfohlen"
  ! echo "$abhaengig" | grep -q "$empfehlung" || fehler "$empfehlung is a hard dependency"
done

# Listed with the names as they are: in this locale tar would otherwise escape every umlaut.
dpkg-deb --fsys-tarfile "$paket" | tar -tv --quoting-style=literal | awk '{ print $2, $6 }' >"$tmp/inhalt"
for datei in usr/bin/nummernfibel usr/libexec/nummernfibel/nummernfibel \
  usr/share/nummernfibel-daten/Nummernfibel-Hilfe.pdf usr/share/nummernfibel-daten/Bilder/Deutschland/A-E/A-E.txt \
  usr/share/nummernfibel-daten/Bilder/Deutschland/A-E/AÖ.jpg usr/share/nummernfibel-daten/Bilder/Österreich/A-Z/Ö-Kfz.txt \
  usr/share/doc/nummernfibel/copyright usr/share/doc/nummernfibel/changelog.gz usr/share/man/man1/nummernfibel.1.gz \
  "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
  "usr/share/icons/hicolor/scalable/apps/$id.svg" "usr/share/icons/hicolor/16x16/apps/$id.png" \
  "usr/share/icons/hicolor/256x256/apps/$id.png"; do
  grep -qx "root/root \./$datei" "$tmp/inhalt" || fehler "package lacks ./$datei owned by root"
done
! grep -q "Kennzeichen.ini" "$tmp/inhalt" || fehler "package holds a settings file"
# Nothing in share/nummernfibel, the name of the users' own folders under a prefix such as ~/.local.
! grep -q "^root/root \./usr/share/nummernfibel/" "$tmp/inhalt" || fehler "installed files in share/nummernfibel"

# The copyright file in the machine-readable form: every licence a Files paragraph names has its own
# paragraph with its text; the code is GPL-3.0-or-later, the code lists CC0-1.0.
dpkg-deb --fsys-tarfile "$paket" | tar -xO ./usr/share/doc/nummernfibel/copyright >"$tmp/copyright"
[ "$(head -n 1 "$tmp/copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
  fehler "copyright is not machine-readable"
awk -v RS= '
  /(^|\n)Files:/ { match($0, /\nLicense: [^\n]*/); genannt[substr($0, RSTART + 10, RLENGTH - 10)] = 1 }
  /^License:/ && /\n / { sub(/\n.*/, ""); beschrieben[substr($0, 10)] = 1 }
  END {
    for (l in genannt) if (!(l in beschrieben)) { print "no licence text for " l; fehlt = 1 }
    if (!("GPL-3.0-or-later" in genannt) || !("CC0-1.0" in genannt)) { print "licences of code and data"; fehlt = 1 }
    exit fehlt
  }' "$tmp/copyright" || fehler "copyright paragraphs"
echo "PASS"
