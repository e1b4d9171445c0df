#!/bin/sh
# The folders of src/ as layers, from the bottom up: a file may include headers of its own
# folder and of the folders below it, never of one above. One order for all means no two
# folders include each other. A folder missing from the list fails too, so a new one is
# placed on purpose. Usage: scripts/controlla_strati.sh [SOURCE_ROOT]
set -eu
radice=${1:-$(dirname "$0")/..}
strati="errori model disco builtin documents reader finish compilazione plot sorveglianza finestra
messaggi descrizioni lsp comandi riga_comando"

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

# Every include "FOLDER/..." of a source of src/: one awk over all files, which knows the
# ranks, prints each include that looks up.
sopra=$(cd "$radice" && find src -name '*.h' -o -name '*.cpp' | sort | xargs awk -v strati="$strati" '
  BEGIN { n = split(strati, s); for (i = 1; i <= n; i++) rango[s[i]] = i }
  /^[ \t]*#[ \t]*include[ \t]*"[a-z_0-9]+\// {
    split(FILENAME, parti, "/"); proprio = parti[2]
    incluso = $0; sub(/^[^"]*"/, "", incluso); sub(/\/.*/, "", incluso)
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
echo "every include looks down: $(echo $strati)"
