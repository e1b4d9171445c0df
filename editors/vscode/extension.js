// Starts 'compattatore lsp' for the line and train descriptions of the workspace.
// Needs 'npm install' in this folder (vscode-languageclient).
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let cliente;

function activate(context) {
  const programma = vscode.workspace.getConfiguration('compattatore').get('programma') || 'compattatore';
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
