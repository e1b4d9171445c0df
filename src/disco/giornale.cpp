#include "disco/giornale.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace cmp {

namespace {

bool lettera_o_cifra(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool con_prefisso_e_coda(std::string_view nome, std::string_view prefisso) {
  if (nome.size() <= prefisso.size() || nome.substr(0, prefisso.size()) != prefisso) return false;
  const std::string_view coda = nome.substr(prefisso.size());
  return std::all_of(coda.begin(), coda.end(), lettera_o_cifra);
}

// A name from the journal as a message shows it: quoted, bytes that are not printable
// ASCII as \xNN, and no longer than a line can bear.
std::string citato(std::string_view nome) {
  constexpr std::size_t kMassimo = 80;
  std::string out = "'";
  for (std::size_t i = 0; i < nome.size() && i < kMassimo; ++i) {
    const auto c = static_cast<unsigned char>(nome[i]);
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char esc[5];
      std::snprintf(esc, sizeof esc, "\\x%02X", c);
      out += esc;
    }
  }
  if (nome.size() > kMassimo) out += "...";
  return out + "'";
}

// A plain name in its own folder: no separator, not "." or "..", no control character.
bool nome_semplice(std::string_view nome) {
  if (nome.empty() || nome == "." || nome == "..") return false;
  return std::none_of(nome.begin(), nome.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return c == '/' || b < 0x20 || b == 0x7F;
  });
}

std::string che_cosa(TipoVoce t) {
  switch (t) {
    case TipoVoce::cartella:
      return "a folder";
    case TipoVoce::collegamento:
      return "a link";
    case TipoVoce::dispositivo:
      return "a device";
    default:
      return "not a regular file";
  }
}

struct lettura_giornale {
  std::vector<riga_giornale> righe;
  std::optional<std::string> rifiuto;
};

// The lines of the journal, each checked against the form this program writes.
lettura_giornale leggi_righe(std::string_view testo, const std::vector<std::string>& in_scrittura) {
  lettura_giornale l;
  const auto rifiuta = [&l](std::string motivo) {
    l.righe.clear();
    l.rifiuto = std::move(motivo);
    return l;
  };
  if (testo.empty()) return rifiuta("is empty");
  if (testo.size() > kMassimoGiornale) {
    return rifiuta("holds more than " + std::to_string(kMassimoGiornale) + " bytes, far more than this program writes");
  }
  std::set<std::string, std::less<>> nomi, vecchi;
  std::size_t inizio = 0;
  for (int numero = 1; inizio < testo.size(); ++numero) {
    const std::size_t fine = testo.find('\n', inizio);
    const std::string riga_n = "line " + std::to_string(numero);
    if (fine == std::string_view::npos) return rifiuta("ends inside " + riga_n + ": it is cut short");
    const std::string_view riga = testo.substr(inizio, fine - inizio);
    inizio = fine + 1;
    const std::size_t tab = riga.find('\t');
    if (tab == std::string_view::npos || riga.find('\t', tab + 1) != std::string_view::npos) {
      return rifiuta("has " + riga_n + " " + citato(riga) + ", not a name and an old file's name apart by one tab");
    }
    const std::string nome(riga.substr(0, tab));
    const std::string vecchio(riga.substr(tab + 1));
    const bool atteso = std::find(in_scrittura.begin(), in_scrittura.end(), nome) != in_scrittura.end();
    if (!nome_semplice(nome) || !atteso) {
      return rifiuta("names " + citato(nome) + ", which is not one of the files this write replaces");
    }
    if (!nomi.insert(nome).second) return rifiuta("names " + citato(nome) + " twice");
    const bool segno = vecchio == kNessunVecchio || vecchio == kVecchioSenzaNome;
    if (!segno && !nome_da_parte(vecchio)) {
      return rifiuta("gives " + citato(vecchio) + " for the old file of " + citato(nome) +
                     ", not a second name this program makes");
    }
    if (!segno && !vecchi.insert(vecchio).second) return rifiuta("gives " + citato(vecchio) + " twice");
    l.righe.push_back({nome, vecchio});
  }
  return l;
}

bool file_o_collegamento(TipoVoce t) { return t == TipoVoce::file || t == TipoVoce::collegamento; }

}  // namespace

bool nome_da_parte(std::string_view nome) { return con_prefisso_e_coda(nome, kPrefissoDaParte); }

bool nome_temporaneo_o_da_parte(std::string_view nome) {
  return nome_da_parte(nome) || con_prefisso_e_coda(nome, kPrefissoTemporaneo);
}

std::string testo_giornale(const std::vector<riga_giornale>& righe) {
  std::string g;
  for (const auto& r : righe) g += r.nome + "\t" + r.vecchio + "\n";
  return g;
}

piano_ripristino pianifica_ripristino(const std::optional<std::string>& giornale,
                                      const std::vector<std::string>& in_scrittura,
                                      const std::function<TipoVoce(const std::string&)>& voce,
                                      const std::vector<std::string>& propri) {
  piano_ripristino p;
  const auto rifiuta = [&p](std::string motivo) {
    p.passi.clear();
    p.avanzi.clear();
    p.rifiuto = std::move(motivo);
    return p;
  };
  std::set<std::string> nominati;  // second names the journal gives: not left-overs
  if (!giornale) {
    const TipoVoce g = voce(Cartella::kGiornale);
    if (g != TipoVoce::assente) return rifiuta("is " + che_cosa(g));
  } else {
    auto l = leggi_righe(*giornale, in_scrittura);
    if (l.rifiuto) return rifiuta(*l.rifiuto);
    for (const auto& r : l.righe) {
      // Only a file or a link is ever removed or put back: the names are checked before
      // the first step, so a refusal changes nothing.
      const TipoVoce nuovo = voce(r.nome);
      if (nuovo != TipoVoce::assente && !file_o_collegamento(nuovo)) {
        return rifiuta("names " + citato(r.nome) + ", which is " + che_cosa(nuovo));
      }
      if (r.vecchio == kNessunVecchio) {
        if (nuovo != TipoVoce::assente) p.passi.push_back({passo_ripristino::azione::elimina, r.nome, {}});
      } else if (r.vecchio != kVecchioSenzaNome) {
        nominati.insert(r.vecchio);
        const TipoVoce vecchio = voce(r.vecchio);
        if (file_o_collegamento(vecchio)) {
          p.passi.push_back({passo_ripristino::azione::rimetti, r.nome, r.vecchio});
        } else if (vecchio != TipoVoce::assente) {  // gone: already put back by an earlier recovery
          return rifiuta("gives " + citato(r.vecchio) + " for the old file of " + citato(r.nome) + ", which is " +
                         che_cosa(vecchio));
        }
      }
    }
    p.passi.push_back({passo_ripristino::azione::elimina, Cartella::kGiornale, {}});
  }
  for (const auto& nome : propri) {
    if (nome_temporaneo_o_da_parte(nome) && !nominati.count(nome) && file_o_collegamento(voce(nome))) {
      p.avanzi.push_back(nome);
    }
  }
  return p;
}

}  // namespace cmp
