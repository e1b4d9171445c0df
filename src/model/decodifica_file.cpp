#include "model/decodifica_file.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <type_traits>

#include "model/arrotonda.h"
#include "model/byte_le.h"
#include "model/limiti_formato.h"

namespace cmp {
namespace {

using tipo_valore = valore_etichettato::tipo;

// Every field of a cell or an entry, in the order of its field list; false at the first
// one that does not fit in what is left.
template <typename Record>
bool leggi_record(LettoreByte& r, Record& record) {
  bool letto = true;
  per_ogni_campo(record, [&](const char*, auto& campo) { letto = letto && r.leggi(campo); });
  return letto;
}

// Where a field starts within its record, as laid out in the file.
template <typename Record>
std::size_t offset_campo(const Record& record, std::string_view nome) {
  std::size_t offset = 0;
  bool trovato = false;
  per_ogni_campo(record, [&](const char* nome_campo, const auto& campo) {
    if (trovato || nome == nome_campo) {
      trovato = true;
      return;
    }
    offset += kByteInFile<std::remove_cvref_t<decltype(campo)>>;
    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(campo)>, std::string>) offset += byte_testo(campo);
  });
  return offset;
}

std::string n(std::size_t v) { return std::to_string(v); }
std::string n(std::int64_t v) { return std::to_string(v); }

// ---------------------------------------------------------------------------------------
// The scenario table.

// An entry's own values that no compile leaves: the fixed value of entry 85, the identity
// texts the files are named after, the number of codes of entry 86.
std::optional<difetto_file> difetto_voce(int i, const voce_scenario& v, std::size_t inizio) {
  if (i == kVoceIdentitaLinea) {
    if (v.breve1 != limiti_file::valore_fisso_scenario) {
      return difetto_file{inizio + offset_campo(v, "breve1"), "entry 85 breve1 is " + std::to_string(v.breve1) +
                                                                  ": expected " +
                                                                  std::to_string(limiti_file::valore_fisso_scenario) +
                                                                  ", the fixed value every compile writes there"};
    }
    if (const auto motivo = motivo_identita_non_valida_cp1252(v.testo)) {
      return difetto_file{inizio + offset_campo(v, "testo"),
                          "entry 85, the route identifier, " + *motivo + ": expected the name of a compiled route"};
    }
  }
  if (i == kVoceIdentitaTreno) {
    auto motivo = motivo_identita_non_valida_cp1252(v.testo);
    if (!motivo && v.testo == "linea") motivo = "is \"linea\"";
    if (motivo) {
      return difetto_file{inizio + offset_campo(v, "testo"),
                          "entry 86, the train number, " + *motivo + ": expected the number of a compiled train"};
    }
    if (v.intero3 != 0 && v.intero3 != 4 && v.intero3 != 9) {
      return difetto_file{inizio + offset_campo(v, "intero3"), "entry 86 intero3, the number of signal codes, is " +
                                                                   std::to_string(v.intero3) + ": expected 0, 4 or 9"};
    }
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------------------
// The track.

bool tipo_noto(std::uint8_t tipo) {
  switch (tipo) {
    case tipo_cella::nessuno:
    case tipo_cella::segnale:
    case tipo_cella::fine_rallentamento:
    case tipo_cella::inizio_rallentamento:
    case tipo_cella::avviso_rallentamento:
    case tipo_cella::approccio_rallentamento:
    case tipo_cella::indicatori_v_max:
    case tipo_cella::fermata:
    case tipo_cella::marca_montagna:
    case tipo_cella::abbattimento_valore:
    case tipo_cella::abbattimento:
    case tipo_cella::cartello:
      return true;
    default:
      return false;
  }
}

// What parametro1 of a cell must hold and does not, or nullptr. Cell 1's parametro1 is
// the fixed value whatever its type.
const char* parametro1_atteso(std::size_t i, const tratto& t) {
  const auto fuori = [&t](int da, int a) { return t.parametro1 < da || t.parametro1 > a; };
  if (i == 1) {
    return t.parametro1 != limiti_file::valore_fisso_percorso ? "5121, the fixed value every compile writes there"
                                                              : nullptr;
  }
  switch (t.tipo) {
    case tipo_cella::fermata:
      return fuori(1, kVoceUltimaStazione) ? "a station entry, 1 to 80" : nullptr;
    case tipo_cella::cartello:
      return fuori(0, kVocePrimoCartello) ? "a caption entry, 0 to 80" : nullptr;
    case tipo_cella::approccio_rallentamento:
      return fuori(1, 4) ? "1 to 4" : nullptr;
    default:
      return nullptr;
  }
}

std::string parametro1_di(std::size_t i, const tratto& t) {
  const std::string valore = std::to_string(t.parametro1);
  if (i == 1) return "cell 1 parametro1 is " + valore;
  const char* oggetto = t.tipo == tipo_cella::fermata    ? " is a station stop naming entry "
                        : t.tipo == tipo_cella::cartello ? " is a caption board naming entry "
                                                         : " is a slow-order approach cell numbered ";
  return "cell " + n(i) + oggetto + valore;
}

// A cell's values that no compile writes: an unknown type, cell 1 without its fixed value,
// a stop or caption naming no entry of its kind, an approach cell out of its four.
std::optional<difetto_file> difetto_cella(std::size_t i, const tratto& t, std::size_t inizio) {
  if (!tipo_noto(t.tipo)) {
    return difetto_file{inizio,
                        "cell " + n(i) + " has type " + std::to_string(t.tipo) + ": expected 0 to 6 or 10 to 14"};
  }
  if (const char* atteso = parametro1_atteso(i, t)) {
    return difetto_file{inizio + offset_campo(t, "parametro1"), parametro1_di(i, t) + ": expected " + atteso};
  }
  return std::nullopt;
}

std::size_t celle_per_righe(std::size_t righe) {
  return static_cast<std::size_t>(arrotonda(limiti_file::in_celle(static_cast<double>(righe - 1)))) + 1;
}

// ---------------------------------------------------------------------------------------
// The plan.

// Value after value to the end of the file: how many there are, or the first whose type
// is unknown or that the end cuts.
struct conteggio_valori {
  std::size_t valori = 0;
  std::optional<difetto_file> difetto;
};

std::size_t byte_valore(std::uint16_t tipo) {
  switch (static_cast<tipo_valore>(tipo)) {
    case tipo_valore::vuoto:
      return 0;
    case tipo_valore::intero16:
      return 2;
    case tipo_valore::doppio:
      return 8;
  }
  return SIZE_MAX;
}

conteggio_valori conta_valori(std::string_view dati) {
  conteggio_valori out;
  LettoreByte r(dati);
  while (r.rimasti() > 0) {
    const std::size_t inizio = r.posizione();
    std::uint16_t tipo = 0;
    if (!r.leggi(tipo)) {
      out.difetto = difetto_file{
          inizio, "the file ends inside the type code of value " + n(out.valori) + ": expected whole values"};
      return out;
    }
    const std::size_t byte = byte_valore(tipo);
    if (byte == SIZE_MAX) {
      out.difetto = difetto_file{inizio, "value " + n(out.valori) + " has type " + std::to_string(tipo) +
                                             ": expected 0 (empty), 2 (16-bit integer) or 5 (double)"};
      return out;
    }
    if (r.rimasti() < byte) {
      out.difetto = difetto_file{inizio, "the file ends inside value " + n(out.valori) + " (type " +
                                             std::to_string(tipo) + "): expected whole values"};
      return out;
    }
    r.salta(byte);
    ++out.valori;
  }
  return out;
}

const char* nome_colonna(int asse) { return asse == 0 ? "east" : "north"; }

std::string nome_tipo(tipo_valore t) {
  switch (t) {
    case tipo_valore::vuoto:
      return "empty";
    case tipo_valore::intero16:
      return "a 16-bit integer";
    case tipo_valore::doppio:
      return "a double";
  }
  return "?";
}

// The plan as the line reader leaves it, column by column: either every value empty (a
// reading stopped before the rows), or metres 0 and 1 as the 16-bit integers (0, 0) and
// (0, 1), then doubles for the metres computed, then empty values to the end, the last
// two always empty. Both columns have the same types, row for row.
class LetturaTabella {
 public:
  LetturaTabella(std::string_view dati, std::size_t righe) : r_(dati), righe_(righe) {}

  std::optional<difetto_file> leggi(TabellaLinea& t) {
    t.crea(righe_);
    for (int asse = 0; asse < 2; ++asse) {
      for (std::size_t m = 0; m < righe_; ++m) {
        const std::size_t inizio = r_.posizione();
        valore_etichettato v;
        leggi_valore(v);
        if (auto d = difetto_tipo(asse, m, v.etichetta, t, inizio)) return d;
        if (v.etichetta == tipo_valore::intero16 && v.valore != (asse == 1 && m == 1 ? 1.0 : 0.0)) {
          return difetto_file{inizio, "metre " + n(m) + " of the " + nome_colonna(asse) + " column is " +
                                          n(static_cast<std::int64_t>(v.valore)) + ": expected " +
                                          (asse == 1 && m == 1 ? "1" : "0") + ", where every plan starts"};
        }
        t.scrivi(m, asse, v);
      }
    }
    return difetto_passi(t);
  }

 private:
  // Types already checked by conta_valori.
  void leggi_valore(valore_etichettato& v) {
    std::uint16_t tipo = 0;
    r_.leggi(tipo);
    v.etichetta = static_cast<tipo_valore>(tipo);
    if (v.etichetta == tipo_valore::intero16) {
      std::int16_t i = 0;
      r_.leggi(i);
      v.valore = i;
    } else if (v.etichetta == tipo_valore::doppio) {
      r_.leggi(v.valore);
    }
  }

  tipo_valore tipo_atteso(int asse, std::size_t m, tipo_valore trovato, const TabellaLinea& t) const {
    if (asse == 1) return t.etichetta(m, 0);
    if (m == 0) return trovato == tipo_valore::vuoto ? trovato : tipo_valore::intero16;
    if (m == 1 || t.etichetta(m - 1, 0) == tipo_valore::vuoto) return t.etichetta(m - 1, 0);
    if (m + 2 >= righe_) return tipo_valore::vuoto;
    return trovato == tipo_valore::vuoto ? trovato : tipo_valore::doppio;
  }

  std::optional<difetto_file> difetto_tipo(int asse, std::size_t m, tipo_valore trovato, const TabellaLinea& t,
                                           std::size_t inizio) const {
    const tipo_valore atteso = tipo_atteso(asse, m, trovato, t);
    if (trovato == atteso) return std::nullopt;
    return difetto_file{inizio, "metre " + n(m) + " of the " + nome_colonna(asse) + " column is " + nome_tipo(trovato) +
                                    ": expected " + nome_tipo(atteso)};
  }

  // Each computed metre is one step on from the one before: the previous step turned by
  // the curvature, so at least as long and at most sqrt(1 + 0.003^2) times as long. The
  // tolerance covers the rounding of coordinates up to 10^8 m.
  std::optional<difetto_file> difetto_passi(const TabellaLinea& t) const {
    static const double kCrescitaMassima =
        std::sqrt(1.0 + limiti_file::curvatura_massima * limiti_file::curvatura_massima) + 1e-6;
    constexpr double kCrescitaMinima = 1.0 - 1e-6;
    double prima = 1.0;  // metres 0 and 1: (0, 0) and (0, 1)
    for (std::size_t m = 2; m < righe_ && t.etichetta(m, 0) == tipo_valore::doppio; ++m) {
      const double passo = std::hypot(t.numero(m, 0) - t.numero(m - 1, 0), t.numero(m, 1) - t.numero(m - 1, 1));
      const double crescita = passo / prima;
      if (!(crescita >= kCrescitaMinima && crescita <= kCrescitaMassima)) {
        char b[160];
        std::snprintf(b, sizeof b, "a step of %.9g m after one of %.9g m", passo, prima);
        // Metre m's east value follows two 16-bit integers and m - 2 doubles, each with its type.
        return difetto_file{4 + 4 + 10 * (m - 2), "metre " + n(m) + " does not follow the two before it (" + b +
                                                      "): expected each step as long as the one before, or up to " +
                                                      "0.00045 % longer"};
      }
      prima = passo;
    }
    return std::nullopt;
  }

  LettoreByte r_;
  std::size_t righe_;
};

}  // namespace

std::string descrivi_difetto(const std::string& file, const difetto_file& d) {
  return file + " is damaged at byte " + n(d.offset) + ": " + d.motivo;
}

std::size_t byte_massimi(file_compilato file) {
  switch (file) {
    case file_compilato::tabella_linea:
      return limiti_file::byte_tabella_massimi;
    case file_compilato::scenario:
      return limiti_file::byte_scenario_massimi;
    case file_compilato::percorso:
      break;
  }
  return limiti_file::byte_percorso_massimi;
}

difetto_file difetto_troppo_grande(file_compilato file) {
  const char* genere = file == file_compilato::tabella_linea ? "plan (a line of 1,000,000 m)"
                       : file == file_compilato::scenario    ? "scenario table (87 entries with texts of 65,535 bytes)"
                                                             : "track (a line of 1,000,000 m)";
  const std::size_t massimo = byte_massimi(file);
  return {massimo, "the file goes on past " + n(massimo) + " bytes: expected at most " + n(massimo) +
                       " bytes, the largest " + genere + " a compile writes"};
}

std::optional<std::string> motivo_identita_non_valida_cp1252(std::string_view testo) {
  if (testo.empty()) return "is empty";
  if (testo.find_first_of("/\\") != std::string_view::npos) return "holds a path separator";
  if (testo.find("..") != std::string_view::npos) return "holds \"..\"";
  for (const char c : testo) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) return "holds a control character";
    // The five bytes Windows-1252 leaves undefined: no character converts to them.
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) return "holds an undefined byte";
  }
  return std::nullopt;
}

scenario_decodificato decodifica_scenario(std::string_view dati) {
  scenario_decodificato out;
  if (dati.empty()) {
    out.difetto = difetto_file{
        0, "the file is empty: expected 87 scenario entries of at least " + n(kByteVoceSenzaTesto) + " bytes each"};
    return out;
  }
  LettoreByte r(dati);
  out.voci.reserve(kVociScenario);
  for (int i = 0; i < kVociScenario; ++i) {
    const std::size_t inizio = r.posizione();
    voce_scenario v;
    if (!leggi_record(r, v)) {
      out.difetto = difetto_file{inizio, "the file ends inside entry " + std::to_string(i) + " (at byte " +
                                             n(dati.size()) + "): expected 87 whole entries"};
      return out;
    }
    if (auto d = difetto_voce(i, v, inizio)) {
      out.difetto = std::move(d);
      return out;
    }
    out.voci.push_back(std::move(v));
  }
  if (r.rimasti() != 0) {
    out.difetto =
        difetto_file{r.posizione(), n(r.rimasti()) + " bytes follow entry 86: expected the file to end there"};
  }
  return out;
}

percorso_decodificato decodifica_percorso(std::string_view dati) {
  percorso_decodificato out;
  const std::string attese = n(limiti_file::celle_minime) + " to " + n(limiti_file::celle_massime) + " cells of " +
                             n(kByteCella) + " bytes (a line of 0 to 1,000,000 m and 7,000 m of run-out)";
  if (dati.empty()) {
    out.difetto = difetto_file{0, "the file is empty: expected " + attese};
    return out;
  }
  const std::size_t intere = dati.size() / kByteCella;
  const std::size_t da_leggere = std::min(intere, limiti_file::celle_massime);
  LettoreByte r(dati);
  out.celle.reserve(da_leggere);
  for (std::size_t i = 0; i < da_leggere; ++i) {
    const std::size_t inizio = r.posizione();
    tratto c;
    leggi_record(r, c);
    if (auto d = difetto_cella(i, c, inizio)) {
      out.difetto = std::move(d);
      return out;
    }
    out.celle.push_back(c);
  }
  if (intere > limiti_file::celle_massime) {
    out.difetto = difetto_file{
        r.posizione(), "the track goes on past cell " + n(limiti_file::celle_massime - 1) + ": expected " + attese};
  } else if (r.rimasti() != 0) {
    out.difetto = difetto_file{r.posizione(), "the file ends " + n(r.rimasti()) + " bytes into cell " + n(intere) +
                                                  ": expected whole cells of " + n(kByteCella) + " bytes"};
  } else if (intere < limiti_file::celle_minime) {
    out.difetto = difetto_file{r.posizione(), "the track ends after " + n(intere) + " cells: expected " + attese};
  }
  return out;
}

std::optional<difetto_file> decodifica_tabella_linea(std::string_view dati, TabellaLinea& tabella) {
  const auto attese = [] {
    return "two columns (east, then north) of " + n(limiti_file::righe_minime) + " to " +
           n(limiti_file::righe_massime) + " values, one a metre";
  };
  tabella.svuota();
  if (dati.empty()) return difetto_file{0, "the file is empty: expected " + attese()};
  const auto conteggio = conta_valori(dati);
  if (conteggio.difetto) return conteggio.difetto;
  const std::size_t valori = conteggio.valori;
  if (valori % 2 != 0 || valori < 2 * limiti_file::righe_minime || valori > 2 * limiti_file::righe_massime) {
    return difetto_file{dati.size(), "the file holds " + n(valori) + " values: expected " + attese()};
  }
  LetturaTabella lettura(dati, valori / 2);
  auto difetto = lettura.leggi(tabella);
  if (difetto) tabella.svuota();
  return difetto;
}

tabella_decodificata decodifica_tabella_linea(std::string_view dati) {
  tabella_decodificata out;
  out.difetto = decodifica_tabella_linea(dati, out.tabella);
  return out;
}

std::optional<difetto_compilato> verifica_insieme(const std::vector<voce_scenario>& voci,
                                                  const std::vector<tratto>& celle, const TabellaLinea* tabella) {
  const auto nel_percorso = [](std::size_t offset, std::string motivo) {
    return difetto_compilato{file_compilato::percorso, difetto_file{offset, std::move(motivo)}};
  };
  // A length out of range is left by a length row refused after an earlier one had sized
  // the track: the track then has the earlier length, which the table no longer tells.
  const std::int64_t lunghezza = voci.size() > kVoceTotali ? lunghezza_linea(voci) : -1;
  if (lunghezza >= 0 && lunghezza <= limiti_file::lunghezza_massima) {
    const std::size_t attese =
        celle_per_righe(static_cast<std::size_t>(lunghezza + limiti_file::metri_oltre_linea + 1));
    if (celle.size() != attese) {
      return nel_percorso(std::min(celle.size(), attese) * kByteCella,
                          "the track has " + n(celle.size()) + " cells: expected " + n(attese) + " for the line of " +
                              n(lunghezza) + " m of the scenario table (entry 84)");
    }
    if (tabella && tabella->righe() != static_cast<std::size_t>(lunghezza + limiti_file::metri_oltre_linea + 1)) {
      return difetto_compilato{
          file_compilato::tabella_linea,
          difetto_file{0, "the plan has " + n(tabella->righe()) + " metres: expected " +
                              n(lunghezza + limiti_file::metri_oltre_linea + 1) + " for the line of " + n(lunghezza) +
                              " m of the scenario table (entry 84)"}};
    }
  }
  if (tabella && celle_per_righe(tabella->righe()) != celle.size()) {
    return difetto_compilato{
        file_compilato::tabella_linea,
        difetto_file{0, "the plan has " + n(tabella->righe()) + " metres: expected a track of " +
                            n(celle_per_righe(tabella->righe())) + " cells, and the track has " + n(celle.size())}};
  }
  for (std::size_t i = 0; i < celle.size(); ++i) {
    if (i == 1) continue;  // its parametro1 is the fixed value
    const tratto& t = celle[i];
    const std::size_t p1 = i * kByteCella + 1;
    if (t.tipo == tipo_cella::fermata) {
      // The stop cell is the one before the cell where the station's area ends.
      const auto voce = static_cast<std::size_t>(t.parametro1);
      if (voce >= voci.size()) continue;
      const voce_scenario& v = voci[voce];
      const std::int64_t fermata = limiti_file::cella_fermata(v);
      if (v.tipo >= kPrimoTipoSenzaFermata || fermata != static_cast<std::int64_t>(i)) {
        return nel_percorso(p1, "cell " + n(i) + " is the stop of entry " + n(voce) + ": expected a station whose " +
                                    "area ends at cell " + n(i + 1) + ", and entry " + n(voce) + " has kind " +
                                    std::to_string(v.tipo) + " and ends at " + std::to_string(v.intero2) + " m");
      }
    } else if (t.tipo == tipo_cella::cartello) {
      const auto voce = static_cast<std::size_t>(t.parametro1);
      if (voce >= voci.size()) continue;
      bool senza_numeri = true;
      per_ogni_campo(voci[voce], [&](const char*, const auto& campo) {
        if constexpr (!std::is_same_v<std::remove_cvref_t<decltype(campo)>, std::string>) {
          senza_numeri = senza_numeri && campo == 0;
        }
      });
      if (!senza_numeri) {
        return nel_percorso(p1, "cell " + n(i) + " is a caption board naming entry " + n(voce) +
                                    ": expected an entry holding only a caption text, and it holds a station");
      }
    }
  }
  return std::nullopt;
}

}  // namespace cmp
