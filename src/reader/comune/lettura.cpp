#include "reader/comune/lettura.h"

#include <utility>

namespace cmp {

esito_lettura registra_fallimento(Stato& s, const luogo& dove, const std::string& motivo) {
  s.codice_errore = errori::lettura;
  s.luogo_errore = dove;
  s.dettaglio_errore = motivo;
  return esito_lettura::fallita;
}

std::string Lettura::leggi_chiave() {
  std::string campo = campi_.leggi_testo();
  chiave_ = luogo{quale_, campi_.riga_campo(), campi_.colonna_campo()};
  if (righe_) campo_chiave_ = campo;
  return campo;
}

std::optional<std::string> Lettura::chiave_dopo_commenti(int commenti) {
  const luogo riga_prima = chiave_;
  const auto alla_fine = [&]() -> std::optional<std::string> {
    if (dopo_righe_ == luogo_dopo_righe::ultima_riga) chiave_ = riga_prima;
    return std::nullopt;
  };
  std::string campo = leggi_chiave();
  if (campi_.fine()) return alla_fine();
  for (int i = 0; i < commenti && campo.find('-') != std::string::npos; ++i) {
    campo = leggi_chiave();
    if (campi_.fine()) return alla_fine();
  }
  return campo;
}

void Lettura::annota(std::string_view chiave) {
  campi_.inizia_riga();
  if (!righe_) return;
  righe_->push_back({quale_, chiave, chiave_.riga, chiave_.colonna, 0, {}, campo_chiave_, {}});
  // The record's last row takes the numbers until the next row is annotated.
  campi_.registra_interi(&righe_->back().numeri);
}

void Lettura::posiziona(std::int32_t posizione, std::string nome) {
  if (!righe_ || righe_->empty()) return;
  righe_->back().posizione = posizione;
  righe_->back().nome = std::move(nome);
}

}  // namespace cmp
