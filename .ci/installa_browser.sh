#!/bin/sh
# Installs what the browser tests need: Chromium from the distribution's packages and
# playwright-core from the npm registry into tests/browser/node_modules (no browser
# download: the tests drive the distribution's Chromium). Running it again changes nothing.
set -eu
radice=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v chromium >/dev/null 2>&1; then
  if [ "$(id -u)" -eq 0 ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y chromium
  else
    echo "installa_browser.sh: chromium is missing and this user cannot install packages" >&2
    exit 1
  fi
fi
if [ ! -f "$radice/tests/browser/node_modules/playwright-core/package.json" ]; then
  PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm install --prefix "$radice/tests/browser" --no-audit --no-fund
fi
