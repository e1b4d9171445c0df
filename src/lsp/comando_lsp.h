#pragma once
#include <string>
#include <vector>

namespace cmp {

// compattatore lsp: the language server on standard input and output.
int comando_lsp(const std::vector<std::string>& argomenti);

}  // namespace cmp
