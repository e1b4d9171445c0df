// Starts 'compattatore lsp' for the line and train descriptions of the workspace.
// Needs 'npm install' in this folder (vscode-languageclient).
const fs = require('fs');
const path = require('path');
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let cliente;

// The program when no setting names it: the one of the unzipped folder this extension came
// in (<folder>/editors/vscode), else the name found on PATH (compattatore.exe on Windows).
function programma_predefinito() {
  const nome = process.platform === 'win32' ? 'compattatore.exe' : 'compattatore';
  const accanto = path.join(__dirname, '..', '..', nome);
  return fs.existsSync(accanto) ? accanto : nome;
}

function activate(context) {
  const programma = vscode.workspace.getConfiguration('compattatore').get('programma') || programma_predefinito();
  const server = { command: programma, args: ['lsp'] };
  cliente = new LanguageClient(
    'compattatore',
    'compattatore',
    { run: server, debug: server },
    {
      documentSelector: [
        { scheme: 'file', language: 'compattatore-linea' },
        { scheme: 'file', language: 'compattatore-treno' },
        { scheme: 'untitled', language: 'compattatore-linea' },
        { scheme: 'untitled', language: 'compattatore-treno' },
      ],
    },
  );
  context.subscriptions.push(cliente);
  cliente.start();
}

function deactivate() {
  return cliente ? cliente.stop() : undefined;
}

module.exports = { activate, deactivate };
