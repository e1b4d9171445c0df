#!/usr/bin/env bash
# What a Windows user downloads: cpack -G ZIP in the build gives
# compattatore-VERSION-win64.zip, one folder with compattatore.exe, the reference and the
# editors' files; and the VS Code extension in it, started as VS Code starts it on Windows,
# runs the compattatore.exe of that folder (two folders up), not one from PATH.
#
# usage: tests/windows/pacchetto_zip.sh CPACK BUILD_DIR VERSION [NODE]
set -euo pipefail
cpack=$1
build=$(cd "$2" && pwd)
versione=$3
node=${4:-}
lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
nome="compattatore-$versione-win64"
(cd "$build" && "$cpack" -G ZIP -B "$lavoro/pacchetti" >"$lavoro/cpack.log" 2>&1) || {
  cat "$lavoro/cpack.log" >&2
  exit 1
}
zip="$lavoro/pacchetti/$nome.zip"
if [ ! -f "$zip" ]; then
  echo "cpack gave no $nome.zip:" >&2
  ls "$lavoro/pacchetti" >&2
  exit 1
fi
mkdir "$lavoro/aperto"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$lavoro/aperto"
cartella="$lavoro/aperto/$nome"
esito=0
for f in compattatore.exe README.md docs/errori.md editors/vscode/extension.js editors/vscode/package.json; do
  if [ ! -f "$cartella/$f" ]; then
    echo "$nome.zip holds no $nome/$f" >&2
    esito=1
  fi
done
if ! cmp -s "$cartella/compattatore.exe" "$build/compattatore.exe"; then
  echo "the zip's compattatore.exe is not the build's" >&2
  esito=1
fi
[ $esito -eq 0 ] || exit 1
if [ -z "$node" ]; then
  echo "the zip is right; the extension's choice of program is not checked: node is missing"
  exit 0
fi
# The extension with VS Code's two modules stood in for, on a platform that says win32.
cat >"$lavoro/estensione.js" <<'JS'
const Module = require('module');
const path = require('path');
const [cartella] = process.argv.slice(2);
Object.defineProperty(process, 'platform', { value: 'win32' });
let avviato = null;
const finti = {
  vscode: { workspace: { getConfiguration: () => ({ get: () => undefined }) } },
  'vscode-languageclient/node': {
    LanguageClient: class {
      constructor(id, nome, server) { avviato = server.run.command + ' ' + server.run.args.join(' '); }
      start() {}
      stop() {}
    },
  },
};
const risolvi = Module._load;
Module._load = function (richiesta, ...resto) {
  return richiesta in finti ? finti[richiesta] : risolvi.call(this, richiesta, ...resto);
};
require(path.join(cartella, 'editors', 'vscode', 'extension.js')).activate({ subscriptions: [] });
const atteso = path.join(cartella, 'compattatore.exe') + ' lsp';
if (avviato !== atteso) {
  console.error(`the extension started '${avviato}', not '${atteso}'`);
  process.exit(1);
}
console.log(`the zip is right and its extension starts ${atteso}`);
JS
"$node" "$lavoro/estensione.js" "$cartella"
