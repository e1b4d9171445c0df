// Writes the seed corpus of the fuzz targets into fuzz/corpus/<target>/: the built-in
// texts and one small text for each error number a text can cause. A file's name says
// what it must give: "e<number>-..." that codice_errore, "f<number>-..." that final error,
// "incorporat..." no error at all (the corpus test holds them to it). fuzz_decodifica gets
// the binary files of small compiles, whole ("sano-...") and damaged in each of the three
// files ("danno-scenario-...", "danno-percorso-...", "danno-tabella-..."). fuzz_giornale
// gets journals as a killed replacement leaves them ("rimette-...": put back) and beside
// what a journal cannot be read through ("rifiuta-...": refused); fuzz_testo texts that
// give no warning ("nessuno-...") or warning "a<number>-..."; fuzz_utf8 texts that convert
// ("converte-...") or stop at a byte ("ferma-...").
// Run from the repository root: ./build-fuzz/fuzz/genera_corpus
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "builtin/scrittore_testo.h"
#include "builtin/treno_incorporato.h"
#include "model/cp1252.h"
#include "verifica.h"
#include "verifica_decodifica.h"
#include "verifica_giornale.h"
#include "verifica_testo.h"

namespace {

using cmp::fuzz::kTrenoMinimo;

std::string testo(const std::vector<std::string>& righe) {
  std::string out;
  for (const auto& r : righe) out += r + "\r\n";
  return out;
}

// A line of 10000 m (cells 0 to 340) with the given rows and no general data besides.
std::string linea_piccola(const std::vector<std::string>& righe, const std::string& generale = "") {
  std::vector<std::string> tutte{"[generale]", "lunghezza percorso,    10000"};
  if (!generale.empty()) tutte.push_back(generale);
  tutte.push_back("[curve]");
  tutte.insert(tutte.end(), righe.begin(), righe.end());
  tutte.push_back("[fine]");
  return testo(tutte);
}

std::string treno(const std::vector<std::string>& righe) {
  std::vector<std::string> tutte{"[generale]", "numero vetture,    4", "velocita,   0,    70", "aderenza,   0,    100"};
  tutte.insert(tutte.end(), righe.begin(), righe.end());
  tutte.push_back("[fine]");
  return testo(tutte);
}

std::string ripeti(const std::string& modello, int volte, int passo, int primo) {
  std::vector<std::string> righe;
  for (int i = 0; i < volte; ++i) {
    const std::string p = std::to_string(primo + i * passo);
    std::string r = modello;
    r.replace(r.find('@'), 1, p);
    righe.push_back(r);
  }
  std::string out;
  for (const auto& r : righe) out += r + (&r == &righe.back() ? "" : "\r\n");
  return out;
}

std::string segnale(int posizione) {
  return "segnale, " + std::to_string(posizione) + ", 1, 4, 1, 0, 0, 0, 0, 0, 0, 0";
}
std::string stazione(int posizione, int tipo, int lunghezza) {
  return "stazione, " + std::to_string(posizione) + ", " + std::to_string(tipo) + ", " + std::to_string(lunghezza) +
         ", 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 12, 15, SAN LORIANO";
}

struct seme {
  std::string nome;
  std::int32_t con_tabella;
  std::string linea;  // empty: the built-in line (fuzz_treno) or the small line (fuzz_scenario)
  std::string treno;  // empty: the minimal train
};

std::vector<seme> semi_linea() {
  return {
      {"incorporata", 1, cmp::fuzz::testo_linea_incorporata(), ""},
      {"incorporata-senza-tabella", 0, cmp::fuzz::testo_linea_incorporata(), ""},
      {"e001-lunghezza-eccessiva", 1, testo({"[generale]", "lunghezza percorso,1000001", "[curve]", "[fine]"}), ""},
      {"e002-progressiva-fuori-griglia", 1, linea_piccola({}, "progressiva chilometrica uno,    0,    132125,    0"),
       ""},
      {"e003-ripetizione-primo", 1, linea_piccola({}, "ripetizione segnali 4 codici, 130, 0"), ""},
      {"e004-ripetizione-secondo", 1, linea_piccola({}, "ripetizione segnali 4 codici, 100, 260"), ""},
      {"e005-ripetizione-codici", 1, linea_piccola({}, "ripetizione segnali 7 codici, 100, 0"), ""},
      {"e006-cartello-occupato", 1,
       linea_piccola({"cartello_indicatore, 500, (Km 1+500)", "cartello_indicatore, 500, (Km 1+500)"}), ""},
      {"e015-pendenza-oltre", 1, linea_piccola({"pendenza, 16950, 5"}), ""},
      {"e021-indicatori-occupato", 0,
       linea_piccola(
           {"indicatori_vmax, 500, 10, 10, 10, 1, 10, 10, 10, 1", "indicatori_vmax, 500, 8, 8, 8, 0, 8, 8, 8, 0"}),
       ""},
      {"e025-non-numero", 1, testo({"[generale]", "lunghezza percorso,31k", "[curve]", "[fine]"}), ""},
      {"e025-senza-lunghezza", 1, testo({"[generale]", "[pendenze]", "pendenza, 100, 5", "[fine]"}), ""},
      {"e030-lunghezza-negativa", 1, testo({"[generale]", "lunghezza percorso,-50", "[curve]", "[fine]"}), ""},
      {"e031-cartello-prima-del-percorso", 1, linea_piccola({"cartello_indicatore, -500, (Km 0+000)"}), ""},
      {"e032-troppe-montagne", 1, linea_piccola({ripeti("montagna, @, 200, 1", 81, 0, 100)}), ""},
      {"e033-troppi-cartelli", 1, linea_piccola({ripeti("cartello_indicatore, @, A", 82, 100, 100)}), ""},
      {"e102-senza-generale", 1, testo({"lunghezza percorso,10000", "[fine]"}), ""},
      {"e103-curva-senza-classe", 1, linea_piccola({"curvad7, 1000, 300"}), ""},
      {"f1250-cartello-sulla-cella-1", 1, linea_piccola({"cartello_indicatore, 0, (Km 0+000)"}), ""},
  };
}

// Slow orders and signals stand between 12 and 17 km, where neither the built-in line nor
// the small one has a board.
std::vector<seme> semi_treno() {
  return {
      {"incorporato", 1, "", testo(cmp::righe_treno_incorporato())},
      {"incorporato-senza-tabella", 0, "", testo(cmp::righe_treno_incorporato())},
      {"e007-abbattimento-occupato", 1, "", treno({"abbattimento, 4400, 0", "abbattimento, 4400, 0"})},
      {"e008-stazione-fuori-griglia", 1, "", treno({stazione(625, 2, 600)})},
      {"e009-stazione-lunghezza", 1, "", treno({stazione(600, 2, 650)})},
      {"e011-segnale-senza-posto", 1, "",
       treno({segnale(12850), segnale(12900), segnale(12950), "rallentamento, 14650, 60, 500, 0, 0, 0"})},
      {"e012-ritroso-senza-posto", 0, "",
       treno({segnale(14650), segnale(14700), segnale(14750), "rallentamento, 15000, 60, 500, 0, 0, 0"})},
      {"e013-cammino-senza-posto", 1, "",
       treno({segnale(15350), segnale(15400), segnale(15450), "rallentamento, 15000, 60, 1000, 0, 0, 0"})},
      {"e015-velocita-oltre", 1, "", treno({"velocita, 99999, 100"})},
      {"e016-segnale-occupato", 1, "", treno({segnale(4400), segnale(4400)})},
      {"e017-avviso-occupato", 1, "", treno({segnale(13800), "rallentamento, 15000, 60, 500, 0, 0, 0"})},
      {"e018-inizio-occupato", 1, "", treno({segnale(15000), "rallentamento, 15000, 60, 500, 0, 0, 0"})},
      {"e019-fine-occupata", 1, "", treno({segnale(16000), "rallentamento, 15000, 60, 1000, 0, 0, 0"})},
      {"e020-approccio-occupato", 1, "", treno({segnale(13650), "rallentamento, 15000, 60, 1000, 0, 1, 0"})},
      {"e022-stazioni-vicine", 1, "", treno({stazione(3000, 2, 600), stazione(3600, 2, 600)})},
      {"e024-fermata-sulla-cella-1", 1, "", treno({stazione(0, 2, 100)})},
      {"e025-velocita-non-numero", 1, "", treno({"velocita, 4.5, 100"})},
      {"e025-riga-troncata", 1, "", "[generale]\r\nsegnale, 4400, 1\r\n"},
      {"e041-segnale-presso-inizio", 1, "", treno({segnale(100)})},
      {"e042-rallentamento-negativo", 1, "", treno({"rallentamento, -100, 60, 100, 0, 0, 0"})},
      {"e043-rallentamento-oltre", 1, "", treno({"rallentamento, 5000, 60, 99999999, 0, 0, 0"})},
      {"e044-fermata-oltre", 1, "", treno({stazione(1000, 2, 100000)})},
      {"f1251-rallentamento-sulla-cella-1", 1, "", treno({"rallentamento, 0, 0, 50, 0, 0, 5"})},
  };
}

// Stations 500 m apart until the station counter meets the caption entries (error 10).
std::string treno_troppe_stazioni(const std::string& linea, std::int32_t con_tabella) {
  std::vector<std::string> righe;
  for (int k = 1; k <= 80; ++k) {
    righe.push_back(stazione(500 * k, 25, 100));
    const std::string t = treno(righe);
    if (cmp::fuzz::compila_e_verifica({con_tabella, linea, t}).codice_errore == 10) return t;
  }
  return "";
}

// A line of 0 m (the 7,000 m of run-out only) with a curve of each direction, a gradient,
// a mountain, a caption and a speed-indicator board, and a train with two stations, a
// signal, a slow order and an abbattimento point: every kind of object in files of a few
// kilobytes (the plan 137 KB).
cmp::fuzz::file_compilati compilato_piccolo(bool con_piano) {
  const std::string linea =
      testo({"[generale]", "lunghezza percorso,    0", "[curve]", "curvad6, 100, 300", "curvas2, 1000, 2000",
             "pendenza, 500, 5", "montagna, 2000, 800, 11", "cartello_indicatore, 1500, (Ponte)",
             "indicatori_vmax, 2500, 4, 4, 4, 1, 4, 4, 4, 1", "[fine]"});
  const std::string t = treno({"velocita, 3000, 100", stazione(1000, 2, 600), stazione(5000, 2, 600), segnale(3500),
                               "rallentamento, 4000, 30, 300, 0, 1, 0", "abbattimento, 4800, 0"});
  return cmp::fuzz::compila_file(linea, t, con_piano);
}

std::vector<std::pair<std::string, cmp::fuzz::file_compilati>> semi_decodifica() {
  using cmp::fuzz::file_compilati;
  const file_compilati piccolo = compilato_piccolo(true);
  const file_compilati incorporato =
      cmp::fuzz::compila_file(cmp::fuzz::testo_linea_incorporata(), testo(cmp::righe_treno_incorporato()), false);
  // Damage to the .sim or the track needs no plan beside it.
  const auto con = [](file_compilati f, auto cambia) {
    cambia(f);
    return f;
  };
  const file_compilati senza_piano = compilato_piccolo(false);
  return {
      {"sano-piccolo", piccolo},
      {"sano-piccolo-senza-piano", senza_piano},
      {"sano-incorporato-senza-piano", incorporato},
      {"danno-scenario-tagliato", con(senza_piano, [](file_compilati& f) { f.sim.resize(1000); })},
      {"danno-scenario-senza-valore-fisso",
       con(senza_piano, [](file_compilati& f) { f.sim[f.sim.size() - 35 - 39 + 21] = 0; })},
      {"danno-percorso-vuoto", con(senza_piano, [](file_compilati& f) { f.dat.clear(); })},
      {"danno-percorso-tipo-ignoto", con(senza_piano, [](file_compilati& f) { f.dat[15 * 40] = 9; })},
      {"danno-percorso-di-altra-linea", con(incorporato, [&](file_compilati& f) { f.dat = piccolo.dat; })},
      {"danno-tabella-tagliata", con(piccolo, [](file_compilati& f) { f.piano->resize(100001); })},
      {"danno-tabella-passo", con(piccolo, [](file_compilati& f) { (*f.piano)[8 + 10 * 3000 + 2 + 6] ^= 0x10; })},
  };
}

// Journals as scrivi_insieme writes them, "name<TAB>second name" a line, over the folder
// the first byte describes (see verifica_giornale.h).
std::vector<std::pair<std::string, std::string>> semi_giornale() {
  using n = cmp::fuzz::nomi_giornale;
  namespace bit = cmp::fuzz::cartella_giornale;
  const auto righe = [](const char* tabella, const char* scenario, const char* percorso) {
    return std::string(n::kTabella) + "\t" + tabella + "\n" + n::kScenario + "\t" + scenario + "\n" + n::kPercorso +
           "\t" + percorso + "\n";
  };
  const std::string da_parte = righe(n::kDaParte[0], n::kDaParte[1], n::kDaParte[2]);
  const auto tutti = static_cast<std::uint8_t>(bit::kFileBinari | bit::kDaParte);
  return {
      // Killed before the first rename: the old files are both in place and aside.
      {"rimette-prima-delle-rinomine", cmp::fuzz::byte_giornale(tutti, da_parte)},
      // Killed after the first rename of a compile into an empty folder.
      {"rimette-file-nuovi", cmp::fuzz::byte_giornale(0x01, righe("-", "-", "-"))},
      // A folder that gave no second names.
      {"rimette-senza-secondi-nomi", cmp::fuzz::byte_giornale(bit::kFileBinari, righe("?", "?", "?"))},
      // An old plan aside, a scenario that had none, a track whose folder gave no second name.
      {"rimette-misto", cmp::fuzz::byte_giornale(0x0F, righe(n::kDaParte[0], "-", "?"))},
      {"rifiuta-fifo", cmp::fuzz::byte_giornale(tutti | bit::kGiornaleFifo, da_parte)},
      {"rifiuta-cartella-al-percorso", cmp::fuzz::byte_giornale(tutti | bit::kCartellaAlPercorso, da_parte)},
  };
}

// The built-in texts with one row changed.
std::string con(std::string testo, const std::string& da, const std::string& a) {
  testo.replace(testo.find(da), da.size(), a);
  return testo;
}

std::vector<std::pair<std::string, std::string>> semi_testo() {
  using cmp::formato_descrizione;
  using cmp::fuzz::byte_testo;
  const std::string linea = cmp::fuzz::testo_linea_incorporata();
  const std::string treno = testo(cmp::righe_treno_incorporato());
  constexpr auto L = formato_descrizione::linea;
  constexpr auto T = formato_descrizione::treno;
  return {
      {"nessuno-linea-incorporata", byte_testo(L, 0, linea)},
      {"nessuno-treno-incorporato", byte_testo(T, 0, treno)},
      {"a201-linea-parola-simile", byte_testo(L, 0, con(linea, "sfondo uno,", "sfndo uno,"))},
      {"a201-treno-parola-simile", byte_testo(T, 0, con(treno, "velocita,", "velocta,"))},
      // A row and a near miss, over 1 MiB (2^15 times, cut): 28,000 warnings.
      {"a201-righe-ripetute", byte_testo(L, 15, "pendenza, 100, 5\r\npendensa, 200, 5\r\n")},
      {"a202-linea-letta-come-treno", byte_testo(T, 0, linea)},
      // The start of an ELF program.
      {"a202-binario", byte_testo(L, 0,
                                  std::string("\x7F"
                                              "ELF\x02\x01\x01\0\0\0",
                                              10))},
      // One keyword field of 1 MiB, one word.
      {"a202-parola-lunga", byte_testo(L, 17, "pendensa")},
      {"a203-linea-utf8",
       byte_testo(L, 0, con(linea, "curvas3,", "cartello_indicatore, 1300, (Citt\xC3\xA0)\r\ncurvas3,"))},
      {"a203-bom", byte_testo(T, 0, "\xEF\xBB\xBF" + treno)},
  };
}

std::vector<std::pair<std::string, std::string>> semi_utf8() {
  using cmp::formato_descrizione;
  using cmp::fuzz::byte_testo;
  const std::string linea = cmp::fuzz::testo_linea_incorporata();
  const std::string treno = cmp::da_cp1252(testo(cmp::righe_treno_incorporato()));
  constexpr auto L = formato_descrizione::linea;
  constexpr auto T = formato_descrizione::treno;
  return {
      {"converte-linea-incorporata", byte_testo(L, 0, linea)},
      {"converte-treno-incorporato", byte_testo(T, 0, treno)},
      {"converte-bom", byte_testo(T, 0, "\xEF\xBB\xBF" + treno)},
      // Latin-1 letters and characters of the code page's 0x80 row.
      {"converte-accenti",
       byte_testo(L, 0,
                  con(linea, "curvas3,",
                      "cartello_indicatore, 1300, (Citt\xC3\xA0 \xE2\x82\xAC \xC5\x92 \xE2\x80\x93)\r\ncurvas3,"))},
      // 1 MiB (2^15 times, cut) of rows with a letter of two bytes.
      {"converte-ripetuto", byte_testo(L, 15, "cartello_indicatore, 1300, (Citt\xC3\xA0)\r\n")},
      // Windows-1252 given as UTF-8.
      {"ferma-latin1", byte_testo(L, 0, con(linea, "curvas3,", "cartello_indicatore, 1300, (Citt\xE0)\r\ncurvas3,"))},
      {"ferma-senza-byte",
       byte_testo(L, 0, con(linea, "curvas3,", "cartello_indicatore, 1300, (\xCE\xA9)\r\ncurvas3,"))},
      {"ferma-troncato", byte_testo(T, 0, treno + "\xC3")},
  };
}

void scrivi(const std::filesystem::path& cartella, const std::string& nome, const std::string& byte) {
  std::filesystem::create_directories(cartella);
  std::ofstream(cartella / nome, std::ios::binary | std::ios::trunc) << byte;
}

}  // namespace

int main() {
  const std::filesystem::path radice = "fuzz/corpus";
  if (!std::filesystem::is_directory("fuzz")) {
    std::fprintf(stderr, "genera_corpus: run it from the repository root\n");
    return 1;
  }
  const std::string piccola = linea_piccola({});
  const std::string piccola_con_cartelli = linea_piccola({ripeti("cartello_indicatore, @, A", 78, 100, 100)});

  for (const auto& s : semi_linea()) {
    scrivi(radice / "fuzz_linea", s.nome, cmp::fuzz::byte_linea(s.con_tabella, s.linea));
    scrivi(radice / "fuzz_scenario", "linea-" + s.nome, cmp::fuzz::byte_scenario(s.con_tabella, s.linea, kTrenoMinimo));
  }
  for (const auto& s : semi_treno()) {
    scrivi(radice / "fuzz_treno", s.nome, cmp::fuzz::byte_treno(s.con_tabella, s.treno));
    // The built-in train needs the built-in line: the file "incorporato" below.
    if (s.nome.rfind("incorporato", 0) == 0) continue;
    scrivi(radice / "fuzz_scenario", "treno-" + s.nome, cmp::fuzz::byte_scenario(s.con_tabella, piccola, s.treno));
  }
  scrivi(radice / "fuzz_scenario", "incorporato",
         cmp::fuzz::byte_scenario(1, cmp::fuzz::testo_linea_incorporata(), testo(cmp::righe_treno_incorporato())));
  scrivi(radice / "fuzz_treno", "e010-troppe-stazioni",
         cmp::fuzz::byte_treno(1, treno_troppe_stazioni(cmp::fuzz::testo_linea_incorporata(), 1)));
  scrivi(radice / "fuzz_scenario", "e010-troppe-stazioni",
         cmp::fuzz::byte_scenario(1, piccola_con_cartelli, treno({stazione(500, 2, 600), stazione(2000, 2, 600)})));
  for (const auto& [nome, file] : semi_decodifica()) {
    scrivi(radice / "fuzz_decodifica", nome, cmp::fuzz::byte_decodifica(file));
  }
  for (const auto& [nome, byte] : semi_giornale()) scrivi(radice / "fuzz_giornale", nome, byte);
  for (const auto& [nome, byte] : semi_testo()) scrivi(radice / "fuzz_testo", nome, byte);
  for (const auto& [nome, byte] : semi_utf8()) scrivi(radice / "fuzz_utf8", nome, byte);
  return 0;
}
