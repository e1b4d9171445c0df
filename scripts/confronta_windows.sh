#!/usr/bin/env bash
# The same bytes on both systems: every output of scripts/impronte.sh (the six files of the
# built-in run, export, compile's files, --json object with codice_errore, posizione_errore
# and errore_finale, exit status, dump and plot) of the Windows build under Wine against
# the Linux build's, line by line, on the fingerprint cases, the fuzz corpus's seeds and
# every Nth description of the grown corpus (generated and damaged ones), as the Linux
# build unpacked it. ctest's windows.confronto; skipped (status 77) without a Linux build.
#
# usage: scripts/confronta_windows.sh LINUX_BUILD WINDOWS_BUILD [N]   (N: 10 unless given)
set -euo pipefail
radice=$(cd "$(dirname "$0")/.." && pwd)
linux=$1
windows=$2
for programma in compattatore genera_scenario; do
  if [ ! -x "$linux/$programma" ]; then
    echo "SKIP: no Linux build to compare with ($linux/$programma is missing: build it, or give its folder" \
         "as COMPATTATORE_BUILD_LINUX)"
    exit 77
  fi
done
export IMPRONTE_CRESCIUTO=${3:-10}
export IMPRONTE_CARTELLA_CRESCIUTO="$linux/fuzz/cresciuto"
if ! compgen -G "$IMPRONTE_CARTELLA_CRESCIUTO/fuzz_linea/*" >/dev/null; then
  echo "the Linux build holds no grown corpus in $IMPRONTE_CARTELLA_CRESCIUTO" >&2
  exit 1
fi
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
"$radice/scripts/impronte.sh" "$linux/compattatore" "$linux/genera_scenario" >"$lavoro/linux"
IMPRONTE_EMULATORE="$radice/scripts/wine_prova.sh $windows/wine" \
  "$radice/scripts/impronte.sh" "$windows/compattatore.exe" "$windows/genera_scenario.exe" >"$lavoro/windows"
if diff -u "$lavoro/linux" "$lavoro/windows"; then
  echo "$(wc -l <"$lavoro/linux") outputs agree ($(grep -c ' status ' "$lavoro/linux") cases," \
       "$(grep -c '^cresciuto/.* status ' "$lavoro/linux") of them from the grown corpus)"
else
  echo "the Windows build's outputs differ from the Linux build's" >&2
  exit 1
fi
