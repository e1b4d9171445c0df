#!/bin/sh
# Runs a program of the Windows build under Wine: the CMAKE_CROSSCOMPILING_EMULATOR of
# build-windows/ (cmake/windows.cmake), so that ctest runs each test program through it.
#
# usage: scripts/wine_prova.sh SESSION PROGRAM.exe [ARGUMENT...]
#        scripts/wine_prova.sh SESSION --apri     (ctest's fixture: before the first test)
#        scripts/wine_prova.sh SESSION --chiudi   (and after the last)
#
# SESSION is a folder of the build (build-windows/wine): it holds the build's own
# WINEPREFIX, made quietly the first time it is needed (no dialog for Mono or Gecko,
# no Wine message), and, between --apri and --chiudi, the DISPLAY of an Xvfb of the
# session (or the one already set) and one wineserver kept for the whole run: every
# program then finds the same server and the same desktop, on a display.
set -eu
mkdir -p "$1"
sessione=$(cd "$1" && pwd)  # Wine takes an absolute WINEPREFIX only
shift
export WINEPREFIX="$sessione/prefisso"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# The prefix, made once; two programs that find none wait for the first to make it.
prepara_prefisso() {
  [ -f "$sessione/prefisso.pronto" ] && return 0
  (
    flock 9
    if [ ! -f "$sessione/prefisso.pronto" ]; then
      rm -rf "$WINEPREFIX"
      wineboot --init >/dev/null 2>&1
      wineserver --wait >/dev/null 2>&1 || true
      # The glyphs of the title bar's buttons (Marlett, fonts-wine), which Debian's Wine
      # looks for in the prefix only. Not Wine's MS Sans Serif: it has no 24-point size,
      # and scaled up from a smaller one its letters stand apart.
      fonti="$WINEPREFIX/drive_c/windows/Fonts"
      if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -e "$fonti/marlett.ttf" ]; then
        mkdir -p "$fonti" && ln -s /usr/share/wine/fonts/marlett.ttf "$fonti/"
      fi
      touch "$sessione/prefisso.pronto"
    fi
  ) 9>"$sessione/prefisso.lock"
}

apri() {
  prepara_prefisso
  wineserver --kill >/dev/null 2>&1 || true  # one left by a program run outside a session
  wineserver --wait >/dev/null 2>&1 || true
  rm -f "$sessione/display" "$sessione/xvfb.pid"
  if [ -n "${DISPLAY:-}" ]; then
    echo "$DISPLAY" >"$sessione/display"
  elif command -v Xvfb >/dev/null 2>&1; then
    # The display's number is Xvfb's to choose (-displayfd): sessions never collide.
    rm -f "$sessione/xvfb.numero"
    Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp </dev/null >"$sessione/xvfb.numero" 2>/dev/null &
    echo $! >"$sessione/xvfb.pid"
    i=0
    while [ ! -s "$sessione/xvfb.numero" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    if [ -s "$sessione/xvfb.numero" ]; then
      echo ":$(head -n1 "$sessione/xvfb.numero")" >"$sessione/display"
    else
      echo "wine_prova.sh: Xvfb did not start: the window tests will be skipped" >&2
    fi
  else
    echo "wine_prova.sh: no DISPLAY and no Xvfb: the window tests will be skipped" >&2
  fi
  if [ -f "$sessione/display" ]; then DISPLAY=$(cat "$sessione/display") && export DISPLAY; fi
  # Its own streams are let go: ctest would wait for the end of the fixture's output.
  wineserver --persistent </dev/null >/dev/null 2>&1
  # The session's lasting processes (services, and the desktop on the display) start
  # here, on no stream: started by the first test, they would hold its output open, and
  # ctest would wait for its end until the test's time ran out.
  wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
}

chiudi() {
  wineserver --kill >/dev/null 2>&1 || true
  wineserver --wait >/dev/null 2>&1 || true
  if [ -f "$sessione/xvfb.pid" ]; then kill "$(cat "$sessione/xvfb.pid")" 2>/dev/null || true; fi
  rm -f "$sessione/display" "$sessione/xvfb.pid" "$sessione/xvfb.numero"
}

case "${1:-}" in
  --apri) apri; exit 0 ;;
  --chiudi) chiudi; exit 0 ;;
  '') echo "usage: wine_prova.sh SESSION PROGRAM.exe [ARGUMENT...] | --apri | --chiudi" >&2; exit 2 ;;
esac
prepara_prefisso
# The session's display, unless the caller asked for none (DISPLAY set and empty): a
# program that finds no display makes no window, as on Linux.
if [ -f "$sessione/display" ] && [ "${DISPLAY-unset}" != "" ]; then
  DISPLAY=$(cat "$sessione/display") && export DISPLAY
fi
exec wine "$@"
