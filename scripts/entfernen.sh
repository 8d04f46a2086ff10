#!/bin/sh
# Removes an installation made by "cmake --install": exactly the files its install manifest lists, never
# a file a Debian package owns (the package of the same program installed into the same prefix, say),
# then the program's own folders that are left empty. The users' folders with their settings stay.
#   scripts/entfernen.sh build/install_manifest.txt
# With DESTDIR set, as for the install, the manifest's paths lie below it.
set -eu
[ $# -eq 1 ] && [ -f "$1" ] || {
  echo "usage: $0 <install_manifest.txt>" >&2
  exit 2
}
ziel=${DESTDIR:-}
ziel=${ziel%/}

ordner=$(mktemp) eigen=$(mktemp)
trap 'rm -f "$ordner" "$eigen"' EXIT
# One question to dpkg for all files (it reads its whole database for each): which of them a package owns.
while IFS= read -r datei || [ -n "$datei" ]; do
  [ -n "$datei" ] && printf '%s\0' "$datei"
done <"$1" | xargs -0 -r dpkg-query -S 2>/dev/null | sed -n 's/^[^:]*: //p' >"$eigen" || true

while IFS= read -r datei || [ -n "$datei" ]; do
  case $datei in
    /*) ;;
    *) continue ;;
  esac
  [ -e "$ziel$datei" ] || [ -L "$ziel$datei" ] || continue
  if grep -Fxq -- "$datei" "$eigen"; then
    echo "kept, a package owns it: $datei" >&2
    continue
  fi
  rm -f -- "$ziel$datei"
  dirname -- "$ziel$datei" >>"$ordner"
done <"$1"

# Folders of the program's own only: a shared one such as share/applications may be empty and still needed.
istUnserOrdner() {
  case $1 in
    */nummernfibel | */nummernfibel/*) return 0 ;;
  esac
  return 1
}
sort -ru "$ordner" | while IFS= read -r pfad; do
  while istUnserOrdner "$pfad" && rmdir -- "$pfad" 2>/dev/null; do
    pfad=$(dirname -- "$pfad")
  done
done
