#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "model/stato.h"

namespace cmp {

// Who a scenario is: the route's name and the train's number, as Windows-1252 bytes.
// Every file name of a scenario is built from it here, and read back into it here.
struct identita_scenario {
  std::string nome_linea;
  std::string numero_treno;
};

inline identita_scenario identita_di(const Stato& s) { return {s.nome_linea, s.numero_treno}; }

// The ends of the names: "<linea>_linea.txt", "<linea>_<treno>-.txt", "<linea>_linea.dat",
// "<linea>_<treno>.sim", "<linea>_<treno>.dat", "<linea>_<treno>_<document>".
inline constexpr std::string_view kCodaDescrizioneLinea = "_linea.txt";
inline constexpr std::string_view kCodaDescrizioneTreno = "-.txt";
inline constexpr std::string_view kCodaTabellaLinea = "_linea.dat";
inline constexpr std::string_view kCodaScenario = ".sim";
inline constexpr std::string_view kCodaPercorso = ".dat";

// By plain concatenation: nothing is checked here (see descrizioni/identita.h).
inline std::string nome_descrizione_linea(const identita_scenario& i) {
  return i.nome_linea + std::string(kCodaDescrizioneLinea);
}
inline std::string nome_descrizione_treno(const identita_scenario& i) {
  return i.nome_linea + "_" + i.numero_treno + std::string(kCodaDescrizioneTreno);
}
inline std::string nome_file_tabella_linea(const identita_scenario& i) {
  return i.nome_linea + std::string(kCodaTabellaLinea);
}
inline std::string nome_file_scenario(const identita_scenario& i) {
  return i.nome_linea + "_" + i.numero_treno + std::string(kCodaScenario);
}
inline std::string nome_file_percorso(const identita_scenario& i) {
  return i.nome_linea + "_" + i.numero_treno + std::string(kCodaPercorso);
}
inline std::string nome_documento(const identita_scenario& i, const std::string& suffisso) {
  return i.nome_linea + "_" + i.numero_treno + "_" + suffisso;
}

// The route's name from a line description's file name "<linea>_linea.txt"; empty when
// the name does not end so or nothing stands before the end.
inline std::string linea_dal_nome(std::string_view nome_file) {
  if (!nome_file.ends_with(kCodaDescrizioneLinea) || nome_file.size() == kCodaDescrizioneLinea.size()) return "";
  return std::string(nome_file.substr(0, nome_file.size() - kCodaDescrizioneLinea.size()));
}

// The train's number from a train description's file name "<nome_linea>_<treno>-.txt";
// empty when the name does not follow the pattern for that route or the number is empty.
inline std::string treno_dal_nome(std::string_view nome_file, std::string_view nome_linea) {
  const std::string testa = std::string(nome_linea) + "_";
  if (nome_linea.empty() || !nome_file.starts_with(testa) || !nome_file.ends_with(kCodaDescrizioneTreno) ||
      nome_file.size() <= testa.size() + kCodaDescrizioneTreno.size()) {
    return "";
  }
  return std::string(nome_file.substr(testa.size(), nome_file.size() - testa.size() - kCodaDescrizioneTreno.size()));
}

// Both halves from a train description's file name alone, when no route is known: the
// route is what stands before the last '_', the number what stands between it and
// "-.txt" (possibly empty). Nullopt when the name ends otherwise or has no route.
inline std::optional<identita_scenario> identita_dal_nome_treno(std::string_view nome_file) {
  if (nome_file.size() <= kCodaDescrizioneTreno.size() || !nome_file.ends_with(kCodaDescrizioneTreno)) {
    return std::nullopt;
  }
  const auto sottolineato = nome_file.find_last_of('_');
  if (sottolineato == std::string_view::npos || sottolineato == 0) return std::nullopt;
  const auto fine_numero = nome_file.size() - kCodaDescrizioneTreno.size();
  if (sottolineato >= fine_numero) return std::nullopt;
  return identita_scenario{std::string(nome_file.substr(0, sottolineato)),
                           std::string(nome_file.substr(sottolineato + 1, fine_numero - sottolineato - 1))};
}

}  // namespace cmp
