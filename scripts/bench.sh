#!/usr/bin/env bash
# Benchmark of compattatore at three sizes: the built-in scenario (31 km), a generated
# 100 km line and a generated 1,000 km line (the longest a description may have).
#
# It builds the Release program, then prints two Markdown tables of medians:
# - start-up: `compattatore --version` next to `/bin/true`, taking turns;
# - for each size: `compile` (wall time, peak memory, bytes written) next to two floors,
#   the durable write of the same files by the same protocol (the same names and sizes,
#   each to a temporary file with one write and an fsync, renamed over its name, then one
#   fsync of the folder): timed inside a running process (`misura_banco scrittura`, the
#   write alone), and as a whole process from spawn to exit (`scrivi_durevole`, linked
#   as compattatore is), as the compile is timed; so compile / process write compares
#   like with like, and compile / in-process write also counts starting a process.
#   Then `plot` next to its compile, and the edit-to-picture time of `watch` (from an
#   editor's save of the line description to the rewrite of FILE), "n/a" while the
#   program has no watch command. Compile, both writes and plot take turns, so that all
#   meet the same state of the disk.
#
# usage: scripts/bench.sh [--build DIR] [--runs N] [--start-runs N] [--watch-file NAME] [--keep]
#   --build DIR        the Release build folder (default: build-release)
#   --runs N           timed runs per measurement, after one warm-up run (default: 11)
#   --start-runs N     timed runs of each start-up command (default: 101)
#   --watch-file NAME  the file in watch's output folder whose change means the picture is
#                      up to date (default: the page, NAME_NUMBER.html, written last)
#   --keep             keep the work folder (descriptions and outputs) afterwards
set -euo pipefail

radice=$(cd "$(dirname "$0")/.." && pwd)
build=build-release
volte=11
volte_avvio=101
file_watch=
tieni=0
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --runs) volte=$2; shift 2 ;;
    --start-runs) volte_avvio=$2; shift 2 ;;
    --watch-file) file_watch=$2; shift 2 ;;
    --keep) tieni=1; shift ;;
    -h|--help) sed -n '2,25p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench.sh: unknown option $1 (try --help)" >&2; exit 3 ;;
  esac
done
case "$build" in /*) ;; *) build="$radice/$build" ;; esac

echo "Building the Release program in $build ..." >&2
cmake -S "$radice" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCOMPATTATORE_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target compattatore genera_scenario misura_banco scrivi_durevole >/dev/null

programma=$build/compattatore
misura=$build/misura_banco
scrittore=$build/scrivi_durevole
lavoro=$(mktemp -d "$build/banco.XXXXXX")
pid_watch=
t_watch=n/a
pulisci() {
  if [ -n "$pid_watch" ]; then kill "$pid_watch" 2>/dev/null || true; fi
  if [ "$tieni" = 0 ]; then rm -rf "$lavoro"; fi
}
trap pulisci EXIT
if [ "$tieni" = 1 ]; then echo "work folder: $lavoro" >&2; fi

valore() { tr ' ' '\n' <<<"$2" | sed -n "s/^$1=//p"; }
mediana() { sort -n | awk '{v[NR] = $1} END {print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
migliaia() { sed ':a;s/\B[0-9]\{3\}\>/,&/;ta' <<<"$1"; }
rapporto() { awk -v a="$1" -v b="$2" 'BEGIN{printf "%.2f", a / b}'; }
carico() { cut -d' ' -f1-3 /proc/loadavg; }

# ---- start-up -------------------------------------------------------------------------
avvio() {
  local i
  : >"$lavoro/true.ms"
  : >"$lavoro/version.ms"
  "$misura" comando -- /bin/true >/dev/null
  "$misura" comando -- "$programma" --version >/dev/null
  for ((i = 0; i < volte_avvio; i++)); do
    valore ms "$("$misura" comando -- /bin/true)" >>"$lavoro/true.ms"
    valore ms "$("$misura" comando -- "$programma" --version)" >>"$lavoro/version.ms"
  done
  local t_true t_versione
  t_true=$(mediana <"$lavoro/true.ms")
  t_versione=$(mediana <"$lavoro/version.ms")
  echo "| Command | Start-up (median of $volte_avvio) | Ratio |"
  echo "|---|---:|---:|"
  printf '| `/bin/true` | %.2f ms | 1.00 |\n' "$t_true"
  printf '| `compattatore --version` | %.2f ms | %s |\n' "$t_versione" "$(rapporto "$t_versione" "$t_true")"
}

# ---- the durable write of a compile's files -------------------------------------------
# NAME=BYTES of each file the compile left in FOLDER, in the order compattatore writes
# them: the line table, the scenario, the train's data.
file_scritti() {
  local cartella=$1
  find "$cartella" -maxdepth 1 -type f -name '*_linea.dat' -printf '%f=%s\n'
  find "$cartella" -maxdepth 1 -type f -name '*.sim' -printf '%f=%s\n'
  find "$cartella" -maxdepth 1 -type f -name '*.dat' ! -name '*_linea.dat' -printf '%f=%s\n'
}

# ---- edit-to-picture time of `compattatore watch` -------------------------------------
# The only place that knows how watch is started and what tells that it is done: after an
# editor's save of the line description, misura_banco waits until FILE (--watch-file,
# default the compiled line table) in watch's output folder changes. Sets t_watch to the
# median, or to "n/a" when the program has no watch command or watch never rewrote FILE.
# Until watch exists, its command line below takes the options of compile: adjust it here.
tempo_watch() {
  local linea=$1 treno=$2 uscita=$3 file i r pronto=0
  t_watch=n/a
  if ! "$programma" watch --help >/dev/null 2>&1; then return; fi
  # The page is the last file a rebuild writes: <NAME>_<NUMBER>.html, named after the train.
  file=$uscita/${file_watch:-$(basename "${treno%-.txt}").html}
  mkdir -p "$uscita"
  rm -f "$file"
  "$programma" watch --line "$linea" --train "$treno" --out "$uscita" >/dev/null 2>&1 &
  pid_watch=$!
  for ((i = 0; i < 300; i++)); do  # the first build, up to 30 s
    if [ -e "$file" ]; then pronto=1; break; fi
    sleep 0.1
  done
  if [ "$pronto" = 1 ] && "$misura" salva_e_attendi "$linea" "$file" 30 >/dev/null; then  # warm-up
    : >"$lavoro/watch.ms"
    for ((i = 0; i < volte; i++)); do
      sleep 0.3  # let watch finish the rest of its outputs and settle
      if ! r=$("$misura" salva_e_attendi "$linea" "$file" 30); then break; fi
      valore ms "$r" >>"$lavoro/watch.ms"
    done
    if [ "$(wc -l <"$lavoro/watch.ms")" = "$volte" ]; then t_watch=$(printf '%.1f ms' "$(mediana <"$lavoro/watch.ms")"); fi
  fi
  kill "$pid_watch" 2>/dev/null || true
  wait "$pid_watch" 2>/dev/null || true
  pid_watch=
}

# ---- one size -------------------------------------------------------------------------
misura_taglia() {
  local nome=$1 linea=$2 treno=$3 cartella uscita pavimento processo svg
  cartella=$(dirname "$linea")
  uscita=$cartella/out
  pavimento=$cartella/scrittura
  svg=$cartella/piano.svg
  processo=$cartella/scrittura_processo
  mkdir -p "$uscita" "$pavimento" "$processo"
  local compila=("$programma" compile --line "$linea" --train "$treno" --out "$uscita")
  local disegna=("$programma" plot --line "$linea" --train "$treno" --out "$svg")
  if ! "${compila[@]}" >/dev/null || ! "${disegna[@]}" >/dev/null; then
    echo "bench.sh: $nome does not compile and plot cleanly" >&2
    exit 1
  fi
  local file byte rss=0 r k i
  mapfile -t file < <(file_scritti "$uscita")
  byte=$(printf '%s\n' "${file[@]}" | awk -F= '{s += $2} END {print s}')
  # Data the build or an earlier size left to write back would slow this size's fsyncs down.
  sync
  # One warm-up of each, then they take turns.
  "$misura" comando -- "${compila[@]}" >/dev/null
  "$misura" scrittura "$pavimento" "${file[@]}" >/dev/null
  "$misura" comando -- "$scrittore" "$processo" "${file[@]}" >/dev/null
  "$misura" comando -- "${disegna[@]}" >/dev/null
  : >"$lavoro/compila.ms"
  : >"$lavoro/scrittura.ms"
  : >"$lavoro/processo.ms"
  : >"$lavoro/plot.ms"
  for ((i = 0; i < volte; i++)); do
    r=$("$misura" comando -- "${compila[@]}")
    valore ms "$r" >>"$lavoro/compila.ms"
    k=$(valore rss_kb "$r")
    if [ "$k" -gt "$rss" ]; then rss=$k; fi
    valore ms "$("$misura" scrittura "$pavimento" "${file[@]}")" >>"$lavoro/scrittura.ms"
    valore ms "$("$misura" comando -- "$scrittore" "$processo" "${file[@]}")" >>"$lavoro/processo.ms"
    valore ms "$("$misura" comando -- "${disegna[@]}")" >>"$lavoro/plot.ms"
  done
  local t_compila t_scrittura t_processo t_plot
  t_compila=$(mediana <"$lavoro/compila.ms")
  t_scrittura=$(mediana <"$lavoro/scrittura.ms")
  t_processo=$(mediana <"$lavoro/processo.ms")
  t_plot=$(mediana <"$lavoro/plot.ms")
  tempo_watch "$linea" "$treno" "$cartella/watch"
  printf '| %s | %s | %.1f ms | %.1f MB | %.1f ms | %.1f ms | %s | %s | %.1f ms | %s | %s |\n' \
    "$nome" "$(migliaia "$byte")" "$t_compila" "$(awk -v k="$rss" 'BEGIN{print k/1024}')" \
    "$t_scrittura" "$t_processo" "$(rapporto "$t_compila" "$t_processo")" "$(rapporto "$t_compila" "$t_scrittura")" \
    "$t_plot" "$(rapporto "$t_plot" "$t_compila")" "$t_watch"
}

mkdir -p "$lavoro/incorporato" "$lavoro/100km" "$lavoro/1000km"
"$programma" export --out "$lavoro/incorporato"
"$build/genera_scenario" --length 100000 --out "$lavoro/100km" >/dev/null
"$build/genera_scenario" --length 1000000 --out "$lavoro/1000km" >/dev/null

echo
echo "Machine: $(nproc) CPUs, $(lscpu | sed -n 's/^Model name: *//p'), \
$(free -m | awk '/^Mem:/{printf "%.1f GB", $2/1024}') memory, Linux $(uname -r), \
$(df -T "$lavoro" | awk 'NR==2{print $2}') file system; load average $(carico)"
echo
avvio
echo
echo "| Scenario | Bytes written | compile (median of $volte) | Peak memory | Durable write, in process | Durable write, as a process | compile / process write | compile / in-process write | plot | plot / compile | Edit to picture (watch) |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
misura_taglia "built-in, 31 km" "$lavoro/incorporato/VallorsaC_Pietrana_linea.txt" "$lavoro/incorporato/VallorsaC_Pietrana_4721-.txt"
misura_taglia "generated, 100 km" "$lavoro/100km/Banco100_linea.txt" "$lavoro/100km/Banco100_9001-.txt"
misura_taglia "generated, 1,000 km" "$lavoro/1000km/Banco1000_linea.txt" "$lavoro/1000km/Banco1000_9001-.txt"
echo
echo "Load average afterwards: $(carico)"
