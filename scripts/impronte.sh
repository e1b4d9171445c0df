#!/usr/bin/env bash
# Fingerprints of everything the program produces for a fixed set of cases: the built-in
# run, the exported descriptions, compile of generated scenarios at several sizes (with and
# without the plan), and compile of every seed of the fuzz corpus. Each line names a case
# and an output (a file, the --json object, the exit status) and its SHA-256, so two builds
# can be compared line by line.
#
# usage: scripts/impronte.sh PROGRAM GENERATOR > fingerprints.txt
#   PROGRAM    the compattatore executable
#   GENERATOR  the genera_scenario executable (bench/)
#   IMPRONTE_EMULATORE, when set, is the command that runs the two (the Windows build's
#   programs under Wine: scripts/wine_prova.sh SESSION)
#   IMPRONTE_CRESCIUTO=N, when set, adds every Nth description of the grown corpus
#   (generated and damaged descriptions), in its sorted order, from the folder
#   IMPRONTE_CARTELLA_CRESCIUTO: where a build unpacks fuzz/cresciuto.tar.xz, BUILD/fuzz/cresciuto
#
# tests/riferimento/impronte.txt holds the fingerprints of the program as it was before
# the code was reorganised; scripts/confronta_impronte.sh compares a build against it.
set -euo pipefail
prog=$(realpath "$1")
generatore=$(realpath "$2")
radice=$(cd "$(dirname "$0")/.." && pwd)
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT

impronta() { sha256sum | cut -c1-64; }

# Every run of the program or the generator ends within IMPRONTE_SECONDI seconds (120
# unless told otherwise): one that hangs is killed and shows as status 124 or 137.
limitato() { timeout --kill-after=10 "${IMPRONTE_SECONDI:-120}" "$@"; }

# The program and the generator, through the emulator when there is one.
programma() { limitato ${IMPRONTE_EMULATORE:-} "$prog" "$@"; }
genera() { limitato ${IMPRONTE_EMULATORE:-} "$generatore" "$@"; }

# Prints one line per file of the folder (sorted), then the status and standard output.
riporta() {
  local caso=$1 cartella=$2 stato=$3 uscita=$4
  local f
  for f in $(cd "$cartella" && ls -A | LC_ALL=C sort); do
    echo "$caso $f $(impronta <"$cartella/$f")"
  done
  echo "$caso status $stato"
  echo "$caso stdout $(impronta <"$uscita")"
}

# Compiles from a folder of its own with relative names, so the --json object does not
# depend on where the work folder is.
compila() {
  local caso=$1 linea=$2 treno=$3
  shift 3
  local dentro="$lavoro/compila"
  rm -rf "$dentro" && mkdir -p "$dentro/out"
  cp "$linea" "$dentro/$(basename "$linea")"
  cp "$treno" "$dentro/$(basename "$treno")"
  local stato=0
  (cd "$dentro" && programma compile --line "$(basename "$linea")" --train "$(basename "$treno")" \
      --out out --json "$@") >"$lavoro/stdout" 2>/dev/null || stato=$?
  riporta "$caso" "$dentro/out" "$stato" "$lavoro/stdout"
  rm -rf "$dentro"
}

# The built-in run, in a folder of its own.
mkdir -p "$lavoro/run"
copia="$lavoro/run/$(basename "$prog")"  # compattatore, or compattatore.exe
cp "$prog" "$copia"
stato=0
DISPLAY= limitato ${IMPRONTE_EMULATORE:-} "$copia" >"$lavoro/stdout" 2>/dev/null || stato=$?
rm "$copia"
riporta incorporato "$lavoro/run" "$stato" "$lavoro/stdout"

# The exported descriptions, then compiled back.
mkdir -p "$lavoro/esporta"
programma export --out "$lavoro/esporta" >/dev/null
riporta esporta "$lavoro/esporta" 0 /dev/null
linea_inc="$lavoro/esporta/VallorsaC_Pietrana_linea.txt"
treno_inc="$lavoro/esporta/VallorsaC_Pietrana_4721-.txt"
compila esportato "$linea_inc" "$treno_inc"
compila esportato-senza-pianta "$linea_inc" "$treno_inc" --no-plan

# Generated scenarios.
for km in 20 100 340 1000; do
  mkdir -p "$lavoro/gen$km"
  genera --length $((km * 1000)) --out "$lavoro/gen$km" >/dev/null
  compila "banco$km" "$lavoro/gen$km/Banco${km}_linea.txt" "$lavoro/gen$km/Banco${km}_9001-.txt"
done
compila banco100-senza-pianta "$lavoro/gen100/Banco100_linea.txt" "$lavoro/gen100/Banco100_9001-.txt" --no-plan

# The fuzz corpus: the first byte is the control byte (lowest bit: build the plan); the
# scenario seeds hold the line and the train text separated by a NUL byte.
semi=("$radice"/fuzz/corpus/fuzz_{linea,scenario,treno}/*)
if [ -n "${IMPRONTE_CRESCIUTO:-}" ]; then
  mapfile -t cresciuti < <(LC_ALL=C ls -d "$IMPRONTE_CARTELLA_CRESCIUTO"/fuzz_{linea,scenario,treno}/* |
                           awk -v n="$IMPRONTE_CRESCIUTO" 'NR % n == 1 || n == 1')
  semi+=("${cresciuti[@]}")
fi
for seme in "${semi[@]}"; do
  bersaglio=$(basename "$(dirname "$seme")")
  caso="$(basename "$(dirname "$(dirname "$seme")")")/$bersaglio/$(basename "$seme")"
  caso=${caso#corpus/}
  d="$lavoro/seme"
  rm -rf "$d" && mkdir -p "$d"
  controllo=$(head -c1 "$seme" | od -An -tu1 | tr -d ' ')
  opzioni=()
  [ $((controllo % 2)) -eq 1 ] || opzioni=(--no-plan)
  tail -c +2 "$seme" >"$d/corpo"
  case "$bersaglio" in
    fuzz_linea) cp "$d/corpo" "$d/S_linea.txt"; cp "$treno_inc" "$d/S_1-.txt" ;;
    fuzz_treno) cp "$linea_inc" "$d/S_linea.txt"; cp "$d/corpo" "$d/S_1-.txt" ;;
    fuzz_scenario)
      python3 - "$d/corpo" "$d/S_linea.txt" "$d/S_1-.txt" <<'PY'
import sys
corpo = open(sys.argv[1], 'rb').read()
linea, _, treno = corpo.partition(b'\0')
open(sys.argv[2], 'wb').write(linea)
open(sys.argv[3], 'wb').write(treno)
PY
      ;;
  esac
  compila "$caso" "$d/S_linea.txt" "$d/S_1-.txt" "${opzioni[@]}"
done

# dump and plot of the built-in scenario.
mkdir -p "$lavoro/vedi"
cp "$lavoro/run/"*.dat "$lavoro/run/"*.sim "$linea_inc" "$treno_inc" "$lavoro/vedi/"
cd "$lavoro/vedi"
for f in VallorsaC_Pietrana_4721.dat VallorsaC_Pietrana_4721.sim VallorsaC_Pietrana_linea.dat; do
  for modo in "" --json; do
    stato=0
    programma dump "$f" $modo >"$lavoro/stdout" 2>/dev/null || stato=$?
    echo "dump$modo $f status $stato"
    echo "dump$modo $f stdout $(impronta <"$lavoro/stdout")"
  done
done
programma plot --line VallorsaC_Pietrana_linea.txt --train VallorsaC_Pietrana_4721-.txt --out testi.svg >/dev/null 2>&1
programma plot --from . --out file.svg >/dev/null 2>&1
echo "plot testi.svg $(impronta <testi.svg)"
echo "plot file.svg $(impronta <file.svg)"
