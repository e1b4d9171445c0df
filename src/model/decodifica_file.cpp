#include "model/decodifica_file.h"

#include "model/byte_le.h"
#include "model/file_binari.h"

namespace cmp {
namespace {

bool leggi_voce(LettoreByte& r, voce_scenario& v) {
  std::uint16_t t = 0;
  return r.u8(v.tipo) && r.i32(v.intero1) && r.i32(v.intero2) && r.i32(v.intero3) && r.u8(v.ottetto1) &&
         r.u16(t) && r.byte(t, v.testo) && r.i16(v.breve1) && r.i16(v.breve2) && r.i16(v.breve3) &&
         r.i16(v.breve4) && r.i16(v.breve5) && r.u8(v.ottetto2) && r.u8(v.ottetto3) && r.u8(v.ottetto4) &&
         r.u8(v.ottetto5) && r.i32(v.intero4);
}

}  // namespace

scenario_decodificato decodifica_scenario(std::string_view dati) {
  scenario_decodificato out;
  LettoreByte r(dati);
  for (int i = 0; i < kVociScenario; ++i) {
    const std::size_t inizio = r.posizione();
    voce_scenario v;
    if (!leggi_voce(r, v)) {
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
    r.u8(c.tipo);
    r.i16(c.parametro1);
    r.i16(c.parametro2);
    r.i16(c.parametro3);
    r.i16(c.parametro4);
    r.u8(c.tempo);
    r.u8(c.avviso);
    r.u8(c.montagna);
    r.u8(c.velocita);
    r.u8(c.pendenza);
    r.u8(c.aderenza);
    out.celle.push_back(c);
  }
  if (r.rimasti() != 0) {
    out.difetto = difetto_file{r.posizione(), "the file size " + std::to_string(dati.size()) +
                                                  " is not a whole number of 15-byte cells"};
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
    bool letto = r.u16(tag);
    valore_etichettato v;
    if (letto && tag == 2) {
      std::int16_t i = 0;
      letto = r.i16(i);
      v = valore_etichettato::intero(i);
    } else if (letto && tag == 5) {
      double d = 0;
      letto = r.f64(d);
      v = valore_etichettato::doppio(d);
    } else if (letto && tag != 0) {
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
