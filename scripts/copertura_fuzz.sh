#!/usr/bin/env bash
# What the fuzz corpus reaches: the targets built with clang's source-based coverage
# (-fprofile-instr-generate -fcoverage-mapping, in build-copertura/), each input of the
# seeds (fuzz/corpus/) and of the grown corpus (fuzz/cresciuto.tar.xz) run once, then
# llvm-profdata and llvm-cov report (Debian's LLVM 14: apt-get install llvm-14) over src/.
#
#   scripts/copertura_fuzz.sh [TARGET...]
#
# Writes build-copertura/copertura/rapporto.txt (lines, regions and functions of every
# source file), funzioni.txt (every function of the files the journal, the check over the
# texts and the UTF-8 conversion live in) and an HTML view in html/, and prints the
# totals and the lines of those functions. Each input runs in a process of its own, two
# at a time, for at most COPERTURA_SECONDI seconds (60 unless told otherwise): one that
# runs longer is left out of the figures and named.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz_comune.sh

for strumento in clang++-14 llvm-profdata-14 llvm-cov-14; do
  if ! command -v "$strumento" >/dev/null 2>&1; then
    echo "copertura_fuzz.sh: $strumento is missing (apt-get install clang-14 llvm-14)" >&2
    exit 2
  fi
done
bersagli=("$@")
[ ${#bersagli[@]} -gt 0 ] || mapfile -t bersagli < <(bersagli_fuzz)
secondi=${COPERTURA_SECONDI:-60}

build=build-copertura
CXX=clang++-14 cmake -S . -B "$build" -DCOMPATTATORE_FUZZ=ON -DCOMPATTATORE_TESTS=OFF -DCOMPATTATORE_BENCH=OFF \
    -DCOMPATTATORE_X11=OFF -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping" \
    -DCMAKE_EXE_LINKER_FLAGS="-fprofile-instr-generate" >/dev/null
cmake --build "$build" -j2 --target "${bersagli[@]}" >/dev/null

uscita="$build/copertura"
rm -rf "$uscita"
mkdir -p "$uscita/profili"
spacchetta_cresciuto "$uscita"
# An input that does not end (or fails) takes its whole group of 50 with it: the group
# then runs again one input a process, and what still does not end is left out.
cat >"$uscita/esegui.sh" <<'FINE'
timeout -s KILL "$SECONDI" "$BERSAGLIO" "$@" >/dev/null 2>&1 && exit 0
for f; do timeout -s KILL "$SECONDI" "$BERSAGLIO" "$f" >/dev/null 2>&1 || echo "$f" >>"$LASCIATI"; done
FINE
for b in "${bersagli[@]}"; do
  elenco="$uscita/ingressi-$b.txt"
  lasciati="$uscita/lasciati-$b.txt"
  mkdir -p "$uscita/cresciuto/$b"  # a target no campaign has grown yet has no folder there
  find fuzz/corpus/"$b" "$uscita/cresciuto/$b" -type f | sort >"$elenco"
  # Profiles merged as they are written, into a pool of two files per target.
  LLVM_PROFILE_FILE="$uscita/profili/$b-%2m.profraw" ASAN_OPTIONS=detect_leaks=0 SECONDI="$secondi" \
    BERSAGLIO="$build/fuzz/$b" LASCIATI="$lasciati" \
    xargs -d '\n' -P 2 -n 50 sh "$uscita/esegui.sh" <"$elenco" || true
  echo "$b: $(wc -l <"$elenco") inputs run$([ -s "$lasciati" ] && echo "; left out, as slower than $secondi s or failing: $(wc -l <"$lasciati") (see $lasciati)")"
done
# The targets' LLVMFuzzerTestOneInput share a name and differ: llvm-profdata and llvm-cov
# say so ("functions have mismatched data"), which is all that is left out here.
llvm-profdata-14 merge -sparse "$uscita"/profili/*.profraw -o "$uscita/copertura.profdata" 2>"$uscita/avvisi.txt"

oggetti=()
for b in "${bersagli[@]}"; do oggetti+=(-object "$build/fuzz/$b"); done
cov() { llvm-cov-14 "$1" "${oggetti[@]:1}" -instr-profile="$uscita/copertura.profdata" "${@:2}" 2>>"$uscita/avvisi.txt"; }
cov report src/ >"$uscita/rapporto.txt"
cov report -show-functions -Xdemangler=c++filt src/disco/cartella.cpp src/comandi/avvisi_testo.cpp \
    src/model/somiglianza.h src/model/cp1252.cpp >"$uscita/funzioni.txt"
cov show -format=html -output-dir="$uscita/html" src/ >/dev/null
echo
awk '/^TOTAL/ || /(^|\/)(cartella\.cpp|avvisi_testo\.cpp|somiglianza\.h|cp1252\.cpp) / {
       printf "%-28s lines %6s of %6s covered (%s), functions %s of %s\n", $1, $8 - $9, $8, $10, $5 - $6, $5 }' \
    "$uscita/rapporto.txt"
echo
# A function's row ends with nine figures: regions, missed, cover, lines, missed, cover, branches...
awk '/ripristina_interrotta|controlla_testo|converti_da_utf8|parola_vicina|distanza_modifiche/ {
       nome = $1; for (i = 2; i <= NF - 9; i++) nome = nome " " $i; sub(/\(.*/, "", nome)
       printf "%-40s lines %4s of %4s covered (%s), branches %s of %s\n", nome, $(NF-5) - $(NF-4), $(NF-5), $(NF-3), $(NF-2) - $(NF-1), $(NF-2) }' \
    "$uscita/funzioni.txt"
echo
echo "the whole report: $uscita/rapporto.txt, $uscita/funzioni.txt, $uscita/html/index.html"
