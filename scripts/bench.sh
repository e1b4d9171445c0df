#!/usr/bin/env bash
# Benchmark of `compattatore compile` at three sizes: the built-in scenario (31 km), a
# generated 100 km line and a generated 1,000 km line (the longest a description may have).
#
# It builds the Release program, then for each size compiles the descriptions several times
# and prints the median wall time, the peak resident memory and the bytes written, next to
# the median time the machine needs to write the same number of bytes as one file into the
# same folder the way compattatore writes each of its files (temporary file, one write,
# fsync, rename over the old file, fsync of the folder), and the ratio of the two. The
# compiles and the plain writes take turns, so that both meet the same state of the disk.
#
# usage: scripts/bench.sh [--build DIR] [--runs N] [--keep]
#   --build DIR  the Release build folder (default: build-release)
#   --runs N     timed runs per measurement, after one warm-up run (default: 11)
#   --keep       keep the work folder (descriptions and compiled files) afterwards
set -euo pipefail

radice=$(cd "$(dirname "$0")/.." && pwd)
build=build-release
volte=11
tieni=0
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --runs) volte=$2; shift 2 ;;
    --keep) tieni=1; shift ;;
    -h|--help) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench.sh: unknown option $1 (try --help)" >&2; exit 3 ;;
  esac
done
case "$build" in /*) ;; *) build="$radice/$build" ;; esac

echo "Building the Release program in $build ..." >&2
cmake -S "$radice" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCOMPATTATORE_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target compattatore genera_scenario misura_banco >/dev/null

lavoro=$(mktemp -d "$build/banco.XXXXXX")
if [ "$tieni" = 0 ]; then trap 'rm -rf "$lavoro"' EXIT; else echo "work folder: $lavoro" >&2; fi

valore() { tr ' ' '\n' <<<"$2" | sed -n "s/^$1=//p"; }
mediana() { sort -n | awk '{v[NR] = $1} END {print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
migliaia() { sed ':a;s/\B[0-9]\{3\}\>/,&/;ta' <<<"$1"; }

echo
echo "Machine: $(nproc) CPUs, $(lscpu | sed -n 's/^Model name: *//p'), \
$(free -m | awk '/^Mem:/{printf "%.1f GB", $2/1024}') memory, Linux $(uname -r), \
$(df -T "$lavoro" | awk 'NR==2{print $2}') file system; load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| Scenario | Bytes written | compile (median of $volte) | Peak memory | Plain write of the same bytes | Ratio |"
echo "|---|---:|---:|---:|---:|---:|"

misura() {
  local nome=$1 linea=$2 treno=$3 uscita
  uscita=$(dirname "$linea")/out
  mkdir -p "$uscita"
  local comando=("$build/compattatore" compile --line "$linea" --train "$treno" --out "$uscita")
  if ! "${comando[@]}" >/dev/null; then
    echo "bench.sh: $nome does not compile cleanly" >&2
    exit 1
  fi
  local byte t_compila rss=0 t_scrittura r k
  # Data the build or an earlier size left to write back would slow this size's fsyncs down.
  sync
  byte=$(find "$uscita" -maxdepth 1 -type f \( -name '*.dat' -o -name '*.sim' \) -printf '%s\n' | awk '{s += $1} END {print s}')
  # One warm-up of each, then the compile and the plain write take turns.
  "$build/misura_banco" comando -- "${comando[@]}" >/dev/null
  "$build/misura_banco" scrittura "$byte" "$uscita" >/dev/null
  : >"$lavoro/compila.ms"
  : >"$lavoro/scrittura.ms"
  for ((i = 0; i < volte; i++)); do
    r=$("$build/misura_banco" comando -- "${comando[@]}")
    valore ms "$r" >>"$lavoro/compila.ms"
    k=$(valore rss_kb "$r")
    if [ "$k" -gt "$rss" ]; then rss=$k; fi
    valore ms "$("$build/misura_banco" scrittura "$byte" "$uscita")" >>"$lavoro/scrittura.ms"
  done
  rm -f "$uscita/scrittura_pura.bin"
  t_compila=$(mediana <"$lavoro/compila.ms")
  t_scrittura=$(mediana <"$lavoro/scrittura.ms")
  printf '| %s | %s | %.1f ms | %.1f MB | %.1f ms | %.2f |\n' "$nome" "$(migliaia "$byte")" "$t_compila" \
    "$(awk -v k="$rss" 'BEGIN{print k/1024}')" "$t_scrittura" "$(awk -v a="$t_compila" -v b="$t_scrittura" 'BEGIN{print a/b}')"
}

mkdir -p "$lavoro/incorporato" "$lavoro/100km" "$lavoro/1000km"
"$build/compattatore" export --out "$lavoro/incorporato"
"$build/genera_scenario" --length 100000 --out "$lavoro/100km" >/dev/null
"$build/genera_scenario" --length 1000000 --out "$lavoro/1000km" >/dev/null

misura "built-in, 31 km" "$lavoro/incorporato/VallorsaC_Pietrana_linea.txt" "$lavoro/incorporato/VallorsaC_Pietrana_4721-.txt"
misura "generated, 100 km" "$lavoro/100km/Banco100_linea.txt" "$lavoro/100km/Banco100_9001-.txt"
misura "generated, 1,000 km" "$lavoro/1000km/Banco1000_linea.txt" "$lavoro/1000km/Banco1000_9001-.txt"
echo
echo "Load average afterwards: $(cut -d' ' -f1-3 /proc/loadavg)"
