#!/usr/bin/env bash
# What the fuzz scripts share (scripts/test-all.sh, scripts/campagna.sh,
# scripts/copertura_fuzz.sh source it from the repository root): the targets and their
# libFuzzer options, from fuzz/bersagli.txt, and the corpus grown by campaigns, kept as one
# archive, fuzz/cresciuto.tar.xz, of the folders cresciuto/<target>/.
#
# Run as a command it packs or unpacks that archive:
#   scripts/fuzz_comune.sh impacchetta DIR   # DIR/cresciuto/ into fuzz/cresciuto.tar.xz
#   scripts/fuzz_comune.sh spacchetta DIR    # fuzz/cresciuto.tar.xz into DIR/cresciuto/

kArchivioCresciuto=fuzz/cresciuto.tar.xz

# The targets, one a line, in the table's order.
bersagli_fuzz() { awk '/^fuzz_/ { print $1 }' fuzz/bersagli.txt; }

# A column of the target's row: 2 dictionary, 3 max_len, 4 timeout, 5 slow, 6 seconds.
colonna_fuzz() { awk -v b="$1" -v c="$2" '$1 == b { print $c }' fuzz/bersagli.txt; }

# The libFuzzer options of a target beyond its corpus and its length of run.
opzioni_fuzz() {
  local dizionario max_len
  dizionario=$(colonna_fuzz "$1" 2)
  max_len=$(colonna_fuzz "$1" 3)
  [ "$dizionario" = - ] || printf '%s\n' "-dict=fuzz/$dizionario"
  [ "$max_len" = 0 ] || printf '%s\n' "-max_len=$max_len"
  printf '%s\n' "-timeout=$(colonna_fuzz "$1" 4)" "-report_slow_units=$(colonna_fuzz "$1" 5)"
}

# A timeout and a slow input both fail a run: libFuzzer leaves "timeout-*" and
# "slow-unit-*" files among its findings (only a timeout ends the run by itself).
lento_o_scaduto() { compgen -G "$1/slow-unit-*" >/dev/null || compgen -G "$1/timeout-*" >/dev/null; }

# The archive, the same bytes for the same files: names sorted, times, owners and modes fixed,
# compressed in one thread.
impacchetta_cresciuto() {
  local origine=$1
  tar --sort=name --mtime=@0 --owner=0 --group=0 --numeric-owner --mode='u=rwX,go=rX' --format=gnu \
      -C "$origine" -cf - cresciuto | xz -9 --threads=1 -c >"$kArchivioCresciuto.tmp"
  mv "$kArchivioCresciuto.tmp" "$kArchivioCresciuto"
}

spacchetta_cresciuto() {
  local destinazione=$1
  rm -rf "$destinazione/cresciuto"
  mkdir -p "$destinazione"
  tar -xJf "$kArchivioCresciuto" -C "$destinazione"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  cartella=$(realpath -m "${2:-.}")
  cd "$(dirname "$0")/.."
  case "${1:-}" in
    impacchetta) impacchetta_cresciuto "$cartella" ;;
    spacchetta) spacchetta_cresciuto "$cartella" ;;
    *) echo "usage: scripts/fuzz_comune.sh impacchetta|spacchetta DIR" >&2; exit 2 ;;
  esac
fi
