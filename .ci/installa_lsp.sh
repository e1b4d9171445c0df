#!/usr/bin/env bash
# The language server needs nlohmann-json to build; its editor test drives Neovim.
# Installs both from Debian's packages when they are missing (as root or through sudo).
set -euo pipefail
mancanti=()
[ -f /usr/include/nlohmann/json.hpp ] || mancanti+=(nlohmann-json3-dev)
command -v nvim >/dev/null 2>&1 || mancanti+=(neovim)
if [ ${#mancanti[@]} -eq 0 ]; then
  exit 0
fi
come_root=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    come_root=(sudo)
  else
    echo "installa_lsp: ${mancanti[*]} missing and this user cannot install them; 'compattatore lsp' or its editor test will be left out" >&2
    exit 0
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${come_root[@]}" apt-get update -qq
"${come_root[@]}" apt-get install -y -qq --no-install-recommends "${mancanti[@]}" >/dev/null
