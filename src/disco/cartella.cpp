#include "disco/cartella.h"

#include <cerrno>
#include <cstring>

#include "disco/giornale.h"

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

std::optional<std::string> Cartella::leggi_ingresso(const std::string& nome, std::size_t massimo) {
  auto dati = leggi(nome);
  if (dati && dati->size() > massimo) {
    throw ErroreFileTroppoGrande(percorso_di(nome), "larger than " + std::to_string(massimo) + " bytes");
  }
  return dati;
}

std::optional<std::string> Cartella::nome_inutilizzabile(const std::string& nome) {
  switch (tipo(nome)) {
    case TipoVoce::cartella:
      return std::string(std::strerror(EISDIR));
    case TipoVoce::dispositivo:
    case TipoVoce::altro:
      return std::string("not a regular file");
    default:
      return std::nullopt;
  }
}

void Cartella::prendi_turno(const std::string& per_nome) {
  if (turni_ == 0) blocca(per_nome);
  ++turni_;
}

void Cartella::lascia_turno() {
  if (turni_ > 0 && --turni_ == 0) sblocca();
}

namespace {

// The journal of a set of renames under way (disco/giornale.h): a line for each file,
// with the second name of its old file, "-" when there was none and "?" when the folder
// gave none. A run killed between two renames leaves it, and the next write puts the old
// files back. Names never hold a tab or a line break (identities refuse control
// characters).
std::string giornale_di(const std::vector<file_da_scrivere>& file,
                        const std::vector<std::optional<std::string>>& da_parte, const std::vector<bool>& cera) {
  std::vector<riga_giornale> righe;
  for (std::size_t i = 0; i < file.size(); ++i) {
    righe.push_back(
        {file[i].nome, da_parte[i] ? *da_parte[i] : std::string(cera[i] ? kVecchioSenzaNome : kNessunVecchio)});
  }
  return testo_giornale(righe);
}

// The journal is this program's own business: a failure that names it names instead the
// file the user asked for (the last of the set, as the folder's sync does).
template <typename Fai>
auto per_il_file(Cartella& c, const std::string& nome, const Fai& fai) {
  try {
    return fai();
  } catch (const ErroreFile& e) {
    if (e.percorso() != c.percorso_di(Cartella::kGiornale)) throw;
    throw ErroreFile(c.percorso_di(nome), e.motivo());
  }
}

// The journal's text, when a regular file stands at its name; what cannot be read of it
// is a reason to refuse it.
std::optional<std::string> testo_del_giornale(Cartella& c, std::optional<std::string>& illeggibile) {
  if (c.tipo(Cartella::kGiornale) != TipoVoce::file) return std::nullopt;
  try {
    return c.leggi(Cartella::kGiornale);
  } catch (const ErroreFile& e) {
    illeggibile = e.motivo();
    return std::nullopt;
  }
}

// The folder's own names; cleaning up goes without them when the folder cannot be listed.
std::vector<std::string> nomi_propri_se_puoi(Cartella& c) {
  try {
    return c.nomi_propri();
  } catch (const ErroreFile&) {
    return {};
  }
}

}  // namespace

void Cartella::ripristina_interrotta(const std::vector<std::string>& in_scrittura) {
  const std::string per_nome = in_scrittura.empty() ? std::string(kGiornale) : in_scrittura.back();
  TurnoCartella turno(*this, in_scrittura.empty() ? per_nome : in_scrittura.front());
  const auto rifiuta = [&](const std::string& motivo) {
    throw ErroreFile(percorso_di(per_nome), "the journal " + percorso_di(kGiornale) + " of an interrupted write " +
                                                motivo + "; nothing was changed: look at it, then remove it");
  };
  std::optional<std::string> illeggibile;
  const std::optional<std::string> testo = testo_del_giornale(*this, illeggibile);
  if (illeggibile) rifiuta("cannot be read (" + *illeggibile + ")");
  const piano_ripristino piano = pianifica_ripristino(
      testo, in_scrittura, [this](const std::string& nome) { return tipo(nome); }, nomi_propri_se_puoi(*this));
  if (piano.rifiuto) rifiuta(*piano.rifiuto);
  for (const auto& passo : piano.passi) {
    if (passo.cosa == passo_ripristino::azione::rimetti) {
      rinomina(passo.da, passo.nome);
    } else if (passo.nome == kGiornale) {
      per_il_file(*this, per_nome, [&] { elimina(passo.nome); });
    } else {
      elimina(passo.nome);  // there was none: the new file goes
    }
  }
  elimina_tutti(piano.avanzi);
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
  TurnoCartella turno(*this, file.empty() ? std::string(kGiornale) : file.front().nome);
  // A name that cannot be used would fail only after the others were replaced.
  std::vector<std::string> nomi;
  for (const auto& f : file) {
    if (const auto motivo = nome_inutilizzabile(f.nome)) throw ErroreFile(percorso_di(f.nome), *motivo);
    nomi.push_back(f.nome);
  }
  // A journal is of a set of files: a file written alone leaves it, and all it names, to
  // the next set (the built-in run writes its texts alone before its binary files).
  if (file.size() > 1 || tipo(kGiornale) == TipoVoce::assente) ripristina_interrotta(nomi);
  const std::string ultimo = nomi.empty() ? std::string(kGiornale) : nomi.back();
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
  std::optional<std::string> giornale;        // the journal under its temporary name
  bool con_giornale = false;                  // the journal under its own name
  std::optional<std::string> copia_giornale;  // its blocks, while it is removed
  try {
    for (std::size_t i = 0; i < file.size(); ++i) {
      cera[i] = tipo(file[i].nome) != TipoVoce::assente;
      da_parte[i] = metti_da_parte(file[i].nome);
    }
    if (file.size() > 1) {  // one rename alone is never half done
      const std::string g = giornale_di(file, da_parte, cera);
      giornale = per_il_file(
          *this, ultimo, [&] { return scrivi_temporaneo(kGiornale, [&g](const ScriviPezzo& scrivi) { scrivi(g); }); });
    }
    // The journal is on the device with the files, before the first rename can be.
    per_il_file(*this, ultimo, [&] { rendi_durevoli(da_rendere_durevoli(file, temporanei, giornale)); });
    if (giornale) {
      per_il_file(*this, ultimo, [&] { rinomina(*giornale, kGiornale); });
      con_giornale = true;
    }
    for (; rinominati < file.size(); ++rinominati) rinomina(temporanei[rinominati], file[rinominati].nome);
    // A folder that cannot make the renames durable may lose them: the old files come back.
    if (!file.empty()) sincronizza(file.back().nome);
    if (con_giornale) {
      // A second name keeps its blocks, so that removing the journal frees nothing and
      // does not wait on the device (a folder mounted with discard trims what a removal
      // frees); the second name goes with the old files.
      per_il_file(*this, ultimo, [&] {
        copia_giornale = metti_da_parte(kGiornale);
        elimina(kGiornale);
      });
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

std::vector<std::string> CartellaMemoria::nomi_propri() {
  std::vector<std::string> out;
  for (auto it = file.lower_bound(".compattatore."); it != file.end() && it->first.rfind(".compattatore.", 0) == 0;
       ++it) {
    out.push_back(it->first);
  }
  return out;
}

std::vector<std::string> CartellaMemoria::elenca_file() {
  std::vector<std::string> out;
  for (const auto& [nome, byte] : file) out.push_back(nome);
  return out;
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
