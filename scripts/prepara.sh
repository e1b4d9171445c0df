#!/usr/bin/env bash
# Installs what the build needs beyond a fresh machine (nlohmann-json, for the language
# server) and, with --prove, what the tests need too: Xvfb for the window tests, Neovim
# and Vim for the editor tests, Chromium and playwright-core (from the npm registry, no browser
# download) for the browser tests, ESLint (npm too) for the page's script, and for the
# Windows build (preset windows) the MinGW-w64 cross compiler with POSIX threads,
# GoogleTest's sources, and Wine (with its system fonts) to run its tests. Debian's
# packages, as root or through sudo; running it again changes nothing. A user who cannot
# install packages is told what is missing, and the tests that need it are skipped with
# a message.
set -euo pipefail
radice=$(cd "$(dirname "$0")/.." && pwd)
prove=0
[ "${1:-}" = --prove ] && prove=1

mancanti=()
[ -f /usr/include/nlohmann/json.hpp ] || mancanti+=(nlohmann-json3-dev)
if [ "$prove" = 1 ]; then
  command -v Xvfb >/dev/null 2>&1 || mancanti+=(xvfb)
  command -v nvim >/dev/null 2>&1 || mancanti+=(neovim)
  command -v vim >/dev/null 2>&1 || mancanti+=(vim)
  command -v chromium >/dev/null 2>&1 || mancanti+=(chromium)
  command -v node >/dev/null 2>&1 || mancanti+=(nodejs npm)
  command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || mancanti+=(g++-mingw-w64-x86-64-posix)
  [ -f /usr/src/googletest/CMakeLists.txt ] || mancanti+=(googletest)
  command -v wine >/dev/null 2>&1 || mancanti+=(wine wine64)
  [ -f /usr/share/wine/fonts/vgasys.fon ] || mancanti+=(fonts-wine)
fi

if [ ${#mancanti[@]} -gt 0 ]; then
  come_root=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
      come_root=(sudo)
    else
      echo "prepara.sh: missing ${mancanti[*]}, and this user cannot install packages" >&2
      come_root=(false)
    fi
  fi
  if [ "${come_root[*]-}" != false ]; then
    export DEBIAN_FRONTEND=noninteractive
    # Other users of the machine may be installing too: wait for their lock.
    "${come_root[@]}" apt-get -o DPkg::Lock::Timeout=300 update -qq
    "${come_root[@]}" apt-get -o DPkg::Lock::Timeout=300 install -y -qq --no-install-recommends "${mancanti[@]}" >/dev/null
  fi
fi

moduli="$radice/tests/browser/node_modules"
if [ "$prove" = 1 ] && command -v npm >/dev/null 2>&1 &&
   { [ ! -f "$moduli/playwright-core/package.json" ] || [ ! -f "$moduli/eslint/package.json" ]; }; then
  PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm install --prefix "$radice/tests/browser" --no-audit --no-fund >/dev/null ||
    echo "prepara.sh: playwright-core and ESLint could not be installed; the browser tests will be skipped" >&2
fi
exit 0
