#!/bin/sh
# Removes an installation made by "cmake --install": exactly the files its list names, never a file a
# Debian package owns (the package of the same program installed into the same prefix, say), then the
# program's own folders and those the install made that are left empty. The users' folders with their
# settings stay.
#   scripts/entfernen.sh build/installierte-dateien.txt
# That list is the install's own; build/install_manifest.txt serves as well until "cpack" writes it anew
# with the package's files. A list none of whose files is there, or only files of packages, is refused.
# With DESTDIR set, as for the install, the list's paths lie below it.
set -eu
[ $# -eq 1 ] && [ -f "$1" ] || {
  echo "usage: $0 <installierte-dateien.txt>" >&2
  exit 2
}
ziel=${DESTDIR:-}
ziel=${ziel%/}

ordner=$(mktemp) eigen=$(mktemp) liste=$(mktemp)
trap 'rm -f "$ordner" "$eigen" "$liste"' EXIT
# The files, with absolute paths: a line ending in "/" names a folder the install made.
grep -e '^/' -- "$1" | grep -v -e '/$' >"$liste" || true
# One question to dpkg for all files (it reads its whole database for each): which of them a package owns.
while IFS= read -r datei; do
  printf '%s\0' "$datei"
done <"$liste" | xargs -0 -r dpkg-query -S 2>/dev/null | sed -n 's/^[^:]*: //p' >"$eigen" || true

# A list of files that are not there, or are a package's, is not an install of ours: removing nothing and
# saying nothing would look like success.
da=0 fehlen=0 paket=0
while IFS= read -r datei; do
  [ -n "$datei" ] || continue
  if [ ! -e "$ziel$datei" ] && [ ! -L "$ziel$datei" ]; then
    fehlen=$((fehlen + 1))
  elif grep -Fxq -- "$datei" "$eigen"; then
    paket=$((paket + 1))
  else
    da=$((da + 1))
  fi
done <"$liste"
if [ "$da" -eq 0 ]; then
  echo "$0: nothing to remove: of the files $1 lists, $fehlen are not there${ziel:+ below $ziel}, $paket belong to a package." >&2
  echo "  \"cpack\" writes install_manifest.txt anew with the package's files; the list of the last" >&2
  echo "  \"cmake --install\" is installierte-dateien.txt in the build folder. A package is removed with apt-get." >&2
  exit 1
fi

while IFS= read -r datei; do
  [ -e "$ziel$datei" ] || [ -L "$ziel$datei" ] || continue
  if grep -Fxq -- "$datei" "$eigen"; then
    echo "kept, a package owns it: $datei" >&2
    continue
  fi
  rm -f -- "$ziel$datei"
  dirname -- "$ziel$datei" >>"$ordner"
done <"$liste"

# Folders of the program's own only: a shared one such as share/applications may be empty and still needed.
istUnserOrdner() {
  case $1 in
    */nummernfibel | */nummernfibel/* | */nummernfibel-daten | */nummernfibel-daten/*) return 0 ;;
  esac
  return 1
}
sort -ru "$ordner" | while IFS= read -r pfad; do
  while istUnserOrdner "$pfad" && rmdir -- "$pfad" 2>/dev/null; do
    pfad=$(dirname -- "$pfad")
  done
done
# The folders the install made (share/metainfo in a fresh prefix, say), deepest first, if nothing else
# came into them since.
grep -e '^/.*/$' -- "$1" | sort -r | while IFS= read -r pfad; do
  rmdir -- "$ziel${pfad%/}" 2>/dev/null || true
done
