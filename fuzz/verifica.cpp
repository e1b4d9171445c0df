#include "verifica.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "builtin/linea_incorporata.h"
#include "builtin/scrittore_testo.h"
#include "descrizioni/diagnostica.h"
#include "compilazione/compila.h"
#include "compilazione/scrivi_file.h"
#include "errori/catalogo_errori.h"
#include "model/arrotonda.h"
#include "model/decodifica_file.h"
#include "model/file_binari.h"
#include "model/nomi_file.h"
#include "orario/corsa_minima.h"
#include "violazioni.h"

namespace cmp::fuzz {
namespace {

// The longest line the reader accepts, and so the largest track and plan.
constexpr std::int64_t kLunghezzaMassima = 1000000;
constexpr std::int64_t kMetriOltreLinea = 7000;
constexpr std::size_t kByteScenarioSenzaTesti = kByteVoceSenzaTesto * kVociScenario;  // 2958
constexpr std::size_t kTestoMassimo = std::numeric_limits<std::uint16_t>::max();
constexpr std::size_t kPianiRicordati = 4096;

std::string senza_controllo(const std::uint8_t* dati, std::size_t n) {
  return n == 0 ? std::string() : std::string(reinterpret_cast<const char*>(dati) + 1, n - 1);
}

std::int32_t controllo(const std::uint8_t* dati, std::size_t n) { return n == 0 ? 1 : (dati[0] & 1); }

// A folder in memory that keeps its buffers from one input to the next: a fuzz run then
// does not allocate, and fault in, the plan file's hundreds of kilobytes for every input.
class CartellaRiusata : public Cartella {
 public:
  void svuota() {
    for (auto& [nome, f] : file_) f = {std::move(f.byte), false, nullptr};
    nome_noto_.clear();
  }
  // The bytes of a file written since the last svuota, or nullptr.
  const std::string* byte(const std::string& nome) const {
    const auto it = file_.find(nome);
    if (it == file_.end() || !it->second.presente) return nullptr;
    return it->second.preso ? it->second.preso : &it->second.byte;
  }
  std::optional<std::string> leggi(const std::string& nome) override {
    const std::string* b = byte(nome);
    return b ? std::optional<std::string>(*b) : std::nullopt;
  }
  TipoVoce tipo(const std::string& nome) override { return byte(nome) ? TipoVoce::file : TipoVoce::assente; }
  void elimina(const std::string& nome) override { file_[nome].presente = false; }
  std::string percorso_di(const std::string& nome) const override { return nome; }
  // Nothing here can fail half-way, so files are written in place (scrivi, scrivi_insieme
  // below) and the temporary-and-rename steps are never taken.
  std::string scrivi_temporaneo(const std::string& per_nome, const ProduciFile&) override {
    throw ErroreFile(per_nome, "not used by the fuzz checks");
  }
  void rendi_durevoli(const std::vector<file_temporaneo>&) override {}
  void rinomina(const std::string&, const std::string& a) override {
    throw ErroreFile(a, "not used by the fuzz checks");
  }
  std::optional<std::string> metti_da_parte(const std::string&) override { return std::nullopt; }
  void sincronizza(const std::string&) override {}
  std::vector<std::string> nomi_propri() override { return {}; }
  std::vector<std::string> elenca_file() override {
    std::vector<std::string> nomi;
    for (const auto& [nome, f] : file_) {
      if (f.presente) nomi.push_back(nome);
    }
    return nomi;
  }
  void scrivi(const std::string& nome, std::string_view byte) override {
    auto& f = file_[nome];
    f.byte.assign(byte);
    f.presente = true;
    f.preso = nullptr;
  }
  void scrivi_insieme(std::vector<file_da_scrivere> file) override {
    for (const auto& da_scrivere : file) {
      auto& f = file_[da_scrivere.nome];
      f.presente = true;
      if (da_scrivere.nome == nome_noto_) continue;
      f.preso = nullptr;
      f.byte.clear();
      da_scrivere.produci([&f](std::string_view pezzo) { f.byte.append(pezzo); });
    }
    nome_noto_.clear();
  }
  void blocca(const std::string&) override {}
  void sblocca() override {}
  // The next scrivi_insieme takes these bytes (borrowed, not copied) for the file of this
  // name instead of producing them: bytes already encoded from the very same structure.
  void scrivi_noto(const std::string& nome, const std::string& byte) {
    nome_noto_ = nome;
    file_[nome].preso = &byte;
  }

 private:
  struct file_in_memoria {
    std::string byte;
    bool presente = false;
    const std::string* preso = nullptr;  // bytes borrowed by scrivi_noto
  };
  std::map<std::string, file_in_memoria> file_;
  std::string nome_noto_;
};

const identita_scenario kIdentita{"VallorsaC_Pietrana", "4721"};

// The built-in line read once for each plan setting: every input of fuzz_treno goes over
// it, and reading it costs more than most trains.
struct linea_letta {
  Stato stato;
  linea_compilata linea;
};
const linea_letta& linea_incorporata_letta(bool con_piano) {
  static const auto leggi = [](bool piano) {
    linea_letta l;
    l.linea = compila_linea(l.stato, testo_linea_incorporata(), kIdentita, piano);
    return l;
  };
  static const linea_letta senza = leggi(false);
  static const linea_letta con = leggi(true);
  return con_piano ? con : senza;
}

// The last plan written and its bytes, already read back whole. The inputs libFuzzer tries
// one after another are mostly mutations of one parent that leave its plan as it was (the
// train target never changes the built-in line's), and encoding and reading back a plan of
// at least 7,000 metres costs more than compiling most lines: such a plan is taken from
// here instead.
struct piano_gia_scritto {
  TabellaLinea tabella;
  std::string byte;
  bool preso = false;                    // this input's plan file was taken from here
  std::unordered_set<std::size_t> sani;  // hashes of plan files found sound
};

// The source a number comes from, by the catalogue.
bool registrato_da(std::int32_t codice, std::initializer_list<fonte_errore> fonti) {
  const voce_errore* voce = voce_di(codice);
  return voce != nullptr && std::find(fonti.begin(), fonti.end(), voce->fonte) != fonti.end();
}

void verifica_numeri(Violazioni& v, const Stato& s, const esito_compilazione& e) {
  v.che(numero_documentato(s.codice_errore),
        [&] { return "undocumented codice_errore " + std::to_string(s.codice_errore); });
  const std::int32_t letto = e.lettura.codice;
  v.che(letto == 0 || registrato_da(letto, {fonte_errore::lettore_linea, fonte_errore::lettore_treno,
                                            fonte_errore::entrambi_i_lettori}),
        [&] { return "undocumented reader number " + std::to_string(letto); });
  for (const auto& a : e.avvisi) {
    v.che(registrato_da(a.codice, {fonte_errore::finitura}),
          [&] { return "the finishing pass recorded " + std::to_string(a.codice); });
  }
  // The diagnostics of the compile command explain every number with what the state holds.
  if (letto != 0) v.che(!descrivi_errore(s, letto, e.lettura.posizione).empty(), "empty diagnostic");
  for (const auto& a : e.avvisi) v.che(!descrivi_errore(s, a.codice, a.posizione).empty(), "empty warning");
  if (!e.scrivibile()) {
    v.che(registrato_da(numero_finale(e.finale), {fonte_errore::compilazione}),
          [&] { return "final error " + std::to_string(numero_finale(e.finale)); });
  }
}

// Every row the readers took is recorded where its keyword stands, in reading order.
void verifica_righe(Violazioni& v, const esito_compilazione& e) {
  for (std::size_t i = 0; i < e.righe.size(); ++i) {
    const riga_sorgente& r = e.righe[i];
    v.che(r.riga >= 1 && r.colonna >= 1 && !r.chiave.empty(), "a row recorded without its place");
    if (i > 0 && r.testo == e.righe[i - 1].testo) {
      v.che(r.riga >= e.righe[i - 1].riga, "rows recorded out of order");
    }
  }
}

void verifica_stato(Violazioni& v, const Stato& s) {
  v.che(s.scenario.size() == kVociScenario, "scenario does not keep 87 entries");
  const std::size_t celle_massime = static_cast<std::size_t>((kLunghezzaMassima + kMetriOltreLinea) / 50 + 1);
  v.che(s.percorso.size() <= celle_massime,
        [&] { return "a track of " + std::to_string(s.percorso.size()) + " cells"; });
  for (std::size_t i = 0; i < s.scenario.size(); ++i) {
    v.che(s.scenario[i].testo.size() <= kTestoMassimo, [&] {
      return "entry " + std::to_string(i) + " holds a text of " + std::to_string(s.scenario[i].testo.size()) + " bytes";
    });
  }
  if (!s.crea_tabella_linea) {
    v.che(!s.tabella_linea.esiste(), "a plan was built with the plan setting 0");
  } else if (s.tabella_linea.esiste()) {
    // The length row sizes the track and the plan together.
    const std::int64_t metri = static_cast<std::int64_t>(s.tabella_linea.righe()) - 1;
    v.che(static_cast<std::int64_t>(s.percorso.size()) == arrotonda(metri / 50.0) + 1, [&] {
      return "plan of " + std::to_string(s.tabella_linea.righe()) + " rows for a track of " +
             std::to_string(s.percorso.size()) + " cells";
    });
  }
}

// The train text is read unless the line reader stopped before it with a number of its own.
void verifica_testi(Violazioni& v, const esito_compilazione& e) {
  const bool ferma = ferma_prima_del_treno(e.lettura.codice);
  v.che(e.treno_letto != ferma, [&] {
    return std::string("the train text was ") + (e.treno_letto ? "read" : "not read") + " after number " +
           std::to_string(e.lettura.codice);
  });
}

// Every file a compile writes is one the decoders take whole, byte for byte, and the
// three belong together: what dump and plot --from refuse, no compile writes.
void verifica_decodifiche(Violazioni& v, const std::string& scenario, const std::string& percorso,
                          const std::string* tabella, const Stato& s, piano_gia_scritto& noto) {
  const auto voci = decodifica_scenario(scenario);
  v.che(!voci.difetto,
        [&] { return "the scenario file is called damaged: " + (voci.difetto ? voci.difetto->motivo : ""); });
  const auto celle = decodifica_percorso(percorso);
  v.che(!celle.difetto && celle.celle.size() == s.percorso.size(),
        [&] { return "the track file is called damaged: " + (celle.difetto ? celle.difetto->motivo : ""); });
  // A plan taken from the last one written was read back then; any other plan file is read
  // back unless its bytes were found sound before (most inputs change a row that leaves the
  // plan as some earlier input had it).
  if (tabella && !noto.preso) {
    const std::size_t impronta = std::hash<std::string_view>{}(*tabella);
    if (!noto.sani.contains(impronta)) {
      static TabellaLinea letta;
      const auto difetto = decodifica_tabella_linea(*tabella, letta);
      const bool sano = !difetto && letta == s.tabella_linea;
      v.che(sano, [&] {
        return "the plan file is called damaged: " + (difetto ? difetto->motivo : "read back as another plan");
      });
      if (!sano) return;
      if (noto.sani.size() >= kPianiRicordati) noto.sani.clear();
      noto.sani.insert(impronta);
    }
    noto.tabella = s.tabella_linea;
    noto.byte = *tabella;
  }
  if (voci.difetto || celle.difetto) return;
  const auto insieme = verifica_insieme(voci.voci, celle.celle, tabella ? &s.tabella_linea : nullptr);
  v.che(!insieme, [&] { return "the files do not belong together: " + (insieme ? insieme->difetto.motivo : ""); });
}

// The three encodings of the state: the files written, or (after a final error, when
// nothing is written) the bytes they would have held.
void verifica_codifiche(Violazioni& v, const CartellaRiusata& cartella, const Stato& s,
                        const std::vector<std::string>& scritti, bool scrittura_attesa, piano_gia_scritto& noto) {
  if (!ha_percorso(s)) return v.che(scritti.empty(), "files written without a track");
  const bool con_tabella = s.crea_tabella_linea != 0;
  if (scrittura_attesa) {
    // The fixed values go in before anything is written.
    v.che(s.percorso[1].parametro1 == 5121 && valore_fisso_scenario(s.scenario) == 610, "the fixed values are missing");
    v.che(scritti.size() == (con_tabella ? 3u : 2u),
          [&] { return std::to_string(scritti.size()) + " binary files written"; });
    v.che((cartella.byte(nome_file_tabella_linea(identita_di(s))) != nullptr) == con_tabella,
          "plan file against the plan setting");
  } else {
    v.che(scritti.empty(), "files written after a final error");
  }
  // The files written, or (after a final error, when nothing is written) the bytes they
  // would have held.
  std::string codificati[2];
  const auto scritto = [&](int i, const std::string& nome, auto codifica) -> const std::string& {
    const std::string* file = cartella.byte(nome);
    if (scrittura_attesa && file) return *file;
    return codificati[i] = codifica();
  };

  const std::string& percorso =
      scritto(0, nome_file_percorso(identita_di(s)), [&] { return codifica_percorso(s.percorso); });
  v.che(percorso.size() == kByteCella * s.percorso.size(), [&] {
    return "track file of " + std::to_string(percorso.size()) + " bytes for " + std::to_string(s.percorso.size()) +
           " cells";
  });
  const std::string& scenario =
      scritto(1, nome_file_scenario(identita_di(s)), [&] { return codifica_scenario(s.scenario); });
  std::size_t testi = 0;
  for (const auto& voce : s.scenario) testi += std::min(voce.testo.size(), kTestoMassimo);
  v.che(scenario.size() == kByteScenarioSenzaTesti + testi, [&] {
    return "scenario file of " + std::to_string(scenario.size()) + " bytes with " + std::to_string(testi) +
           " text bytes";
  });
  v.che(!con_tabella || s.tabella_linea.esiste(), "a track without a plan");
  // The plan's encoding has no size to check apart from its decoding: it is read back only
  // when written.
  const std::string* tabella =
      con_tabella && scrittura_attesa ? cartella.byte(nome_file_tabella_linea(identita_di(s))) : nullptr;
  // Without the fixed values (a final error) the bytes are no files of a compile.
  if (scrittura_attesa) verifica_decodifiche(v, scenario, percorso, tabella, s, noto);
}

}  // namespace

const std::string& testo_linea_incorporata() {
  static const std::string testo = testo_da_tabella(tabella_righe(righe_linea_incorporata()));
  return testo;
}

ingresso ingresso_linea(const std::uint8_t* dati, std::size_t n) {
  return {controllo(dati, n), senza_controllo(dati, n), std::string(kTrenoMinimo)};
}

ingresso ingresso_treno(const std::uint8_t* dati, std::size_t n) {
  return {controllo(dati, n), testo_linea_incorporata(), senza_controllo(dati, n)};
}

ingresso ingresso_scenario(const std::uint8_t* dati, std::size_t n) {
  ingresso in{controllo(dati, n), senza_controllo(dati, n), ""};
  const auto separatore = in.linea.find(kSeparatore);
  if (separatore != std::string::npos) {
    in.treno = in.linea.substr(separatore + 1);
    in.linea.resize(separatore);
  }
  return in;
}

std::string byte_linea(std::int32_t con_tabella, std::string_view linea) {
  return std::string(1, static_cast<char>(con_tabella & 1)) + std::string(linea);
}

std::string byte_treno(std::int32_t con_tabella, std::string_view treno) { return byte_linea(con_tabella, treno); }

std::string byte_scenario(std::int32_t con_tabella, std::string_view linea, std::string_view treno) {
  return byte_linea(con_tabella, linea) + kSeparatore + std::string(treno);
}

// The fastest run over whatever track the texts gave: never above a cell's limit, its
// points and its stations in order of distance and time, every number finite.
void verifica_corsa(Violazioni& v, const Stato& s) {
  const corsa_minima c = calcola_corsa_minima(s.percorso, s.scenario, {});
  double metro = -1e300, secondi = -1e300;
  for (const auto& p : c.punti) {
    v.che(std::isfinite(p.metro) && std::isfinite(p.velocita) && std::isfinite(p.secondi),
          "a point of the run is not finite");
    v.che(p.metro >= metro && p.secondi >= secondi,
          [&] { return "the run goes back at " + std::to_string(p.metro) + " m"; });
    metro = p.metro;
    secondi = p.secondi;
    const auto cella = static_cast<std::int64_t>(std::floor(p.metro / 50));
    if (cella < 0 || cella >= static_cast<std::int64_t>(s.percorso.size())) continue;
    const tratto& t = s.percorso[static_cast<std::size_t>(cella)];
    v.che(p.velocita <= t.velocita * 5 / 3.6 + 1e-9,
          [&] { return "the run is above the limit at " + std::to_string(p.metro) + " m"; });
  }
  double arrivo = -1e300;
  for (const auto& st : c.stazioni) {
    if (!st.arrivo) continue;
    v.che(std::isfinite(*st.arrivo) && *st.arrivo >= arrivo, "a station is reached before the one before it");
    arrivo = *st.arrivo;
  }
}

esito_verifica compila_e_verifica(const ingresso& in) {
  esito_verifica e;
  Violazioni v(e.violazioni);
  // Kept from one input to the next, for their buffers.
  static Stato s;
  static CartellaRiusata cartella;
  static piano_gia_scritto noto;
  cartella.svuota();
  esito_compilazione esito;
  if (in.linea == testo_linea_incorporata()) {
    const linea_letta& l = linea_incorporata_letta(in.con_tabella != 0);
    s = l.stato;
    esito = compila_treno(s, l.linea, in.treno);
    v.che(s.tabella_linea == l.stato.tabella_linea, "the train reader changed the plan");
  } else {
    esito = compila_descrizioni(s, in.linea, in.treno, kIdentita, in.con_tabella != 0);
  }
  noto.preso = esito.scrivibile() && s.crea_tabella_linea != 0 && !noto.byte.empty() && s.tabella_linea == noto.tabella;
  if (noto.preso) cartella.scrivi_noto(nome_file_tabella_linea(identita_di(s)), noto.byte);
  std::vector<std::string> scritti;
  if (esito.scrivibile()) scritti = scrivi_file_binari(s, cartella);

  e.codice_errore = s.codice_errore;
  e.codice_errore_lettura = esito.lettura.codice;
  e.finale = esito.finale;
  for (const auto& a : esito.avvisi) e.avvisi.push_back(a.codice);
  e.file_scritti = scritti;
  e.righe_lette = esito.righe.size();
  verifica_numeri(v, s, esito);
  verifica_stato(v, s);
  verifica_testi(v, esito);
  verifica_righe(v, esito);
  verifica_codifiche(v, cartella, s, scritti, esito.scrivibile(), noto);
  if (esito.scrivibile()) verifica_corsa(v, s);
  return e;
}

}  // namespace cmp::fuzz
