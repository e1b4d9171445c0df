#!/usr/bin/env bash
# The whole test suite, from the repository root: first what the tests need beyond a fresh
# machine (scripts/prepara.sh --prove), then the unit, process, window, editor and browser
# tests, the binary files compared with the fingerprints of tests/riferimento/, the same
# tests under the address and undefined-behaviour sanitizers (the browser checks once is
# enough), the Windows build and its tests under Wine, then each fuzz target for a bounded
# time from a copy of its seed corpus and of the corpus grown by campaigns (the seconds of
# fuzz/bersagli.txt, or FUZZ_SECONDS each).
# Run as root, it runs the first suite as an ordinary user (TEST_UTENTE, compattatore-prove
# unless told otherwise, made when missing), so that the suite is seen to pass without
# privileges; the sanitizer suite stays root's, so that the tests that need root run too.
# A fuzz target that crashes, breaks an invariant, times out or is slow on an input fails
# the script and leaves the input, in hexadecimal, in the log.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz_comune.sh

# What is undone when the script ends, however it ends.
da_rimettere=()
rimetti() {
  local i
  for ((i = ${#da_rimettere[@]} - 1; i >= 0; i--)); do eval "${da_rimettere[i]}" || true; done
}
trap rimetti EXIT

# ctest of the build folder as an ordinary user: the user is made when missing (no home,
# no shell); the build folder is lent to it (ctest and the browser checks write there)
# and given back afterwards; folders above the sources that others cannot search are made
# searchable for the while; its temporary files go to a folder of its own.
ctest_come_utente() {
  local utente=${TEST_UTENTE:-compattatore-prove}
  if ! id -u "$utente" >/dev/null 2>&1; then
    useradd --system --user-group --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$utente"
    echo "made the user $utente for the tests"
  fi
  local d=$PWD
  while [ "$d" != / ]; do
    d=$(dirname "$d")
    if [ "$(( $(stat -c %a "$d" | sed 's/^.*\(.\)$/\1/') & 1 ))" -eq 0 ]; then
      chmod o+x "$d"
      da_rimettere+=("chmod o-x '$d'")
      echo "$d made searchable by others while the tests run"
    fi
  done
  if ! runuser -u "$utente" -- test -r CMakeLists.txt -a -r fuzz/corpus/fuzz_linea/incorporata; then
    echo "the user $utente cannot read the sources in $PWD (give others read permission)" >&2
    return 1
  fi
  da_rimettere+=("chown -R '$(stat -c %u:%g build)' build")
  chown -R "$utente:" build
  local tmp
  tmp=$(mktemp -d)
  da_rimettere+=("rm -rf '$tmp'")
  chown "$utente:" "$tmp"
  echo "(as $utente, home $(getent passwd "$utente" | cut -d: -f6), temporary files in $tmp)"
  runuser -u "$utente" -- env -u XDG_RUNTIME_DIR -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME \
      -u XDG_CACHE_HOME TMPDIR="$tmp" ctest --test-dir build --output-on-failure -j2 --timeout 300
}

echo "== what the tests need"
scripts/prepara.sh --prove

echo "== build and tests (build/)"
cmake -S . -B build && cmake --build build -j2
if [ "$(id -u)" -eq 0 ]; then
  ctest_come_utente
else
  ctest --test-dir build --output-on-failure -j2 --timeout 300
fi

echo "== the binary files against their fingerprints"
scripts/confronta_impronte.sh build

echo "== address and undefined-behaviour sanitizers (build-asan/)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCOMPATTATORE_SANITIZE=ON
cmake --build build-asan -j2
ctest --test-dir build-asan --output-on-failure -j2 --timeout 300 -LE browser

# The Windows program: cross-compiled with MinGW-w64 and its suite run under Wine, the
# outputs compared with the Linux build's above (COMPATTATORE_WINDOWS=0 leaves it out).
if [ "${COMPATTATORE_WINDOWS:-1}" = 0 ]; then
  echo "== the Windows build left out (COMPATTATORE_WINDOWS=0)"
elif command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 && command -v wine >/dev/null 2>&1; then
  echo "== the Windows build and its tests under Wine (build-windows/)"
  cmake --preset windows
  cmake --build --preset windows
  ctest --preset windows --timeout 1800
else
  echo "== the Windows build skipped: the MinGW-w64 cross compiler or Wine is not installed"
fi

if ! command -v clang++ >/dev/null 2>&1; then
  echo "== fuzz targets skipped: clang++ is not installed"
  exit 0
fi

mapfile -t bersagli < <(bersagli_fuzz)
durata="the seconds of fuzz/bersagli.txt each"
[ -z "${FUZZ_SECONDS:-}" ] || durata="$FUZZ_SECONDS s each"
echo "== fuzz targets (build-fuzz/), $durata"
CXX=clang++ cmake -S . -B build-fuzz -DCOMPATTATORE_FUZZ=ON -DCOMPATTATORE_TESTS=OFF
cmake --build build-fuzz -j2 --target "${bersagli[@]}"

mostra_byte() {
  if command -v hexdump >/dev/null 2>&1; then hexdump -C "$1"; else od -A x -t x1z -v "$1"; fi
}

lavoro=$(mktemp -d)
da_rimettere+=("rm -rf '$lavoro'")
spacchetta_cresciuto "$lavoro"
esito=0
for bersaglio in "${bersagli[@]}"; do
  mkdir -p "$lavoro/$bersaglio/corpus" "$lavoro/$bersaglio/trovati"
  cp fuzz/corpus/"$bersaglio"/* "$lavoro/$bersaglio/corpus/"
  if compgen -G "$lavoro/cresciuto/$bersaglio/*" >/dev/null; then
    cp "$lavoro/cresciuto/$bersaglio"/* "$lavoro/$bersaglio/corpus/"
  fi
  secondi=${FUZZ_SECONDS:-$(colonna_fuzz "$bersaglio" 6)}
  mapfile -t opzioni < <(opzioni_fuzz "$bersaglio")
  registro="$lavoro/$bersaglio/registro.txt"
  # libFuzzer looks at the clock between inputs only: timeout ends what an input holds up.
  if timeout --kill-after=30 $((secondi + $(colonna_fuzz "$bersaglio" 4) + 300)) \
      build-fuzz/fuzz/"$bersaglio" "$lavoro/$bersaglio/corpus" -max_total_time="$secondi" "${opzioni[@]}" \
      -artifact_prefix="$lavoro/$bersaglio/trovati/" -print_final_stats=1 >"$registro" 2>&1 &&
      ! lento_o_scaduto "$lavoro/$bersaglio/trovati"; then
    esecuzioni=$(sed -n 's/^stat::number_of_executed_units: *//p' "$registro")
    echo "$bersaglio: ${esecuzioni:-?} executions in $secondi s, no finding"
  else
    esito=1
    echo "$bersaglio: FAILED; the end of its log:"
    tail -n 80 "$registro"
    for trovato in "$lavoro/$bersaglio/trovati"/*; do
      [ -e "$trovato" ] || continue
      echo "-- input $(basename "$trovato") ($(wc -c <"$trovato") bytes):"
      mostra_byte "$trovato" | head -n 200 || true
    done
  fi
done
exit "$esito"
