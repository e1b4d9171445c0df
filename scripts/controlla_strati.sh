#!/bin/sh
# The folders of src/ as layers, from the bottom up: a file may include headers of its own
# folder and of the folders below it, never of one above. One order for all means no two
# folders include each other. A folder missing from the list fails too, so a new one is
# placed on purpose. The tests follow the same order: a file under tests/FOLDER/ (tests/
# mirrors src/) includes headers of FOLDER and of the folders below it only, so that its
# test program links nothing above it. Usage: scripts/controlla_strati.sh [SOURCE_ROOT]
set -eu
radice=${1:-$(dirname "$0")/..}
strati="errori model messaggi disco reader builtin documents finish compilazione orario plot sorveglianza finestra
descrizioni lsp comandi riga_comando"

rango() {
  n=0
  for s in $strati; do
    [ "$s" = "$1" ] && { echo $n; return; }
    n=$((n + 1))
  done
  echo -1
}

errori=0
for cartella in "$radice"/src/*/; do
  nome=$(basename "$cartella")
  if [ "$(rango "$nome")" -lt 0 ]; then
    echo "src/$nome/: not in the order of layers of scripts/controlla_strati.sh"
    errori=$((errori + 1))
  fi
done

# Every include "FOLDER/..." (or "../FOLDER/...", a helper of another test folder) of a
# source of src/ or of a test folder named as a layer: one awk over all files, which knows
# the ranks, prints each include that looks up. The folders of tests/ that are no layer
# (helpers of each system, fuzz, bench, browser) are left out.
sorgenti=$(cd "$radice" && find src tests -name '*.h' -o -name '*.cpp' | sort)
sopra=$(cd "$radice" && echo "$sorgenti" | xargs awk -v strati="$strati" '
  BEGIN { n = split(strati, s); for (i = 1; i <= n; i++) rango[s[i]] = i }
  FNR == 1 { split(FILENAME, parti, "/"); proprio = parti[2] }
  !(proprio in rango) { nextfile }
  /^[ \t]*#[ \t]*include[ \t]*"(\.\.\/)*[a-z_0-9]+\// {
    incluso = $0; sub(/^[^"]*"/, "", incluso); gsub(/^(\.\.\/)+/, "", incluso); sub(/\/.*/, "", incluso)
    if ((incluso in rango) && rango[incluso] > rango[proprio])
      print FILENAME " includes " incluso "/, a layer above " proprio "/"
  }')
if [ -n "$sopra" ]; then
  echo "$sopra"
  errori=$((errori + $(echo "$sopra" | wc -l)))
fi

if [ "$errori" -gt 0 ]; then
  echo "$errori fault(s) against the order of layers: $(echo $strati)"
  exit 1
fi
echo "every include looks down, in src/ and tests/: $(echo $strati)"
