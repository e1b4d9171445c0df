# Writes USCITA, a C++ source defining `const char* NOME()` that returns the text of
# INGRESSO, so that the program carries a page of the reference as it was built.
file(READ "${INGRESSO}" testo)
file(WRITE "${USCITA}.tmp"
  "// Generated from ${INGRESSO} when the program is built; do not edit.\n"
  "namespace cmp {\nconst char* ${NOME}() {\n  return R\"pagina_(${testo})pagina_\";\n}\n}  // namespace cmp\n")
file(RENAME "${USCITA}.tmp" "${USCITA}")
