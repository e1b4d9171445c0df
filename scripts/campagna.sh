#!/usr/bin/env bash
# A fuzz campaign: each target runs for a number of executions (a million unless told
# otherwise), two targets side by side, starting from its seeds and the corpus grown by
# earlier campaigns, with the options of fuzz/bersagli.txt (an input longer than its
# timeout, or slower than its slow mark, is a finding). The grown corpus is unpacked from
# fuzz/cresciuto.tar.xz into build-fuzz/cresciuto/; the inputs that reach something the
# seeds and the grown corpus do not are merged (minimised) into it, and the archive is
# packed again from it. One line of figures per target is printed. A finding stops that
# target and leaves its input in the work folder.
#
#   scripts/campagna.sh [ESECUZIONI] [TARGET...]
#
# Run it from the repository root; the fuzz build (build-fuzz/) is made if needed. No run
# of a target lasts longer than CAMPAGNA_SECONDI seconds (4 hours unless told otherwise).
set -euo pipefail

esecuzioni=${1:-1000000}
shift || true

if [ ! -f fuzz/bersagli.txt ]; then
  echo "campagna.sh: run it from the repository root" >&2
  exit 2
fi
source scripts/fuzz_comune.sh
bersagli=("$@")
[ ${#bersagli[@]} -gt 0 ] || mapfile -t bersagli < <(bersagli_fuzz)
massimo=${CAMPAGNA_SECONDI:-14400}

CXX=clang++ cmake -S . -B build-fuzz -DCOMPATTATORE_FUZZ=ON -DCOMPATTATORE_TESTS=OFF >/dev/null
cmake --build build-fuzz -j2 --target "${bersagli[@]}" >/dev/null

lavoro=$(mktemp -d /tmp/campagna.XXXXXX)
echo "work folder: $lavoro"
cresciuto=build-fuzz/cresciuto
spacchetta_cresciuto build-fuzz

# One target: the run, then the merge of what it found into build-fuzz/cresciuto/<target>/.
campagna() {
  local b=$1 dir="$lavoro/$1"
  local opzioni
  mapfile -t opzioni < <(opzioni_fuzz "$b")
  mkdir -p "$dir/corpus" "$dir/trovati" "$dir/noti"
  cp fuzz/corpus/"$b"/* "$dir/corpus/"
  cp fuzz/corpus/"$b"/* "$dir/noti/"
  if compgen -G "$cresciuto/$b/*" >/dev/null; then
    cp "$cresciuto/$b"/* "$dir/corpus/"
    cp "$cresciuto/$b"/* "$dir/noti/"
  fi
  local inizio fine
  inizio=$(date +%s)
  if ! timeout --kill-after=60 $((massimo + 600)) build-fuzz/fuzz/"$b" "$dir/corpus" -runs="$esecuzioni" \
      -max_total_time="$massimo" "${opzioni[@]}" -artifact_prefix="$dir/trovati/" -print_final_stats=1 \
      >"$dir/registro.txt" 2>&1 || lento_o_scaduto "$dir/trovati"; then
    echo "$b: FOUND a broken invariant, a crash, a timeout or a slow input; see $dir/registro.txt and $dir/trovati/"
    return 1
  fi
  fine=$(date +%s)
  # The merge keeps what the seeds and the grown corpus already reach and adds, from the
  # run's corpus, the smallest inputs that reach more.
  ls "$dir/noti" | sort >"$dir/prima.txt"
  timeout --kill-after=60 "$massimo" build-fuzz/fuzz/"$b" -merge=1 "${opzioni[@]}" -artifact_prefix="$dir/unione-" \
      "$dir/noti" "$dir/corpus" \
      >"$dir/unione.txt" 2>&1
  local nuovi=0
  for f in $(ls "$dir/noti" | sort | comm -13 "$dir/prima.txt" -); do
    mkdir -p "$cresciuto/$b"
    cp "$dir/noti/$f" "$cresciuto/$b/"
    nuovi=$((nuovi + 1))
  done
  local eseguite copertura
  eseguite=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/registro.txt")
  copertura=$(grep -ao 'cov: [0-9]*' "$dir/registro.txt" | tail -n 1)
  echo "$b: $eseguite executions in $((fine - inizio)) s ($((eseguite / (fine - inizio + 1))) a second)," \
       "$copertura, no finding; $nuovi inputs added to the grown corpus"
}

esito=0
# Two at a time: the machine this runs on has two cores.
for ((i = 0; i < ${#bersagli[@]}; i += 2)); do
  campagna "${bersagli[i]}" >"$lavoro/esito-$i.txt" &
  primo=$!
  secondo=
  if [ $((i + 1)) -lt ${#bersagli[@]} ]; then
    campagna "${bersagli[i + 1]}" >"$lavoro/esito-$((i + 1)).txt" &
    secondo=$!
  fi
  wait "$primo" || esito=1
  [ -z "$secondo" ] || wait "$secondo" || esito=1
  cat "$lavoro/esito-$i.txt"
  [ -z "$secondo" ] || cat "$lavoro/esito-$((i + 1)).txt"
done
# What the targets that ran found is kept, even when another one had a finding.
impacchetta_cresciuto build-fuzz
echo "fuzz/cresciuto.tar.xz packed again from $cresciuto/ ($(find "$cresciuto" -type f | wc -l) inputs)"
exit "$esito"
