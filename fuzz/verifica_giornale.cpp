#include "verifica_giornale.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <cstring>
#include <map>
#include <optional>
#include <utility>

#include "disco/cartella.h"
#include "violazioni.h"

namespace cmp::fuzz {
namespace {

using nomi = nomi_giornale;

// What stands at a name of the folder: its kind, and its bytes when it is a file.
struct voce {
  TipoVoce tipo = TipoVoce::file;
  std::string byte;
  bool operator==(const voce&) const = default;
};
using istantanea = std::map<std::string, voce>;

// A folder in memory that also holds what is not a file (a FIFO, a folder), behaves as a
// disk does with them, and records every operation that changes it.
class CartellaRegistrata : public CartellaMemoria {
 public:
  std::map<std::string, TipoVoce> altri;  // names that hold no regular file
  std::vector<std::string> operazioni;
  std::vector<std::string> nomi_toccati;

  TipoVoce tipo(const std::string& nome) override {
    const auto it = altri.find(nome);
    return it != altri.end() ? it->second : CartellaMemoria::tipo(nome);
  }
  // As a read that opens without blocking and checks what it opened.
  std::optional<std::string> leggi(const std::string& nome) override {
    if (const auto it = altri.find(nome); it != altri.end()) throw ErroreFile(nome, motivo(it->second));
    return CartellaMemoria::leggi(nome);
  }
  void elimina(const std::string& nome) override {
    tocca("elimina " + nome, {nome});
    if (const auto it = altri.find(nome); it != altri.end()) {
      if (it->second == TipoVoce::cartella) throw ErroreFile(nome, std::strerror(EISDIR));
      altri.erase(it);
      return;
    }
    CartellaMemoria::elimina(nome);
  }
  // rename(2): a file or a FIFO replaces a file or a FIFO; a folder moves only to a free
  // name; nothing replaces a folder.
  void rinomina(const std::string& da, const std::string& a) override {
    tocca("rinomina " + da + " " + a, {da, a});
    const TipoVoce tipo_da = tipo(da), tipo_a = tipo(a);
    if (tipo_da == TipoVoce::assente) throw ErroreFile(a, std::strerror(ENOENT));
    if (tipo_a == TipoVoce::cartella) throw ErroreFile(a, std::strerror(EISDIR));
    if (tipo_da == TipoVoce::cartella && tipo_a != TipoVoce::assente) throw ErroreFile(a, std::strerror(ENOTDIR));
    if (tipo_da == TipoVoce::file) {
      altri.erase(a);
      CartellaMemoria::rinomina(da, a);
      return;
    }
    file.erase(a);
    altri[a] = tipo_da;
    altri.erase(da);
  }
  std::optional<std::string> metti_da_parte(const std::string& nome) override {
    auto copia = CartellaMemoria::metti_da_parte(nome);
    tocca("metti_da_parte " + nome + " " + copia.value_or("-"), {nome, copia.value_or(nome)});
    return copia;
  }
  std::string scrivi_temporaneo(const std::string& per_nome, const ProduciFile& produci) override {
    const std::string t = CartellaMemoria::scrivi_temporaneo(per_nome, produci);
    tocca("scrivi_temporaneo " + t, {t});
    return t;
  }
  void scrivi(const std::string& nome, std::string_view byte) override {
    tocca("scrivi " + nome, {nome});
    CartellaMemoria::scrivi(nome, byte);
  }

  istantanea fotografa() const {
    istantanea s;
    for (const auto& [nome, byte] : file) s[nome] = {TipoVoce::file, byte};
    for (const auto& [nome, t] : altri) s[nome] = {t, ""};
    return s;
  }

 private:
  static std::string motivo(TipoVoce t) {
    return t == TipoVoce::cartella ? std::strerror(EISDIR) : "not a regular file";
  }
  void tocca(std::string operazione, std::initializer_list<std::string> coinvolti) {
    operazioni.push_back(std::move(operazione));
    nomi_toccati.insert(nomi_toccati.end(), coinvolti);
  }
};

// The folder an input describes: what a compile's output folder holds beside the journal.
void prepara(CartellaRegistrata& c, const ingresso_giornale& in) {
  namespace bit = cartella_giornale;
  // Always there: the scenario's inputs and documents, a user's file, a folder, and files
  // outside the folder (as a path leaving it would reach them).
  for (const char* nome :
       {"VallorsaC_Pietrana_linea.txt", "VallorsaC_Pietrana_4721-.txt", "VallorsaC_Pietrana_4721_note.txt",
        "VallorsaC_Pietrana_4721_rallentamenti.txt", "VallorsaC_Pietrana_4721_scheda_treno.txt", "appunti.txt",
        "../vittima.txt", "/tmp/vittima.txt", "../VallorsaC_Pietrana_4721.dat", "sotto/VallorsaC_Pietrana_4721.sim",
        nomi::kAltroScenario, nomi::kAltroPercorso, ".compattatore.tmp-Mn78Op"}) {
    c.file[nome] = std::string("the bytes of ") + nome;
  }
  c.altri["sotto"] = TipoVoce::cartella;
  const char* binari[3] = {nomi::kTabella, nomi::kScenario, nomi::kPercorso};
  for (int i = 0; i < 3; ++i) {
    if (in.cartella & (1u << i)) c.file[binari[i]] = std::string("the new bytes of ") + binari[i];
    if (in.cartella & (8u << i)) c.file[nomi::kDaParte[i]] = std::string("the old bytes of ") + binari[i];
  }
  if (in.cartella & bit::kCartellaAlPercorso) {
    c.file.erase(nomi::kPercorso);
    c.altri[nomi::kPercorso] = TipoVoce::cartella;
  }
  if (in.cartella & bit::kGiornaleFifo) {
    c.altri[Cartella::kGiornale] = TipoVoce::altro;
  } else {
    c.file[Cartella::kGiornale] = in.testo;
  }
}

std::string stampa(const std::optional<voce>& v) {
  if (!v) return "nothing";
  if (v->tipo != TipoVoce::file) return v->tipo == TipoVoce::cartella ? "a folder" : "something else";
  return "'" + v->byte + "'";
}

std::optional<voce> voce_a(const istantanea& s, const std::string& nome) {
  const auto it = s.find(nome);
  return it == s.end() ? std::nullopt : std::optional<voce>(it->second);
}

}  // namespace

ingresso_giornale ingresso_di_giornale(const std::uint8_t* dati, std::size_t n) {
  if (n == 0) return {};
  return {dati[0], std::string(reinterpret_cast<const char*>(dati) + 1, n - 1)};
}

std::string byte_giornale(std::uint8_t cartella, std::string_view testo) {
  return std::string(1, static_cast<char>(cartella)) + std::string(testo);
}

bool nome_proprio(std::string_view nome) {
  if (nome.empty() || nome == "." || nome == ".." ||
      nome.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) {
    return false;
  }
  if (nome == Cartella::kGiornale || nome.starts_with(".compattatore.old-") || nome.starts_with(".compattatore.tmp-")) {
    return true;
  }
  return std::find(std::begin(nomi::kInScrittura), std::end(nomi::kInScrittura), nome) != std::end(nomi::kInScrittura);
}

esito_giornale ripristina_e_verifica(const ingresso_giornale& ingresso) {
  esito_giornale e;
  Violazioni v(e.violazioni);
  CartellaRegistrata c;
  prepara(c, ingresso);
  const istantanea prima = c.fotografa();
  std::string rifiuto;
  try {
    c.ripristina_interrotta({std::begin(nomi::kInScrittura), std::end(nomi::kInScrittura)});
  } catch (const ErroreFile& errore) {
    e.rifiutato = true;
    rifiuto = errore.what();
  }
  const istantanea dopo = c.fotografa();
  e.operazioni = c.operazioni;

  for (const auto& nome : c.nomi_toccati) {
    v.che(nome_proprio(nome), [&] { return "an operation on '" + nome + "', not a name of this program"; });
  }
  // Every name outside the program's own stands as it stood.
  auto tutti = prima;
  tutti.insert(dopo.begin(), dopo.end());
  for (const auto& voce_prima_o_dopo : tutti) {
    const std::string& nome = voce_prima_o_dopo.first;  // a name, not a binding: lambdas take it
    if (nome_proprio(nome)) continue;
    const auto p = voce_a(prima, nome), d = voce_a(dopo, nome);
    v.che(p == d, [&] { return "'" + nome + "' held " + stampa(p) + " and now holds " + stampa(d); });
  }
  // A binary file the journal does not name is no business of this recovery.
  for (const char* nome : {nomi::kTabella, nomi::kScenario, nomi::kPercorso}) {
    if (ingresso.testo.find(nome) != std::string::npos) continue;
    const auto p = voce_a(prima, nome), d = voce_a(dopo, nome);
    v.che(p == d, [&] {
      return std::string(nome) + ", which the journal does not name, held " + stampa(p) + " and now holds " + stampa(d);
    });
  }
  if (e.rifiutato) {
    // A journal refused is left for the user to look at, and the message says which.
    v.che(e.operazioni.empty(), [&] { return "a refused journal, yet " + e.operazioni.front(); });
    v.che(rifiuto.find(Cartella::kGiornale) != std::string::npos,
          [&] { return "a refusal that does not name the journal: " + rifiuto; });
  } else {
    v.che(!voce_a(dopo, Cartella::kGiornale), "the recovery returned and left the journal");
  }
  return e;
}

}  // namespace cmp::fuzz
