// The linter's rules for the page's script and the browser tests: ESLint's recommended
// set and strict equality. Run by controlla_script.js (ctest: browser.lint).
"use strict";
const js = require("@eslint/js");
const globals = require("globals");

module.exports = [
  {
    files: ["src/plot/pagina.js"],
    ...js.configs.recommended,
    languageOptions: { ecmaVersion: 2022, sourceType: "script", globals: { ...globals.browser } },
    rules: {
      ...js.configs.recommended.rules,
      eqeqeq: "error",
      "no-var": "error",
      // NS is declared and never used; taking it out would change the bytes of every page.
      "no-unused-vars": ["error", { varsIgnorePattern: "^NS$" }],
    },
  },
  {
    files: ["tests/browser/*.js"],
    ...js.configs.recommended,
    // The tests run in node and hand functions to the page, which run in the browser.
    languageOptions: { ecmaVersion: 2022, sourceType: "commonjs", globals: { ...globals.node, ...globals.browser } },
    rules: { ...js.configs.recommended.rules, eqeqeq: "error", "no-var": "error" },
  },
];
