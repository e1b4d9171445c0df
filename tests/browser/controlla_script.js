// Lints the page's script and the browser tests with ESLint, by the rules of
// eslint.config.js beside this file:
//   node controlla_script.js SOURCE_DIR
// Exit status 77 (a skip for ctest) when ESLint is not installed; any problem, warnings
// included, fails.
"use strict";
const path = require("path");

const SALTA = 77;
let ESLint;
try {
  ({ ESLint } = require("eslint"));
} catch {
  console.log("SKIP: ESLint is not installed (run scripts/prepara.sh --prove)");
  process.exit(SALTA);
}

async function controlla(radice) {
  const linter = new ESLint({ cwd: radice, overrideConfigFile: path.join(__dirname, "eslint.config.js") });
  const esiti = await linter.lintFiles(["src/plot/pagina.js", "tests/browser/*.js"]);
  const rapporto = (await linter.loadFormatter("stylish")).format(esiti);
  if (rapporto) console.log(rapporto);
  const problemi = esiti.reduce((n, e) => n + e.errorCount + e.warningCount, 0);
  console.log(`${esiti.length} files linted, ${problemi} problems`);
  return problemi === 0;
}

controlla(process.argv[2]).then(
  pulito => process.exit(pulito ? 0 : 1),
  e => {
    console.error(e);
    process.exit(1);
  });
