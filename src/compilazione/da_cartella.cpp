#include "compilazione/da_cartella.h"

#include <string>

#include "errori/catalogo_errori.h"
#include "model/nomi_file.h"

namespace cmp {
namespace {

// The two texts as read from the folder. Held in place: the views point into the bytes.
struct testi_dalla_cartella {
  std::string byte_linea;
  std::string byte_treno;
  testo_in_arrivo linea{testo_in_arrivo::stato::assente, {}, {}};
  testo_in_arrivo treno{testo_in_arrivo::stato::assente, {}, {}};
};

// A text that exists but cannot be read is a reading failure like any other.
testo_in_arrivo apri(Cartella& cartella, const std::string& nome, std::string& bytes) {
  try {
    auto testo = cartella.leggi(nome);
    if (!testo) return {testo_in_arrivo::stato::assente, {}, {}};
    bytes = std::move(*testo);
    return testo_in_arrivo::di(bytes);
  } catch (const ErroreFile& e) {
    return {testo_in_arrivo::stato::illeggibile, {}, e.motivo()};
  }
}

// Without a line text nothing is read (101).
void apri_entrambi(Cartella& cartella, const Stato& s, testi_dalla_cartella& t) {
  if (!cartella.esiste(nome_descrizione_linea(identita_di(s)))) return;
  t.linea = apri(cartella, nome_descrizione_linea(identita_di(s)), t.byte_linea);
  t.treno = apri(cartella, nome_descrizione_treno(identita_di(s)), t.byte_treno);
}

void elimina_letti(Cartella& cartella, const Stato& s, const esito_compilazione& e) {
  if (e.lettura.codice == errori::testo_mancante) return;
  cartella.elimina(nome_descrizione_linea(identita_di(s)));
  if (e.treno_letto) cartella.elimina(nome_descrizione_treno(identita_di(s)));
}

}  // namespace

esito_compilazione leggi_da_cartella(Stato& s, Cartella& cartella) {
  testi_dalla_cartella t;
  apri_entrambi(cartella, s, t);
  esito_compilazione e = leggi_descrizioni(s, t.linea, t.treno);
  elimina_letti(cartella, s, e);
  return e;
}

esito_compilazione compila_da_cartella(Stato& s, Cartella& cartella, bool con_piano) {
  testi_dalla_cartella t;
  apri_entrambi(cartella, s, t);
  esito_compilazione e = compila_testi(s, t.linea, t.treno, {s.nome_linea, s.numero_treno}, con_piano);
  elimina_letti(cartella, s, e);
  return e;
}

}  // namespace cmp
