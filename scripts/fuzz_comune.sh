#!/usr/bin/env bash
# What the fuzz scripts share (scripts/test-all.sh and scripts/campagna.sh source it from
# the repository root): the corpus grown by campaigns, kept as one archive,
# fuzz/cresciuto.tar.xz, of the folders cresciuto/<target>/.
#
# Run as a command it packs or unpacks that archive:
#   scripts/fuzz_comune.sh impacchetta DIR   # DIR/cresciuto/ into fuzz/cresciuto.tar.xz
#   scripts/fuzz_comune.sh spacchetta DIR    # fuzz/cresciuto.tar.xz into DIR/cresciuto/

kArchivioCresciuto=fuzz/cresciuto.tar.xz

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
