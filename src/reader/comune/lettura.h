#pragma once
// The base both readers are built on: the state, the field reader, the row record, where
// the current row's keyword field stands, the error recorders, the comment rule and the
// failure path. Each reader adds only its row kinds.
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "errori/catalogo_errori.h"
#include "model/stato.h"
#include "reader/comune/esito_lettura.h"
#include "reader/comune/esito_riga.h"
#include "reader/comune/fallimento_riga.h"
#include "reader/comune/lettore_campi.h"
#include "reader/comune/righe_lette.h"

namespace cmp {

// Records error 25 with its place and reason.
esito_lettura registra_fallimento(Stato& s, const luogo& dove, const std::string& motivo);

// Where a failure of the work after the last row is blamed: the line reader names the
// last field it read (the one that ended the text), the train reader its last row.
enum class luogo_dopo_righe { ultimo_campo, ultima_riga };

class Lettura {
 public:
  Lettura(Stato& s, std::string_view testo, testo_descrizione quale, righe_lette* righe, luogo_dopo_righe dopo)
      : s_(s), campi_(testo), quale_(quale), righe_(righe), dopo_righe_(dopo), chiave_{quale, 1, 1} {}

  // The keyword field of the row being read: where its errors and failures are reported.
  const luogo& luogo_chiave() const { return chiave_; }

  // Runs `leggi` and turns what a text can make a read throw into error 25: an unreadable
  // field (at that field), a row that cannot be compiled and a lack of memory (at the
  // row's keyword field, with `senza_memoria` as the reason).
  template <class Leggi>
  esito_lettura con_fallimenti(Leggi&& leggi, const char* senza_memoria) {
    try {
      return leggi();
    } catch (const FallimentoLettura& e) {
      return registra_fallimento(s_, luogo{quale_, e.riga(), e.colonna()}, e.motivo());
    } catch (const FallimentoRiga& e) {
      return registra_fallimento(s_, chiave_, e.what());
    } catch (const std::bad_alloc&) {
      return registra_fallimento(s_, chiave_, senza_memoria);
    }
  }

 protected:
  // A field read as a row's keyword field; its place becomes the row's.
  std::string leggi_chiave();
  // The next row's keyword field, after at most `commenti` comment fields (fields holding
  // "-"); none when the text ends at or after any of them, since the last field of a text
  // is never a keyword field (its place then counts as set by `luogo_dopo_righe`).
  std::optional<std::string> chiave_dopo_commenti(int commenti);
  // A row about to be read: its keyword (as the row record names it) and where it stands.
  void annota(std::string_view chiave);
  // The position (and the name) of the row last annotated, once read.
  void posiziona(std::int32_t posizione, std::string nome = {});

  Stato& s_;
  LettoreCampi campi_;

 private:
  testo_descrizione quale_;
  righe_lette* righe_;
  luogo_dopo_righe dopo_righe_;
  luogo chiave_;
  std::string campo_chiave_;  // the last keyword field read, kept only for the row record
};

}  // namespace cmp
