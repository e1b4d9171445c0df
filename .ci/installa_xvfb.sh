#!/usr/bin/env bash
# The window tests need an X server; they start an Xvfb of their own when DISPLAY is
# unset. Installs Xvfb when it is missing (Debian's package, as root or through sudo).
set -euo pipefail
if command -v Xvfb >/dev/null 2>&1; then
  exit 0
fi
come_root=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    come_root=(sudo)
  else
    echo "installa_xvfb: Xvfb is missing and this user cannot install it; the gui tests will be skipped" >&2
    exit 0
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${come_root[@]}" apt-get update -qq
"${come_root[@]}" apt-get install -y -qq --no-install-recommends xvfb >/dev/null
command -v Xvfb >/dev/null
