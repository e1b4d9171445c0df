#include "model/file_binari.h"

#include <algorithm>
#include <array>
#include <vector>

#include "model/byte_le.h"
#include "model/limiti_formato.h"

namespace cmp {
namespace {

constexpr std::size_t kByteValoreMassimo = limiti_file::byte_valore_doppio;
constexpr std::size_t kByteBlocco = 64 * 1024;

std::size_t byte_valore(valore_etichettato::tipo t) {
  switch (t) {
    case valore_etichettato::tipo::intero16:
      return limiti_file::byte_valore_intero;
    case valore_etichettato::tipo::doppio:
      return limiti_file::byte_valore_doppio;
    case valore_etichettato::tipo::vuoto:
      break;
  }
  return limiti_file::byte_valore_vuoto;
}

// A tagged value at p: its 16-bit type code, then nothing, 2 or 8 bytes.
char* metti_valore(char* p, valore_etichettato::tipo etichetta, double numero) {
  p = metti_le(p, static_cast<std::uint16_t>(etichetta));
  if (etichetta == valore_etichettato::tipo::intero16) return metti_le(p, static_cast<std::int16_t>(numero));
  if (etichetta == valore_etichettato::tipo::doppio) return metti_le(p, numero);
  return p;
}

// Every field of a cell or an entry at p, in the order of its field list.
template <typename Record>
char* metti_record(char* p, const Record& r) {
  per_ogni_campo(r, [&p](const char*, const auto& campo) { p = metti_le(p, campo); });
  return p;
}

std::size_t byte_voce(const voce_scenario& v) { return kByteVoceSenzaTesto + byte_testo(v.testo); }

template <typename Record, typename Elenco>
std::string codifica_record(const Elenco& elenco, std::size_t totale) {
  std::string out(totale, '\0');
  char* p = out.data();
  for (const Record& r : elenco) p = metti_record(p, r);
  return out;
}

static_assert(kByteCella == 15, "the simulator reads cells of 15 bytes");
static_assert(kByteVoceSenzaTesto == 34, "the simulator reads entries of 34 bytes plus their text");

}  // namespace

void codifica_tabella_linea(const TabellaLinea& tabella, const std::function<void(std::string_view)>& pezzo) {
  // Two million values for the longest line: they are packed into a block that is handed
  // over whenever it is full, never byte by byte. The block lives on the stack: nothing to
  // allocate or clear for each file. Everything the loop reads is held in locals: the bytes
  // it writes could alias any memory, and would make it load again.
  std::array<char, kByteBlocco> blocco;
  char* const inizio = blocco.data();
  char* p = inizio;
  for (int asse = 0; asse < 2; ++asse) {
    const auto valori = tabella.colonna(asse);
    const auto etichette = tabella.etichette_colonna(asse);
    for (std::size_t m = 0; m < valori.size();) {
      // As many values as the block surely holds, then it is handed over.
      const std::size_t posto = (blocco.size() - static_cast<std::size_t>(p - inizio)) / kByteValoreMassimo;
      if (posto == 0) {
        pezzo({inizio, static_cast<std::size_t>(p - inizio)});
        p = inizio;
        continue;
      }
      const std::size_t fine = std::min(valori.size(), m + posto);
      for (; m < fine; ++m) p = metti_valore(p, static_cast<valore_etichettato::tipo>(etichette[m]), valori[m]);
    }
  }
  if (p != inizio) pezzo({inizio, static_cast<std::size_t>(p - inizio)});
}

std::string codifica_tabella_linea(const TabellaLinea& tabella) {
  std::size_t totale = 0;
  for (int asse = 0; asse < 2; ++asse) {
    for (const std::uint8_t e : tabella.etichette_colonna(asse)) {
      totale += byte_valore(static_cast<valore_etichettato::tipo>(e));
    }
  }
  std::string out;
  out.reserve(totale);
  codifica_tabella_linea(tabella, [&out](std::string_view pezzo) { out.append(pezzo); });
  return out;
}

std::string codifica_voce(const voce_scenario& voce) {
  std::string out(byte_voce(voce), '\0');
  metti_record(out.data(), voce);
  return out;
}

std::string codifica_scenario(const std::array<voce_scenario, kVociScenario>& scenario) {
  std::size_t totale = 0;
  for (const auto& v : scenario) totale += byte_voce(v);
  return codifica_record<voce_scenario>(scenario, totale);
}

std::string codifica_percorso(const std::vector<tratto>& percorso) {
  return codifica_record<tratto>(percorso, percorso.size() * kByteCella);
}

}  // namespace cmp
