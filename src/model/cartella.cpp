#include "model/cartella.h"

#include <cerrno>
#include <cstring>

namespace cmp {

file_da_scrivere file_intero(std::string nome, std::string byte) {
  return {std::move(nome), [byte = std::move(byte)](const ScriviPezzo& scrivi) { scrivi(byte); }};
}

void Cartella::scrivi(const std::string& nome, std::string_view byte) {
  std::vector<file_da_scrivere> uno;
  uno.push_back({nome, [byte](const ScriviPezzo& scrivi) { scrivi(byte); }});
  scrivi_insieme(std::move(uno));
}

namespace {

// Cleaning up after a failure: the failure already being reported is the one that counts.
void elimina_se_puoi(Cartella& c, const std::string& nome) {
  try {
    c.elimina(nome);
  } catch (const ErroreFile&) {
  }
}

// A rename failed after the first `rinominati` files were replaced: their old files come
// back from aside (a file that had none is removed), the temporaries not yet renamed go.
void rimetti_a_posto(Cartella& c, const std::vector<file_da_scrivere>& file, const std::vector<std::string>& temporanei,
                     const std::vector<std::optional<std::string>>& da_parte, std::size_t rinominati) {
  for (std::size_t i = 0; i < file.size(); ++i) {
    try {
      if (i >= rinominati) {
        c.elimina(temporanei[i]);
        if (da_parte[i]) c.elimina(*da_parte[i]);
      } else if (da_parte[i]) {
        c.rinomina(*da_parte[i], file[i].nome);
      } else {
        c.elimina(file[i].nome);
      }
    } catch (const ErroreFile&) {
    }
  }
}

}  // namespace

void Cartella::elimina_tutti(const std::vector<std::string>& nomi) {
  for (const auto& nome : nomi) elimina_se_puoi(*this, nome);
}

std::optional<std::string> Cartella::nome_inutilizzabile(const std::string& nome) {
  switch (tipo(nome)) {
    case TipoVoce::cartella: return std::string(std::strerror(EISDIR));
    case TipoVoce::dispositivo:
    case TipoVoce::altro: return std::string("not a regular file");
    default: return std::nullopt;
  }
}

namespace {

// The journal of a set of renames under way: a line "name<TAB>second name" for each file,
// the second name "-" when there was no old file and "?" when the folder gave none. A run
// killed between two renames leaves it, and the next write puts the old files back.
// Names never hold a tab or a line break (identities refuse control characters).
std::string giornale_di(const std::vector<file_da_scrivere>& file, const std::vector<std::optional<std::string>>& da_parte,
                        const std::vector<bool>& cera) {
  std::string g;
  for (std::size_t i = 0; i < file.size(); ++i) {
    g += file[i].nome + "\t" + (da_parte[i] ? *da_parte[i] : cera[i] ? "?" : "-") + "\n";
  }
  return g;
}

}  // namespace

void Cartella::ripristina_interrotta() {
  if (tipo(kGiornale) == TipoVoce::assente) return;
  const auto testo = leggi(kGiornale);
  if (!testo) return;
  std::size_t inizio = 0;
  while (inizio < testo->size()) {
    std::size_t fine = testo->find('\n', inizio);
    if (fine == std::string::npos) fine = testo->size();
    const std::string riga = testo->substr(inizio, fine - inizio);
    inizio = fine + 1;
    const auto tab = riga.find('\t');
    if (tab == std::string::npos) continue;
    const std::string nome = riga.substr(0, tab);
    const std::string vecchio = riga.substr(tab + 1);
    if (vecchio == "-") {
      elimina(nome);  // there was none: the new file goes
    } else if (vecchio != "?" && tipo(vecchio) != TipoVoce::assente) {
      rinomina(vecchio, nome);
    }
  }
  elimina(kGiornale);
}

namespace {

// What rendi_durevoli flushes: the temporaries of the files, then the journal's.
std::vector<file_temporaneo> da_rendere_durevoli(const std::vector<file_da_scrivere>& file,
                                                 const std::vector<std::string>& temporanei,
                                                 const std::optional<std::string>& giornale) {
  std::vector<file_temporaneo> tutti;
  for (std::size_t i = 0; i < file.size(); ++i) tutti.push_back({temporanei[i], file[i].nome});
  if (giornale) tutti.push_back({*giornale, Cartella::kGiornale});
  return tutti;
}

}  // namespace

void Cartella::scrivi_insieme(std::vector<file_da_scrivere> file) {
  // A name that cannot be used would fail only after the others were replaced.
  for (const auto& f : file) {
    if (const auto motivo = nome_inutilizzabile(f.nome)) throw ErroreFile(percorso_di(f.nome), *motivo);
  }
  ripristina_interrotta();
  std::vector<std::string> temporanei;
  try {
    for (const auto& f : file) temporanei.push_back(scrivi_temporaneo(f.nome, f.produci));
  } catch (...) {
    for (const auto& t : temporanei) elimina_se_puoi(*this, t);
    throw;
  }
  std::vector<std::optional<std::string>> da_parte(file.size());
  std::vector<bool> cera(file.size());
  std::size_t rinominati = 0;
  std::optional<std::string> giornale;  // the journal under its temporary name
  bool con_giornale = false;            // the journal under its own name
  std::optional<std::string> copia_giornale;  // its blocks, while it is removed
  try {
    for (std::size_t i = 0; i < file.size(); ++i) {
      cera[i] = tipo(file[i].nome) != TipoVoce::assente;
      da_parte[i] = metti_da_parte(file[i].nome);
    }
    if (file.size() > 1) {  // one rename alone is never half done
      const std::string g = giornale_di(file, da_parte, cera);
      giornale = scrivi_temporaneo(kGiornale, [&g](const ScriviPezzo& scrivi) { scrivi(g); });
    }
    // The journal is on the device with the files, before the first rename can be.
    rendi_durevoli(da_rendere_durevoli(file, temporanei, giornale));
    if (giornale) {
      rinomina(*giornale, kGiornale);
      con_giornale = true;
    }
    for (; rinominati < file.size(); ++rinominati) rinomina(temporanei[rinominati], file[rinominati].nome);
    // A folder that cannot make the renames durable may lose them: the old files come back.
    if (!file.empty()) sincronizza(file.back().nome);
    if (con_giornale) {
      // A second name keeps its blocks, so that removing the journal frees nothing and
      // does not wait on the device (a folder mounted with discard trims what a removal
      // frees); the second name goes with the old files.
      copia_giornale = metti_da_parte(kGiornale);
      elimina(kGiornale);
    }
  } catch (...) {
    rimetti_a_posto(*this, file, temporanei, da_parte, rinominati);
    if (giornale) elimina_se_puoi(*this, con_giornale ? std::string(kGiornale) : *giornale);
    if (copia_giornale) elimina_se_puoi(*this, *copia_giornale);
    throw;
  }
  // Only once the journal is gone: a journal whose old files are missing would take
  // away the new files that had none.
  std::vector<std::string> vecchi;
  for (const auto& vecchio : da_parte) {
    if (vecchio) vecchi.push_back(*vecchio);
  }
  if (copia_giornale) vecchi.push_back(*copia_giornale);
  elimina_tutti(vecchi);
}

std::optional<std::string> CartellaMemoria::leggi(const std::string& nome) {
  const auto it = file.find(nome);
  if (it == file.end()) return std::nullopt;
  return it->second;
}

std::string CartellaMemoria::nome_nuovo(const std::string& prefisso) {
  std::string nome;
  do {
    nome = prefisso + std::to_string(++contatore_);
  } while (file.count(nome) != 0);
  return nome;
}

std::string CartellaMemoria::scrivi_temporaneo(const std::string&, const ProduciFile& produci) {
  std::string byte;
  produci([&byte](std::string_view pezzo) { byte.append(pezzo); });
  const std::string nome = nome_nuovo(".compattatore.tmp-");
  file[nome] = std::move(byte);
  return nome;
}

void CartellaMemoria::rinomina(const std::string& da, const std::string& a) {
  auto nodo = file.extract(da);
  if (nodo.empty()) throw ErroreFile(a, std::strerror(ENOENT));
  file[a] = std::move(nodo.mapped());
}

std::optional<std::string> CartellaMemoria::metti_da_parte(const std::string& nome) {
  const auto it = file.find(nome);
  if (it == file.end()) return std::nullopt;
  const std::string copia = nome_nuovo(".compattatore.old-");
  file[copia] = it->second;
  return copia;
}

}  // namespace cmp
