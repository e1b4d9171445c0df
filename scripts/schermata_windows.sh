#!/usr/bin/env bash
# Takes the picture of the Windows build's waiting window under Wine and Xvfb, as
# docs/finestra_attesa_windows.png shows it: the window with its frame, as Wine draws it.
# It uses the build's own Wine session (build-windows/wine): not while ctest runs there.
# Needs the Windows build (cmake --build --preset windows) and ImageMagick's import
# (Debian: imagemagick) and xwininfo (x11-utils).
#
# usage: scripts/schermata_windows.sh [BUILD_DIR] [OUT.png]
set -euo pipefail
radice=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$radice/build-windows}
uscita=${2:-$radice/docs/finestra_attesa_windows.png}
sessione="$build/wine"
unset DISPLAY
"$radice/scripts/wine_prova.sh" "$sessione" --apri
trap '"$radice/scripts/wine_prova.sh" "$sessione" --chiudi' EXIT
DISPLAY=$(cat "$sessione/display")
export DISPLAY
# On a desktop of Wine's own, which draws the window's frame as Windows does (on a bare X
# server Wine leaves the frame to a window manager, and Xvfb has none).
programma="Z:$(cd "$build" && pwd)/mostra_attesa.exe"
"$radice/scripts/wine_prova.sh" "$sessione" explorer.exe /desktop=schermata,400x280 "${programma//\//\\}" 8 \
  >/dev/null 2>&1 &
finestra=
for _ in $(seq 1 100); do
  finestra=$(xwininfo -root -tree | awk '/"compattatore":/ {print $1; exit}')
  [ -n "$finestra" ] && break
  sleep 0.1
done
[ -n "$finestra" ] || { echo "schermata_windows.sh: the window did not appear" >&2; exit 1; }
sleep 1
import -window "$finestra" "$uscita"
wait
echo "$uscita"
