#include "lsp/analisi_testo.h"

#include <algorithm>
#include <charconv>
#include <span>

#include "model/arrotonda.h"
#include "model/cp1252.h"
#include "model/limiti_formato.h"

namespace cmp {
namespace {

std::string minuscolo(std::string_view t) {
  std::string out(t);
  for (char& c : out) c = static_cast<char>(minuscola_cp1252(static_cast<unsigned char>(c)));
  return out;
}

bool blank(char c) { return c == ' ' || c == '\t'; }

// Reads fields from one line the way the field reader does: a text field runs to the next
// comma; a numeric field also ends at a blank, and the comma after its blanks goes with it.
class CampiRiga {
 public:
  explicit CampiRiga(std::string_view riga) : r_(riga) {}
  bool finita() const { return p_ >= r_.size(); }

  campo_letto testo() {
    salta_blank();
    campo_letto c;
    c.inizio = static_cast<int>(p_);
    while (p_ < r_.size() && r_[p_] != ',') ++p_;
    std::size_t fine = p_;
    while (fine > static_cast<std::size_t>(c.inizio) && blank(r_[fine - 1])) --fine;
    c.fine = static_cast<int>(fine);
    c.testo = std::string(r_.substr(static_cast<std::size_t>(c.inizio), fine - static_cast<std::size_t>(c.inizio)));
    if (p_ < r_.size()) ++p_;
    return c;
  }

  campo_letto numero() {
    salta_blank();
    campo_letto c;
    c.inizio = static_cast<int>(p_);
    while (p_ < r_.size() && r_[p_] != ',' && !blank(r_[p_])) ++p_;
    c.fine = static_cast<int>(p_);
    c.testo = std::string(r_.substr(static_cast<std::size_t>(c.inizio), p_ - static_cast<std::size_t>(c.inizio)));
    salta_blank();
    if (p_ < r_.size() && r_[p_] == ',') ++p_;
    return c;
  }

 private:
  void salta_blank() {
    while (p_ < r_.size() && blank(r_[p_])) ++p_;
  }
  std::string_view r_;
  std::size_t p_ = 0;
};

bool e_intestazione(std::string_view campo) {
  return campo.find('[') != std::string_view::npos && campo.find(']') != std::string_view::npos &&
         (campo.empty() || campo.front() != '-');
}

}  // namespace

const parola_chiave* riconosci_parola(std::string_view campo, formato_descrizione f, bool generale) {
  const std::string basso = minuscolo(campo);
  for (const auto& p : kParoleChiave) {
    if (p.formato != f) continue;
    // The line reader takes general rows only in its general part, and rows only after it.
    if (f == formato_descrizione::linea && (p.sezione == kSezioneGenerale) != generale) continue;
    if (contiene_parole(basso, p.riconosce)) return &p;
  }
  return nullptr;
}

std::vector<riga_letta> analizza_testo(std::string_view testo, formato_descrizione f) {
  std::vector<riga_letta> righe;
  std::string sezione;
  bool visto_generale = false;
  bool generale = false;
  int numero = 0;
  std::size_t inizio = 0;
  while (inizio <= testo.size()) {
    std::size_t fine = testo.find('\n', inizio);
    const bool ultima = fine == std::string_view::npos;
    if (ultima) fine = testo.size();
    std::string_view riga = testo.substr(inizio, fine - inizio);
    if (!riga.empty() && riga.back() == '\r') riga.remove_suffix(1);

    riga_letta r;
    r.numero = numero;
    CampiRiga campi(riga);
    r.chiave = campi.testo();
    const std::string basso = minuscolo(r.chiave.testo);
    if (e_intestazione(r.chiave.testo)) {
      r.intestazione = true;
      sezione = basso;
      if (basso.find(kSezioneGenerale) != std::string::npos && !visto_generale) {
        visto_generale = true;
        generale = true;
      } else {
        generale = false;
      }
    } else if (r.chiave.testo.find('-') == std::string::npos) {  // a field holding "-" is a comment
      r.parola = visto_generale ? riconosci_parola(r.chiave.testo, f, generale) : nullptr;
      if (r.parola) {
        for (const auto& c : r.parola->campi) {
          if (campi.finita()) break;
          r.campi.push_back(c.tipo == tipo_campo::testo ? campi.testo() : campi.numero());
        }
      }
    }
    r.sezione = sezione;
    r.generale = generale && !r.intestazione;
    righe.push_back(std::move(r));
    if (ultima) break;
    inizio = fine + 1;
    ++numero;
  }
  return righe;
}

namespace {

// The text holds something only format `f` writes: a section header the other format has
// not, or one of its keywords followed by its comma.
bool scritto_da(std::string_view basso, formato_descrizione f) {
  using sezioni = std::span<const std::string_view>;
  const bool linea = f == formato_descrizione::linea;
  const sezioni proprie = linea ? sezioni(kSezioniLinea) : sezioni(kSezioniTreno);
  const sezioni altre = linea ? sezioni(kSezioniTreno) : sezioni(kSezioniLinea);
  for (const std::string_view sezione : proprie) {
    if (std::find(altre.begin(), altre.end(), sezione) == altre.end() && basso.find(sezione) != std::string_view::npos)
      return true;
  }
  for (const auto& p : kParoleChiave) {
    if (p.formato == f && basso.find(std::string(p.parola) + ",") != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace

std::optional<formato_descrizione> formato_dal_contenuto(std::string_view testo) {
  const std::string basso = minuscolo(testo.substr(0, std::min<std::size_t>(testo.size(), 1 << 16)));
  for (const auto f : {formato_descrizione::linea, formato_descrizione::treno}) {
    if (scritto_da(basso, f)) return f;
  }
  return std::nullopt;
}

std::optional<long long> cella_della_riga(const parola_chiave& p, long long posizione) {
  const auto arrotonda_pari = [](double x) { return static_cast<long long>(arrotonda(x)); };
  switch (p.cella) {
    case cella_riga::posizione:
      return arrotonda_pari(limiti_file::in_celle(static_cast<double>(posizione)));
    case cella_riga::posizione_piu_1:
      return arrotonda_pari(limiti_file::in_celle(static_cast<double>(posizione)) + 1.0);
    default:
      return std::nullopt;
  }
}

const riga_letta* riga_di(const std::vector<riga_letta>& righe, int riga) {
  if (riga < 0 || static_cast<std::size_t>(riga) >= righe.size()) return nullptr;
  return &righe[static_cast<std::size_t>(riga)];
}

std::optional<long long> numero_del_campo(const std::string& testo) {
  long long v = 0;
  const char* inizio = testo.data() + (testo.size() > 0 && testo[0] == '+' ? 1 : 0);
  const auto [fine, ec] = std::from_chars(inizio, testo.data() + testo.size(), v);
  if (ec != std::errc{} || fine != testo.data() + testo.size()) return std::nullopt;
  return v;
}

std::string chilometro(long long metri) {
  const char* segno = metri < 0 ? "-" : "";
  const long long m = metri < 0 ? -metri : metri;
  std::string resto = std::to_string(m % 1000);
  resto.insert(0, 3 - resto.size(), '0');
  return std::string("km ") + segno + std::to_string(m / 1000) + "+" + resto;
}

}  // namespace cmp
