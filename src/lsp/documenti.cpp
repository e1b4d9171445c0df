#include "lsp/documenti.h"

#include "descrizioni/avvisi_testo.h"
#include "lsp/uri.h"
#include "model/cp1252.h"

namespace cmp {
namespace {

// A document's identity and group from its URI (and its text, when its name tells nothing).
void identifica(documento_aperto& d, const std::string& testo_utf8) {
  const std::string neutro = percorso_neutro(d.uri);
  // Not a file: the name is what follows the URI's last '/', and there is no folder.
  const cartella_e_nome parti =
      neutro.empty() ? cartella_e_nome{"", dividi_percorso(d.uri).nome} : dividi_percorso(neutro);
  d.identita = identifica_documento(parti.nome, testo_utf8);
  d.gruppo = d.identita.per_contenuto ? chiave_gruppo{"", d.uri, d.identita.nome_linea}
                                      : chiave_gruppo{parti.cartella, "", d.identita.nome_linea};
}

}  // namespace

std::string testo_dei_lettori(std::string byte, codifica_testi codifica) {
  if (codifica != codifica_testi::utf_8) return byte;
  auto c = converti_da_utf8(byte);
  return c.errore ? byte : std::move(c.testo);
}

void ArchivioDocumenti::usa_codifica(codifica_testi c) {
  if (c == codifica_) return;
  codifica_ = c;
  for (auto& [uri, d] : documenti_) {
    d.testo = testo_dei_lettori(in_cp1252(d.testo_editor), codifica_);
    in_attesa_.insert(d.gruppo);
  }
}

void ArchivioDocumenti::attendi_tutti() {
  for (const auto& [uri, d] : documenti_) in_attesa_.insert(d.gruppo);
}

void ArchivioDocumenti::apri(const std::string& uri, const std::string& testo_utf8) {
  documento_aperto d;
  d.uri = uri;
  identifica(d, testo_utf8);
  d.testo = testo_dei_lettori(in_cp1252(testo_utf8), codifica_);
  d.testo_editor = testo_utf8;
  if (const auto vecchio = documenti_.find(uri); vecchio != documenti_.end()) in_attesa_.insert(vecchio->second.gruppo);
  in_attesa_.insert(d.gruppo);
  documenti_[uri] = std::move(d);
}

void ArchivioDocumenti::cambia(const std::string& uri, const std::string& testo_utf8) {
  documento_aperto* d = trova(uri);
  if (!d) return;
  if (d->identita.per_contenuto) {
    in_attesa_.insert(d->gruppo);  // what it was counted with before
    identifica(*d, testo_utf8);
  }
  d->testo = testo_dei_lettori(in_cp1252(testo_utf8), codifica_);
  d->testo_editor = testo_utf8;
  in_attesa_.insert(d->gruppo);
}

void ArchivioDocumenti::chiudi(const std::string& uri) {
  const auto it = documenti_.find(uri);
  if (it == documenti_.end()) return;
  in_attesa_.insert(it->second.gruppo);
  documenti_.erase(it);
}

documento_aperto* ArchivioDocumenti::trova(const std::string& uri) {
  const auto it = documenti_.find(uri);
  return it == documenti_.end() ? nullptr : &it->second;
}

ArchivioDocumenti::membri_gruppo ArchivioDocumenti::membri(const chiave_gruppo& g) {
  membri_gruppo m;
  for (auto& [uri, d] : documenti_) {
    if (d.gruppo != g) continue;
    m.uri.push_back(uri);
    if (d.identita.sconosciuto) continue;
    if (d.identita.formato == formato_descrizione::linea && !m.linea) m.linea = &d;
    if (d.identita.formato == formato_descrizione::treno) m.treni.push_back(&d);
  }
  return m;
}

std::set<chiave_gruppo> ArchivioDocumenti::prendi_in_attesa() {
  std::set<chiave_gruppo> gruppi;
  gruppi.swap(in_attesa_);
  return gruppi;
}

bool ArchivioDocumenti::prendi_in_attesa(const chiave_gruppo& g) { return in_attesa_.erase(g) > 0; }

}  // namespace cmp
