#!/usr/bin/env bash
# The same bytes on both systems: every output of scripts/impronte.sh (the six files of the
# built-in run, export, compile's files, --json object with codice_errore, posizione_errore
# and errore_finale, exit status, dump and plot) of the Windows build under Wine against
# the Linux build's, line by line, on the fingerprint cases, the fuzz corpus's seeds and
# every Nth description of the grown corpus (generated and damaged ones).
#
# usage: scripts/confronta_windows.sh LINUX_BUILD WINDOWS_BUILD [N]   (N: 10 unless given)
set -euo pipefail
radice=$(cd "$(dirname "$0")/.." && pwd)
linux=$1
windows=$2
export IMPRONTE_CRESCIUTO=${3:-10}
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
"$radice/scripts/impronte.sh" "$linux/compattatore" "$linux/genera_scenario" >"$lavoro/linux"
IMPRONTE_EMULATORE="$radice/scripts/wine_prova.sh $windows/wine" \
  "$radice/scripts/impronte.sh" "$windows/compattatore.exe" "$windows/genera_scenario.exe" >"$lavoro/windows"
if diff -u "$lavoro/linux" "$lavoro/windows"; then
  echo "$(wc -l <"$lavoro/linux") outputs agree ($(grep -c ' status ' "$lavoro/linux") cases)"
else
  echo "the Windows build's outputs differ from the Linux build's" >&2
  exit 1
fi
