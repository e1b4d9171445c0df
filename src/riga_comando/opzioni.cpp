#include "riga_comando/opzioni.h"

#include "model/somiglianza.h"

namespace cmp {

opzioni_lette leggi_opzioni(const std::vector<std::string>& argomenti, const std::set<std::string>& con_valore,
                            const std::set<std::string>& interruttori, std::size_t massimo_posizionali) {
  opzioni_lette out;
  bool solo_posizionali = false;  // after "--", a name such as "-x.txt" is a file
  for (std::size_t i = 0; i < argomenti.size(); ++i) {
    std::string a = argomenti[i];
    std::optional<std::string> unito;
    if (!solo_posizionali && a == "--") {
      solo_posizionali = true;
      continue;
    }
    if (solo_posizionali) {
      if (out.posizionali.size() == massimo_posizionali) {
        out.errore = "unexpected argument '" + a + "'";
        return out;
      }
      out.posizionali.push_back(a);
      continue;
    }
    if (a.rfind("--", 0) == 0) {
      const auto uguale = a.find('=');
      if (uguale != std::string::npos) {
        unito = a.substr(uguale + 1);
        a = a.substr(0, uguale);
      }
    }
    if (con_valore.count(a)) {
      if (unito) {
        out.valori[a] = *unito;
      } else if (i + 1 < argomenti.size()) {
        out.valori[a] = argomenti[++i];
      } else {
        out.errore = "option " + a + " needs a value";
        return out;
      }
    } else if (interruttori.count(a) && !unito) {
      out.interruttori.insert(a);
    } else if (a.size() > 1 && a[0] == '-') {
      std::vector<std::string> note(con_valore.begin(), con_valore.end());
      note.insert(note.end(), interruttori.begin(), interruttori.end());
      out.errore = "unknown option '" + argomenti[i] + "'";
      if (const auto vicina = parola_vicina(a, note)) *out.errore += "; did you mean '" + *vicina + "'?";
      return out;
    } else {
      if (out.posizionali.size() == massimo_posizionali) {
        out.errore = "unexpected argument '" + a + "'";
        return out;
      }
      out.posizionali.push_back(a);
    }
  }
  return out;
}

}  // namespace cmp
