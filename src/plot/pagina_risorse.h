#pragma once
// The fixed parts of the interactive page: its style, the elements of its body and the
// script that draws the data. Kept apart from the C++ that writes the data.
namespace cmp {

extern const char* const kStilePagina;
extern const char* const kCorpoPagina;
extern const char* const kScriptPagina;

}  // namespace cmp
