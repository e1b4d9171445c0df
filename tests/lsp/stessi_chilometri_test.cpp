// One kilometre everywhere: with two and with three kilometre references, the picture
// (its tooltips and its axis), the page's data (the rule its axis and readout use, and its
// tooltips of the references) and the language server's hover read the same kilometre.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "compilazione/compila.h"
#include "lsp/diagnosi.h"
#include "lsp/hover.h"
#include "plot/disegna.h"
#include "plot/pagina.h"

namespace cmp {
namespace {

using json = nlohmann::json;

json dati_della_pagina(const std::string& html) {
  const std::string apre = "<script type=\"application/json\" id=\"dati\">\n";
  const auto inizio = html.find(apre);
  const auto fine = html.find("\n</script>", inizio);
  return json::parse(html.substr(inizio + apre.size(), fine - inizio - apre.size()));
}

// The page's rule read off its data: the last piece started at or before the metre.
long long km_della_pagina(const json& pezzi, long long metro) {
  json scelto = pezzi[0];
  for (const auto& p : pezzi) {
    if (p[0].get<long long>() <= metro) scelto = p;
  }
  return scelto[1].get<long long>() + (metro - scelto[0].get<long long>());
}

std::string km(long long metri) {
  std::string resto = std::to_string(metri % 1000);
  return std::to_string(metri / 1000) + "+" + std::string(3 - resto.size(), '0') + resto;
}

TEST(StessiChilometri, PictureHoverAndPageReadOneKilometreWithTwoAndThreeReferences) {
  struct Caso {
    const char* nome;
    std::vector<std::string> riferimenti;
    std::vector<std::pair<long long, long long>> punti;  // a gradient and a signal at this metre: its km
    std::string spiegazione;                             // the picture's axis
  };
  const Caso casi[] = {
      {"two",
       {"progressiva chilometrica uno, 0, 132100, 0", "progressiva chilometrica due, 5000, 150000, 1"},
       {{1000, 133100}, {6000, 151100}, {9000, 154100}},
       "km of the line (position 0 m = km 132+100, position 5000 m = km 150+100)"},
      {"three",
       {"progressiva chilometrica uno, 0, 132100, 0", "progressiva chilometrica due, 5000, 150000, 1",
        "progressiva chilometrica tre, 8000, 40000, 0"},
       {{1000, 133100}, {6000, 151100}, {9000, 41000}},
       "km of the line (position 0 m = km 132+100, position 5000 m = km 150+100, position 8000 m = km 40+000)"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    std::string linea = "[generale]\r\nlunghezza percorso, 10000\r\n";
    for (const auto& r : c.riferimenti) linea += r + "\r\n";
    linea += "[curve]\r\n[pendenze]\r\n";
    const int prima_pendenza = 3 + static_cast<int>(c.riferimenti.size()) + 2;  // from 1
    std::string treno = "[generale]\r\nvelocita, 0, 70\r\n";
    for (const auto& [metro, atteso] : c.punti) {
      linea += "pendenza, " + std::to_string(metro) + ", 2\r\n";
      treno += "segnale, " + std::to_string(metro) + ", 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\r\n";
    }
    linea += "[fine]\r\n";
    treno += "[fine]\r\n";
    const auto esito = diagnosi_documenti(linea, treno, {"X", "5"});
    ASSERT_TRUE(esito.stato);
    EXPECT_TRUE(esito.diagnostiche.empty()) << esito.diagnostiche.front().messaggio;

    // The picture and the page from compile's own state and record of rows, as plot draws them.
    Stato s;
    const esito_compilazione compilato = compila_descrizioni(s, linea, treno, {"X", "5"}, true);
    const std::string svg = disegna_svg(s);
    EXPECT_NE(svg.find(c.spiegazione), std::string::npos);
    opzioni_pagina o;
    o.testi = {{"X_linea.txt", "/X_linea.txt"}, {"X_5-.txt", "/X_5-.txt"}};
    o.righe = compilato.righe;
    const json dati = dati_della_pagina(disegna_pagina(s, o));
    documento_aperto d;
    d.testo = linea;
    d.identita.formato = formato_descrizione::linea;
    d.compilato = esito.stato;

    for (std::size_t i = 0; i < c.punti.size(); ++i) {
      const auto [metro, atteso] = c.punti[i];
      SCOPED_TRACE(metro);
      const std::string hover = hover_riga(d, prima_pendenza - 1 + static_cast<int>(i), 2)["contents"]["value"];
      EXPECT_NE(hover.find("At " + std::to_string(metro) + " m (km " + km(atteso) + ")"), std::string::npos) << hover;
      EXPECT_NE(svg.find("km " + km(atteso) + " (position " + std::to_string(metro) + " m)"), std::string::npos);
      EXPECT_EQ(km_della_pagina(dati["chilometri"], metro), atteso);
    }
    // The page's tooltip of each reference says the kilometre its axis reads there.
    ASSERT_EQ(dati["progressive"].size(), c.riferimenti.size());
    for (const auto& r : dati["progressive"]) {
      EXPECT_EQ(km_della_pagina(dati["chilometri"], r[0]), r[1]) << r.dump();
      EXPECT_EQ(r[2], 0) << r.dump();  // tied to its row of the line: lines 3, 4 and 5
      EXPECT_GE(r[3], 3) << r.dump();
      EXPECT_LE(r[3], 5) << r.dump();
    }
  }
}

}  // namespace
}  // namespace cmp
