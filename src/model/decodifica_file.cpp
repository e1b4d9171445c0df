#include "model/decodifica_file.h"

#include "model/byte_le.h"
#include "model/file_binari.h"

namespace cmp {
namespace {

// Every field of a cell or an entry, in the order of its field list; false at the first
// one that does not fit in what is left.
template <typename Record>
bool leggi_record(LettoreByte& r, Record& record) {
  bool letto = true;
  per_ogni_campo(record, [&](const char*, auto& campo) { letto = letto && r.leggi(campo); });
  return letto;
}

}  // namespace

scenario_decodificato decodifica_scenario(std::string_view dati) {
  scenario_decodificato out;
  LettoreByte r(dati);
  for (int i = 0; i < kVociScenario; ++i) {
    const std::size_t inizio = r.posizione();
    voce_scenario v;
    if (!leggi_record(r, v)) {
      out.difetto = difetto_file{inizio, "entry " + std::to_string(i) + " is truncated (the file ends at byte " +
                                             std::to_string(dati.size()) + ")"};
      return out;
    }
    out.voci.push_back(std::move(v));
  }
  if (r.rimasti() != 0) {
    out.difetto = difetto_file{r.posizione(), std::to_string(r.rimasti()) + " bytes follow entry 86"};
  }
  return out;
}

percorso_decodificato decodifica_percorso(std::string_view dati) {
  percorso_decodificato out;
  LettoreByte r(dati);
  out.celle.reserve(dati.size() / kByteCella);
  while (r.rimasti() >= kByteCella) {
    tratto c;
    leggi_record(r, c);
    out.celle.push_back(c);
  }
  if (r.rimasti() != 0) {
    out.difetto = difetto_file{r.posizione(), "the file size " + std::to_string(dati.size()) +
                                                  " is not a whole number of " + std::to_string(kByteCella) + "-byte cells"};
  }
  return out;
}

tabella_decodificata decodifica_tabella_linea(std::string_view dati) {
  tabella_decodificata out;
  std::vector<valore_etichettato> valori;
  valori.reserve(dati.size() / 10 + 4);
  LettoreByte r(dati);
  while (r.rimasti() > 0) {
    const std::size_t inizio = r.posizione();
    std::uint16_t tag = 0;
    bool letto = r.leggi(tag);
    valore_etichettato v;
    if (letto && tag == static_cast<std::uint16_t>(valore_etichettato::tipo::intero16)) {
      std::int16_t i = 0;
      letto = r.leggi(i);
      v = valore_etichettato::intero(i);
    } else if (letto && tag == static_cast<std::uint16_t>(valore_etichettato::tipo::doppio)) {
      double d = 0;
      letto = r.leggi(d);
      v = valore_etichettato::doppio(d);
    } else if (letto && tag != static_cast<std::uint16_t>(valore_etichettato::tipo::vuoto)) {
      out.difetto = difetto_file{inizio, "unknown value type " + std::to_string(tag)};
      break;
    }
    if (!letto) {
      out.difetto = difetto_file{inizio, "value truncated at the end of the file"};
      break;
    }
    valori.push_back(v);
  }
  if (!out.difetto && valori.size() % 2 != 0) {
    out.difetto = difetto_file{dati.size(), "an odd number of values (" + std::to_string(valori.size()) +
                                                ") cannot make two equal columns"};
  }
  const std::size_t righe = valori.size() / 2;
  out.tabella.crea(righe);
  for (std::size_t m = 0; m < righe; ++m) {
    out.tabella.scrivi(m, 0, valori[m]);
    out.tabella.scrivi(m, 1, valori[righe + m]);
  }
  return out;
}

}  // namespace cmp
