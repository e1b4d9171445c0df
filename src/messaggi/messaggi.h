#pragma once
// The program's lines on standard error, for every command: one line each, whatever the
// text holds (see testo_visibile).
#include <string>

namespace cmp {

// One line on standard error: "compattatore: error: <testo>".
void segnala(const std::string& testo);
// One line on standard error: "compattatore: warning: <testo>".
void avvisa(const std::string& testo);

}  // namespace cmp
