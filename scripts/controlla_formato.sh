#!/bin/sh
# The C++ sources as .clang-format lays them out: every file of src/, tests/, bench/, fuzz/
# and tools/ unchanged by clang-format (a file that is not is named, with the first lines
# that would change). Skipped (status 77) without clang-format.
# Usage: scripts/controlla_formato.sh [SOURCE_ROOT]
set -eu
radice=${1:-$(dirname "$0")/..}
formato=$(command -v clang-format || command -v clang-format-14 || true)
if [ -z "$formato" ]; then
  echo "SKIP: clang-format is not installed"
  exit 77
fi
cd "$radice"
difformi=0
for f in $(find src tests bench fuzz tools \( -name '*.cpp' -o -name '*.h' \) -not -path '*/node_modules/*' | sort); do
  if ! "$formato" --style=file "$f" | cmp -s - "$f"; then
    echo "$f: not as .clang-format lays it out (clang-format -i $f):"
    "$formato" --style=file "$f" | diff "$f" - | head -n 10
    difformi=$((difformi + 1))
  fi
done
if [ "$difformi" -ne 0 ]; then
  echo "$difformi file(s) to format"
  exit 1
fi
echo "every C++ source as .clang-format lays it out"
