#!/bin/sh
# Builds the Debian package once and checks its fields and contents.
# Arguments: build folder, project version, id.
set -eu
bau=$1 version=$2 id=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fehler() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack -G DEB -B "$tmp" --config "$bau/CPackConfig.cmake" >/dev/null
paket=$(ls "$tmp"/*.deb)
[ "$(dpkg-deb -f "$paket" Package)" = nummernfibel ] || fehler "package name"
[ "$(dpkg-deb -f "$paket" Version)" = "$version" ] || fehler "version is not $version"
abhaengig=$(dpkg-deb -f "$paket" Depends)
for noetig in libqt6widgets6 libqt6gui6 libqt6core6 libjpeg62-turbo qt6-qpa-plugins xdg-utils fonts-dejavu-core; do
  echo "$abhaengig" | tr ',' '\n' | grep -q "^ *$noetig\( \|$\)" || fehler "Depends lacks $noetig: $abhaengig"
done

dpkg-deb -c "$paket" | awk '{ print $2, $6 }' >"$tmp/inhalt"
for datei in usr/bin/nummernfibel usr/libexec/nummernfibel/nummernfibel \
  usr/share/nummernfibel/Nummernfibel-Hilfe.pdf usr/share/nummernfibel/Bilder/Deutschland/A-E/A-E.txt \
  "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
  "usr/share/icons/hicolor/scalable/apps/$id.svg" "usr/share/icons/hicolor/16x16/apps/$id.png" \
  "usr/share/icons/hicolor/256x256/apps/$id.png"; do
  grep -qx "root/root \./$datei" "$tmp/inhalt" || fehler "package lacks ./$datei owned by root"
done
! grep -q "Kennzeichen.ini" "$tmp/inhalt" || fehler "package holds a settings file"
echo "PASS"
