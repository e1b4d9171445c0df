#include "lsp/protocollo.h"

namespace cmp {
namespace {
using json = nlohmann::json;
}  // namespace

const std::string& campo_testo(const json& oggetto, const char* nome) {
  const auto it = oggetto.find(nome);
  if (it == oggetto.end() || !it->is_string()) throw ParametriMancanti(std::string("missing string '") + nome + "'");
  return it->get_ref<const std::string&>();
}

const json& campo_oggetto(const json& oggetto, const char* nome) {
  const auto it = oggetto.find(nome);
  if (it == oggetto.end() || !it->is_object()) throw ParametriMancanti(std::string("missing object '") + nome + "'");
  return *it;
}

int campo_intero(const json& oggetto, const char* nome) {
  const auto it = oggetto.find(nome);
  if (it == oggetto.end() || !it->is_number_integer())
    throw ParametriMancanti(std::string("missing number '") + nome + "'");
  return it->get<int>();
}

json posizione(int riga, int colonna) { return {{"line", riga}, {"character", colonna}}; }

json intervallo(int riga, int da, int a) { return {{"start", posizione(riga, da)}, {"end", posizione(riga, a)}}; }

std::string corpo_messaggio(const json& messaggio) {
  return messaggio.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace cmp
