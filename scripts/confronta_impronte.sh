#!/usr/bin/env bash
# Compares a build's outputs with tests/riferimento/impronte.txt (see scripts/impronte.sh).
# By default only the binary files and the exit statuses are compared: those must never
# change. --tutto also compares standard output (the --json object, dump, plot) and the
# text files, which change only when a message or a picture is meant to change.
#
# A Windows build (BUILD_DIR holds compattatore.exe) is run under Wine, in the build's own
# session (scripts/wine_prova.sh).
#
# usage: scripts/confronta_impronte.sh BUILD_DIR [--tutto]
set -euo pipefail
radice=$(cd "$(dirname "$0")/.." && pwd)
build=$1
tutto=${2:-}
attese="$radice/tests/riferimento/impronte.txt"
ottenute=$(mktemp)
trap 'rm -f "$ottenute" "$ottenute.a" "$ottenute.b"' EXIT
if [ ! -e "$build/compattatore" ] && [ -e "$build/compattatore.exe" ]; then
  IMPRONTE_EMULATORE="$radice/scripts/wine_prova.sh $build/wine" \
    "$radice/scripts/impronte.sh" "$build/compattatore.exe" "$build/genera_scenario.exe" >"$ottenute"
else
  "$radice/scripts/impronte.sh" "$build/compattatore" "$build/genera_scenario" >"$ottenute"
fi
if [ "$tutto" = --tutto ]; then
  cp "$attese" "$ottenute.a"; cp "$ottenute" "$ottenute.b"
else
  filtro='^(dump|plot)|^esporta | stdout | [^ ]*\.txt '
  grep -Ev "$filtro" "$attese" >"$ottenute.a" || true
  grep -Ev "$filtro" "$ottenute" >"$ottenute.b" || true
fi
if diff -u "$ottenute.a" "$ottenute.b"; then
  echo "$(wc -l <"$ottenute.a") fingerprints agree ($(grep -c ' status ' "$ottenute.a") cases)"
else
  echo "outputs differ from tests/riferimento/impronte.txt" >&2
  exit 1
fi
