#include "model/file_binari.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <vector>

#include "model/byte_le.h"

namespace cmp {
namespace {

constexpr std::size_t kByteValoreMassimo = 10;  // a double: its code and 8 bytes
constexpr std::size_t kByteBlocco = 64 * 1024;

std::size_t byte_valore(valore_etichettato::tipo t) {
  switch (t) {
    case valore_etichettato::tipo::intero16: return 4;
    case valore_etichettato::tipo::doppio: return kByteValoreMassimo;
    case valore_etichettato::tipo::vuoto: break;
  }
  return 2;
}

// `larghezza` bytes of v at p, little-endian; returns the byte after them.
char* metti_le(char* p, std::uint64_t v, int larghezza) {
  for (int i = 0; i < larghezza; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return p + larghezza;
}

// A tagged value at p: its 16-bit type code, then nothing, 2 or 8 bytes.
char* metti_valore(char* p, valore_etichettato::tipo etichetta, double numero) {
  p = metti_le(p, static_cast<std::uint16_t>(etichetta), 2);
  if (etichetta == valore_etichettato::tipo::intero16) {
    return metti_le(p, static_cast<std::uint16_t>(static_cast<std::int16_t>(numero)), 2);
  }
  if (etichetta == valore_etichettato::tipo::doppio) return metti_le(p, std::bit_cast<std::uint64_t>(numero), 8);
  return p;
}

void scrivi_voce(ScrittoreByte& out, const voce_scenario& v) {
  const std::size_t t =
      std::min<std::size_t>(v.testo.size(), std::numeric_limits<std::uint16_t>::max());
  out.u8(v.tipo);
  out.i32(v.intero1);
  out.i32(v.intero2);
  out.i32(v.intero3);
  out.u8(v.ottetto1);
  out.u16(static_cast<std::uint16_t>(t));
  out.byte(std::string_view(v.testo).substr(0, t));
  out.i16(v.breve1);
  out.i16(v.breve2);
  out.i16(v.breve3);
  out.i16(v.breve4);
  out.i16(v.breve5);
  out.u8(v.ottetto2);
  out.u8(v.ottetto3);
  out.u8(v.ottetto4);
  out.u8(v.ottetto5);
  out.i32(v.intero4);
}

}  // namespace

void codifica_tabella_linea(const TabellaLinea& tabella, const std::function<void(std::string_view)>& pezzo) {
  // Two million values for the longest line: they are packed into a block that is handed
  // over whenever it is full, never byte by byte.
  std::vector<char> blocco(kByteBlocco);
  char* const inizio = blocco.data();
  char* p = inizio;
  for (int asse = 0; asse < 2; ++asse) {
    for (std::size_t m = 0; m < tabella.righe(); ++m) {
      if (blocco.size() - static_cast<std::size_t>(p - inizio) < kByteValoreMassimo) {
        pezzo({inizio, static_cast<std::size_t>(p - inizio)});
        p = inizio;
      }
      p = metti_valore(p, tabella.etichetta(m, asse), tabella.numero(m, asse));
    }
  }
  if (p != inizio) pezzo({inizio, static_cast<std::size_t>(p - inizio)});
}

std::string codifica_tabella_linea(const TabellaLinea& tabella) {
  std::size_t totale = 0;
  for (int asse = 0; asse < 2; ++asse) {
    for (std::size_t m = 0; m < tabella.righe(); ++m) totale += byte_valore(tabella.etichetta(m, asse));
  }
  std::string out;
  out.reserve(totale);
  codifica_tabella_linea(tabella, [&out](std::string_view pezzo) { out.append(pezzo); });
  return out;
}

std::string codifica_voce(const voce_scenario& voce) {
  ScrittoreByte out;
  scrivi_voce(out, voce);
  return out.prendi();
}

std::string codifica_scenario(const std::array<voce_scenario, kVociScenario>& scenario) {
  ScrittoreByte out;
  std::size_t totale = 0;
  for (const auto& v : scenario) totale += kByteVoceSenzaTesto + v.testo.size();
  out.riserva(totale);
  for (const auto& v : scenario) scrivi_voce(out, v);
  return out.prendi();
}

std::string codifica_percorso(const std::vector<tratto>& percorso) {
  ScrittoreByte out;
  out.riserva(percorso.size() * kByteCella);
  for (const auto& c : percorso) {
    out.u8(c.tipo);
    out.i16(c.parametro1);
    out.i16(c.parametro2);
    out.i16(c.parametro3);
    out.i16(c.parametro4);
    out.u8(c.tempo);
    out.u8(c.avviso);
    out.u8(c.montagna);
    out.u8(c.velocita);
    out.u8(c.pendenza);
    out.u8(c.aderenza);
  }
  return out.prendi();
}

}  // namespace cmp
