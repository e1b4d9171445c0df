#!/usr/bin/env bash
# The no-argument run of the Windows build, as a user starts it: a copy of compattatore.exe
# in an empty folder, under Wine on the session's display. It must end by itself with
# status 0, show its window rather than print (nothing on standard output), and leave the
# six files of the Linux build, byte for byte: their fingerprints are the built-in run's
# in tests/riferimento/impronte.txt, which the Linux build is held to.
#
# usage: tests/windows/run_incorporato.sh BUILD_DIR
set -euo pipefail
radice=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
mkdir "$lavoro/vuota"
cp "$build/compattatore.exe" "$lavoro/vuota/"
stato=0
(cd / && timeout 120 "$radice/scripts/wine_prova.sh" "$build/wine" "$lavoro/vuota/compattatore.exe") \
  >"$lavoro/uscita" 2>"$lavoro/errori" || stato=$?
rm "$lavoro/vuota/compattatore.exe"
esito=0
[ "$stato" -eq 0 ] || { echo "status $stato, not 0: $(cat "$lavoro/errori")"; esito=1; }
if [ -s "$lavoro/uscita" ]; then
  echo "standard output is not empty (no window was made?): $(cat "$lavoro/uscita")"
  esito=1
fi
attese=$(grep '^incorporato Vallorsa' "$radice/tests/riferimento/impronte.txt" | LC_ALL=C sort)
ottenute=$(cd "$lavoro/vuota" && for f in $(ls -A | LC_ALL=C sort); do
  echo "incorporato $f $(sha256sum <"$f" | cut -c1-64)"
done | LC_ALL=C sort)
if [ "$attese" != "$ottenute" ]; then
  echo "the files differ from the Linux build's:"
  diff <(echo "$attese") <(echo "$ottenute") || true
  esito=1
fi
[ "$esito" -eq 0 ] && echo "status 0, the window, and the six files of the Linux build, byte for byte"
exit "$esito"
