#!/usr/bin/env bash
# The whole test suite, from the repository root: first what the tests need beyond a fresh
# machine (scripts/prepara.sh --prove), then the unit, process, window, editor and browser
# tests, the binary files compared with the fingerprints of tests/riferimento/, the same
# tests under the address and undefined-behaviour sanitizers (the browser checks once is
# enough), then each fuzz target for a bounded time from a copy of its seed corpus and
# of the corpus grown by campaigns, unpacked from fuzz/cresciuto.tar.xz (FUZZ_SECONDS
# each, 60 by default).
# A fuzz target that crashes fails the script and leaves its input, in hexadecimal, in the log.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz_comune.sh

echo "== what the tests need"
scripts/prepara.sh --prove

echo "== build and tests (build/)"
cmake -S . -B build && cmake --build build -j2 && ctest --test-dir build --output-on-failure -j2 --timeout 300

echo "== the binary files against their fingerprints"
scripts/confronta_impronte.sh build

echo "== address and undefined-behaviour sanitizers (build-asan/)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCOMPATTATORE_SANITIZE=ON
cmake --build build-asan -j2
ctest --test-dir build-asan --output-on-failure -j2 --timeout 300 -LE browser

if ! command -v clang++ >/dev/null 2>&1; then
  echo "== fuzz targets skipped: clang++ is not installed"
  exit 0
fi

echo "== fuzz targets (build-fuzz/), ${FUZZ_SECONDS:-60} s each"
CXX=clang++ cmake -S . -B build-fuzz -DCOMPATTATORE_FUZZ=ON -DCOMPATTATORE_TESTS=OFF
cmake --build build-fuzz -j2 --target fuzz_linea fuzz_treno fuzz_scenario fuzz_decodifica

mostra_byte() {
  if command -v hexdump >/dev/null 2>&1; then hexdump -C "$1"; else od -A x -t x1z -v "$1"; fi
}

lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
spacchetta_cresciuto "$lavoro"
esito=0
for bersaglio in fuzz_linea fuzz_treno fuzz_scenario fuzz_decodifica; do
  mkdir -p "$lavoro/$bersaglio/corpus" "$lavoro/$bersaglio/trovati"
  cp fuzz/corpus/"$bersaglio"/* "$lavoro/$bersaglio/corpus/"
  if compgen -G "$lavoro/cresciuto/$bersaglio/*" >/dev/null; then cp "$lavoro/cresciuto/$bersaglio"/* "$lavoro/$bersaglio/corpus/"; fi
  registro="$lavoro/$bersaglio/registro.txt"
  if build-fuzz/fuzz/"$bersaglio" "$lavoro/$bersaglio/corpus" -max_total_time="${FUZZ_SECONDS:-60}" \
      -dict=fuzz/parole.dict -artifact_prefix="$lavoro/$bersaglio/trovati/" -print_final_stats=1 \
      >"$registro" 2>&1; then
    esecuzioni=$(sed -n 's/^stat::number_of_executed_units: *//p' "$registro")
    echo "$bersaglio: ${esecuzioni:-?} executions, no finding"
  else
    esito=1
    echo "$bersaglio: FAILED; the end of its log:"
    tail -n 80 "$registro"
    for trovato in "$lavoro/$bersaglio/trovati"/*; do
      [ -e "$trovato" ] || continue
      echo "-- input $(basename "$trovato") ($(wc -c <"$trovato") bytes):"
      mostra_byte "$trovato"
    done
  fi
done
exit "$esito"
