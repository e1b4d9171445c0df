// compattatore lsp driven over pipes by a scripted client, as an editor drives it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
#include <chrono>

#include "lsp/cliente_lsp.h"
#include "model/cp1252.h"
#include "supporto.h"

namespace cmp::prova {
namespace {

constexpr const char* kLinea = "VallorsaC_Pietrana_linea.txt";
constexpr const char* kTreno = "VallorsaC_Pietrana_4721-.txt";

// A file's URI as editors send it: file:///tmp/x on Linux; on Windows VS Code's form,
// file:///c%3A/Users/x, its drive letter small and its colon escaped.
std::string uri(const CartellaTemporanea& c, const std::string& nome) {
  std::string percorso = c / nome;
  if (percorso.size() < 2 || percorso[1] != ':') return "file://" + percorso;
  for (auto& ch : percorso) ch = ch == '\\' ? '/' : ch;
  return "file:///" + std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(percorso[0])))) + "%3A" +
         percorso.substr(2);
}

json apertura(const std::string& u, const std::string& testo) {
  return {{"textDocument", {{"uri", u}, {"languageId", "compattatore"}, {"version", 1}, {"text", testo}}}};
}

json cambio(const std::string& u, int versione, const std::string& testo) {
  return {{"textDocument", {{"uri", u}, {"version", versione}}}, {"contentChanges", json::array({{{"text", testo}}})}};
}

json al_punto(const std::string& u, int riga, int colonna) {
  return {{"textDocument", {{"uri", u}}}, {"position", {{"line", riga}, {"character", colonna}}}};
}

std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> out;
  std::size_t inizio = 0;
  for (;;) {
    const auto fine = testo.find("\r\n", inizio);
    out.push_back(testo.substr(inizio, fine - inizio));
    if (fine == std::string::npos) return out;
    inizio = fine + 2;
  }
}

std::string unisci(const std::vector<std::string>& r) {
  std::string out;
  for (std::size_t i = 0; i < r.size(); ++i) out += (i ? "\r\n" : "") + r[i];
  return out;
}

class ServerProcesso : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto esito = esegui(COMPATTATORE_EXE, {"export", "--out", cartella.percorso().string()});
    ASSERT_EQ(esito.stato, 0) << esito.errori;
    linea = da_cp1252(leggi_tutto(cartella / kLinea));
    treno = da_cp1252(leggi_tutto(cartella / kTreno));
  }
  CartellaTemporanea cartella;
  std::string linea;
  std::string treno;
};

// The whole session an author has with the built-in descriptions.
TEST_F(ServerProcesso, ASessionOnTheBuiltInDescriptionsGetsEveryAnswer) {
  const std::string byte_linea = leggi_tutto(cartella / kLinea);
  const std::string byte_treno = leggi_tutto(cartella / kTreno);
  const std::string ul = uri(cartella, kLinea);
  const std::string ut = uri(cartella, kTreno);
  ClienteLsp c;
  const json init = c.inizializza();
  EXPECT_TRUE(init["result"]["capabilities"]["hoverProvider"].get<bool>());
  EXPECT_EQ(init["result"]["capabilities"]["textDocumentSync"]["change"], 1);
  c.notifica("textDocument/didOpen", apertura(ul, linea));
  c.notifica("textDocument/didOpen", apertura(ut, treno));
  ASSERT_EQ(c.diagnostiche(ut), json::array());

  // A gradient row moved beyond the track: error 15 on that line, within a second.
  auto r = righe(linea);
  std::size_t riga_pendenza = 0;
  for (std::size_t i = 0; i < r.size() && !riga_pendenza; ++i) {
    if (r[i].rfind("pendenza", 0) == 0 && i > 100) riga_pendenza = i;
  }
  ASSERT_GT(riga_pendenza, 0u);
  const std::string originale = r[riga_pendenza];
  r[riga_pendenza] = "pendenza,  40000,   3";
  c.notifiche.clear();
  const auto inizio = std::chrono::steady_clock::now();
  c.notifica("textDocument/didChange", cambio(ul, 2, unisci(r)));
  std::optional<json> d;
  while ((d = c.diagnostiche(ul, 1000ms)) && d->empty()) {
  }
  const auto attesa = std::chrono::steady_clock::now() - inizio;
  ASSERT_TRUE(d.has_value()) << "no diagnostics for the line";
  ASSERT_EQ(d->size(), 1u) << d->dump();
  EXPECT_EQ((*d)[0]["code"], 15);
  EXPECT_EQ((*d)[0]["severity"], 1);
  EXPECT_EQ((*d)[0]["range"]["start"]["line"], riga_pendenza);
  EXPECT_LT(attesa, std::chrono::seconds(1));

  // Mended: cleared.
  r[riga_pendenza] = originale;
  c.notifica("textDocument/didChange", cambio(ul, 3, unisci(r)));
  EXPECT_EQ(c.diagnostiche(ul), json::array());

  // Hover on the SAN LORIANO row (line 30): its position, cell and what the cell holds.
  ASSERT_NE(righe(treno)[29].find("SAN LORIANO"), std::string::npos);
  c.richiesta(10, "textDocument/hover", al_punto(ut, 29, 2));
  const std::string hover = c.risposta(10)["result"]["contents"]["value"];
  EXPECT_NE(hover.find("6600 m"), std::string::npos) << hover;
  EXPECT_NE(hover.find("SAN LORIANO"), std::string::npos) << hover;
  EXPECT_NE(hover.find("holds a station stop"), std::string::npos) << hover;
  // And the fastest run's arrival there, in time (the train above has no 301 or 302).
  EXPECT_NE(hover.find("Fastest run (acceleration 0.50 m/s²"), std::string::npos) << hover;
  EXPECT_NE(hover.find("earliest arrival 06:"), std::string::npos) << hover;

  // Completion on an empty line of the gradients offers pendenza, first.
  r.insert(r.begin() + static_cast<long>(riga_pendenza), "");
  c.notifica("textDocument/didChange", cambio(ul, 4, unisci(r)));
  c.richiesta(11, "textDocument/completion", al_punto(ul, static_cast<int>(riga_pendenza), 0));
  const json voci = c.risposta(11)["result"];
  bool pendenza = false;
  for (const auto& v : voci) {
    if (v["label"] == "pendenza") {
      pendenza = true;
      EXPECT_EQ(v["textEdit"]["newText"], "pendenza, ${1:position}, ${2:gradient}");
      EXPECT_TRUE(v["preselect"].get<bool>());
    }
    EXPECT_NE(v["label"], "lunghezza percorso") << "a general row offered among the rows";
  }
  EXPECT_TRUE(pendenza) << voci.dump();

  // The outline of the train lists SAN LORIANO under [stazioni].
  c.richiesta(12, "textDocument/documentSymbol", {{"textDocument", {{"uri", ut}}}});
  const json simboli = c.risposta(12)["result"];
  bool trovata = false;
  for (const auto& s : simboli) {
    for (const auto& figlio : s["children"]) {
      if (figlio["name"] == "SAN LORIANO") {
        trovata = true;
        EXPECT_EQ(s["name"], "[stazioni]");
        EXPECT_EQ(figlio["range"]["start"]["line"], 29);
      }
    }
  }
  EXPECT_TRUE(trovata) << simboli.dump();

  // Bad input is survived.
  c.corpo("{\"jsonrpc\": \"2.0\", \"id\": 13, \"method\": ");
  EXPECT_EQ(c.risposta(nullptr)["error"]["code"], -32700);
  c.richiesta(14, "textDocument/nonEsiste");
  EXPECT_EQ(c.risposta(14)["error"]["code"], -32601);

  c.richiesta(15, "shutdown");
  EXPECT_TRUE(c.risposta(15)["result"].is_null());
  c.notifica("exit");
  EXPECT_EQ(c.stato_uscita(), 0);
  EXPECT_EQ(leggi_tutto(cartella / kLinea), byte_linea);
  EXPECT_EQ(leggi_tutto(cartella / kTreno), byte_treno);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(cartella.percorso()), {}), 5);
}

// The train is compiled with the line on disk when the line is not open; an error in
// the line then shows in both, and a train without its line says so.
TEST_F(ServerProcesso, TheTrainIsCompiledWithTheLineOnDisk) {
  auto r = righe(linea);
  for (auto& x : r) {
    if (x.rfind("lunghezza percorso", 0) == 0) x = "lunghezza percorso,    -5";
  }
  scrivi_tutto(cartella / kLinea, in_cp1252(unisci(r)));
  ClienteLsp c;
  c.inizializza();
  const std::string ut = uri(cartella, kTreno);
  c.notifica("textDocument/didOpen", apertura(ut, treno));
  const auto del_treno = c.diagnostiche(ut);
  ASSERT_TRUE(del_treno && del_treno->size() == 1) << (del_treno ? del_treno->dump() : "none");
  EXPECT_EQ((*del_treno)[0]["severity"], 3);
  EXPECT_NE((*del_treno)[0]["message"].get<std::string>().find("VallorsaC_Pietrana_linea.txt"), std::string::npos);
  const auto della_linea = c.diagnostiche(uri(cartella, kLinea));
  ASSERT_TRUE(della_linea && della_linea->size() == 1);
  EXPECT_EQ((*della_linea)[0]["code"], 30);

  const std::string orfano = uri(cartella, "Altra_7-.txt");
  c.notifica("textDocument/didOpen", apertura(orfano, treno));
  const auto senza_linea = c.diagnostiche(orfano);
  ASSERT_TRUE(senza_linea && senza_linea->size() == 1);
  EXPECT_EQ((*senza_linea)[0]["code"], 101);

  // Closing the train clears what was published for the line on disk.
  c.notifica("textDocument/didClose", {{"textDocument", {{"uri", ut}}}});
  EXPECT_EQ(c.diagnostiche(uri(cartella, kLinea)), json::array());
}

// The codes of a document's diagnostics, in order.
std::vector<int> codici(const std::optional<json>& d) {
  std::vector<int> out;
  if (d)
    for (const auto& x : *d) out.push_back(x["code"]);
  return out;
}

// The encoding setting: descriptions saved as UTF-8 (a station ELPÌDIO in the train, a
// caption in the line on disk), opened in an editor that decodes them as Windows-1252.
// Read as Windows-1252 both get warning 203 and the name is garbled; from
// initializationOptions or didChangeConfiguration, utf-8 converts them.
TEST_F(ServerProcesso, TheEncodingSettingReadsUtf8DescriptionsAsCompileDoes) {
  const std::string nome =
      "ELP\xC3\x8C"
      "DIO";  // UTF-8
  std::string treno_utf8 = treno;
  treno_utf8.replace(treno_utf8.find("SAN LORIANO"), 11, nome);
  std::string linea_utf8 = linea;
  linea_utf8.replace(linea_utf8.find("(Cavalcavia)"), 12, "(Citt\xC3\xA0)");
  scrivi_tutto(cartella / kLinea, linea_utf8);
  const std::string ut = uri(cartella, kTreno), ul = uri(cartella, kLinea);
  const auto r = righe(treno_utf8);
  int riga_stazione = -1;
  for (std::size_t i = 0; i < r.size() && riga_stazione < 0; ++i) {
    if (r[i].find(nome) != std::string::npos) riga_stazione = static_cast<int>(i);
  }
  ASSERT_GE(riga_stazione, 0);
  const auto nome_nel_hover = [&](ClienteLsp& c, int id) {
    c.richiesta(id, "textDocument/hover", al_punto(ut, riga_stazione, 2));
    return c.risposta(id)["result"]["contents"]["value"].get<std::string>().find("`" + nome + "`") != std::string::npos;
  };
  const json utf8 = {{"compattatore", {{"encoding", "utf-8"}}}};
  {
    ClienteLsp c;
    c.inizializza();
    c.notifica("textDocument/didOpen", apertura(ut, da_cp1252(treno_utf8)));  // the bytes, decoded as Windows-1252
    // The train's own 203 and the note of its line's.
    EXPECT_EQ(codici(c.diagnostiche(ut)), (std::vector<int>{203, 203}));
    EXPECT_EQ(codici(c.diagnostiche(ul)), std::vector<int>{203});
    EXPECT_FALSE(nome_nel_hover(c, 2));
    c.notifica("workspace/didChangeConfiguration", {{"settings", utf8}});
    EXPECT_EQ(c.diagnostiche(ut), json::array());
    EXPECT_EQ(c.diagnostiche(ul), json::array());
    EXPECT_TRUE(nome_nel_hover(c, 3));
    // An editor that decoded the file as UTF-8 itself gives the same.
    c.notifica("textDocument/didChange", cambio(ut, 2, treno_utf8));
    EXPECT_EQ(c.diagnostiche(ut), json::array());
    EXPECT_TRUE(nome_nel_hover(c, 4));
    // An unknown value is refused with a message and changes nothing; windows-1252 goes back.
    c.notifica("workspace/didChangeConfiguration", {{"settings", {{"compattatore", {{"encoding", "latin-9"}}}}}});
    c.notifica("workspace/didChangeConfiguration", {{"settings", {{"compattatore", {{"encoding", "windows-1252"}}}}}});
    c.notifica("textDocument/didChange", cambio(ut, 3, da_cp1252(treno_utf8)));
    // The setting's own recompile may be published before the edit's (a slower system
    // does not gather the two): what the editor shows is the last one.
    std::vector<int> ultimi = codici(c.diagnostiche(ut));
    while (ultimi != std::vector<int>{203, 203}) {
      const auto altri = c.diagnostiche(ut, 2000ms);
      if (!altri) break;
      ultimi = codici(altri);
    }
    EXPECT_EQ(ultimi, (std::vector<int>{203, 203}));
    bool avvisato = false;
    for (const auto& n : c.notifiche) {
      avvisato = avvisato || (n["method"] == "window/showMessage" &&
                              n["params"]["message"].get<std::string>().find("latin-9") != std::string::npos);
    }
    EXPECT_TRUE(avvisato);
  }
  {
    ClienteLsp c;
    c.richiesta(1, "initialize",
                {{"processId", nullptr},
                 {"rootUri", nullptr},
                 {"capabilities", json::object()},
                 {"initializationOptions", utf8}});
    c.risposta(1);
    c.notifica("initialized");
    c.notifica("textDocument/didOpen", apertura(ut, da_cp1252(treno_utf8)));
    EXPECT_EQ(c.diagnostiche(ut), json::array());
    EXPECT_TRUE(nome_nel_hover(c, 2));
  }
}

// The timetable check of the open train: a station due before the fastest run can reach it
// gets 301 at its row, the hover there says when it can; the settings of the run change the
// check, a value out of range is refused with a message, and null goes back to the default.
TEST_F(ServerProcesso, TheTimetableWarningsFollowTheTrainAndTheSettings) {
  const std::string ut = uri(cartella, kTreno);
  auto r = righe(treno);
  constexpr int kRigaSanLoriano = 29;  // from 0
  const std::string orario = "6,20, 0, SAN LORIANO";
  const auto dove = r[kRigaSanLoriano].find(orario);
  ASSERT_NE(dove, std::string::npos) << r[kRigaSanLoriano];
  r[kRigaSanLoriano].replace(dove, orario.size(), "6,12,30, SAN LORIANO");  // 15 s after the start, 6.6 km away
  ClienteLsp c;
  c.inizializza();
  c.notifica("textDocument/didOpen", apertura(ut, unisci(r)));
  const auto tardi = c.diagnostiche(ut);
  ASSERT_TRUE(tardi && tardi->size() == 1) << (tardi ? tardi->dump() : "none");
  EXPECT_EQ((*tardi)[0]["code"], 301);
  EXPECT_EQ((*tardi)[0]["severity"], 2);
  EXPECT_EQ((*tardi)[0]["range"]["start"]["line"], kRigaSanLoriano);
  EXPECT_EQ((*tardi)[0]["range"]["start"]["character"], 0);
  EXPECT_NE(
      (*tardi)[0]["message"].get<std::string>().find("station SAN LORIANO cannot be reached by its time 06:12:30"),
      std::string::npos)
      << tardi->dump();
  c.richiesta(2, "textDocument/hover", al_punto(ut, kRigaSanLoriano, 2));
  const std::string hover = c.risposta(2)["result"]["contents"]["value"];
  EXPECT_NE(hover.find("earliest arrival 06:"), std::string::npos) << hover;
  EXPECT_NE(hover.find("margin -"), std::string::npos) << hover;

  // On time again; a minimum margin no station keeps gives each station after the first a 302.
  c.notifica("textDocument/didChange", cambio(ut, 2, treno));
  EXPECT_EQ(c.diagnostiche(ut), json::array());
  const auto imposta = [&](json valori) {
    c.notifica("workspace/didChangeConfiguration", {{"settings", {{"compattatore", std::move(valori)}}}});
  };
  imposta({{"margineMinimo", 99}});
  const std::vector<int> stretti = codici(c.diagnostiche(ut));
  EXPECT_EQ(stretti, std::vector<int>(stretti.size(), 302));
  EXPECT_FALSE(stretti.empty());
  // Refused: the check stays as it was (and nothing is compiled again for it).
  imposta({{"accelerazione", 0}});
  imposta({{"decelerazione", "forte"}, {"margineMinimo", 101}});
  imposta({{"margineMinimo", nullptr}, {"decelerazione", 0.6}});
  EXPECT_EQ(c.diagnostiche(ut), json::array());
  c.richiesta(3, "textDocument/hover", al_punto(ut, kRigaSanLoriano, 2));
  const std::string data = c.risposta(3)["result"]["contents"]["value"];
  EXPECT_NE(data.find("acceleration 0.50 m/s², braking 0.60 m/s² (given)"), std::string::npos) << data;
  int rifiutati = 0;
  for (const auto& n : c.notifiche) {
    if (n["method"] != "window/showMessage") continue;
    const std::string m = n["params"]["message"];
    for (const char* atteso : {"accelerazione takes an acceleration in m/s² above 0 and at most 5, not 0;",
                               "decelerazione takes a braking rate in m/s² above 0 and at most 5, not \"forte\";",
                               "margineMinimo takes a per cent from 0 to 100, not 101;"}) {
      rifiutati += m.find(atteso) != std::string::npos;
    }
  }
  EXPECT_EQ(rifiutati, 3);
  c.richiesta(4, "shutdown");
  c.risposta(4);
  c.notifica("exit");
  EXPECT_EQ(c.stato_uscita(), 0);
}

#ifndef _WIN32
// A FIFO (or a device) in place of the line beside an open train holds nothing up: it is
// not read, the train says its line cannot be had, and every request is answered at once.
TEST_F(ServerProcesso, AFifoInPlaceOfTheLineHoldsUpNothing) {
  std::filesystem::remove(cartella / kLinea);
  ASSERT_EQ(::mkfifo((cartella / kLinea).c_str(), 0644), 0);
  ClienteLsp c;
  c.inizializza();
  const std::string ut = uri(cartella, kTreno);
  const auto inizio = std::chrono::steady_clock::now();
  c.notifica("textDocument/didOpen", apertura(ut, treno));
  const auto d = c.diagnostiche(ut, 2000ms);
  ASSERT_TRUE(d && d->size() == 1) << (d ? d->dump() : "none");
  EXPECT_EQ((*d)[0]["code"], 101);
  c.notifica("textDocument/didChange", cambio(ut, 2, treno));
  c.richiesta(2, "shutdown");
  EXPECT_TRUE(c.risposta(2, 2000ms).contains("result"));
  EXPECT_LT(std::chrono::steady_clock::now() - inizio, 1s);
  c.notifica("exit");
  EXPECT_EQ(c.stato_uscita(), 0);
}
#else
TEST_F(ServerProcesso, AFifoInPlaceOfTheLineHoldsUpNothing) {
  GTEST_SKIP() << "a FIFO in a folder is Linux's; it runs on Linux";
}
#endif

// A line description alone: its own errors, nothing of the train it lacks. A text whose
// name follows no pattern is told by its content.
TEST_F(ServerProcesso, ALineOnItsOwnShowsOnlyItsOwnErrors) {
  ClienteLsp c;
  c.inizializza();
  const std::string u = "untitled:Untitled-1";
  c.notifica("textDocument/didOpen", apertura(u, linea));
  EXPECT_EQ(c.diagnostiche(u), json::array());
  auto r = righe(linea);
  for (auto& x : r) {
    if (x.rfind("ripetizione segnali", 0) == 0) x = "ripetizione segnali 4 codici,    25    ,0";
  }
  c.notifica("textDocument/didChange", cambio(u, 2, unisci(r)));
  const auto d = c.diagnostiche(u);
  ASSERT_TRUE(d && d->size() == 1) << (d ? d->dump() : "none");
  EXPECT_EQ((*d)[0]["code"], 3);
  c.richiesta(2, "textDocument/hover", al_punto(u, 1, 0));
  EXPECT_NE(c.risposta(2)["result"]["contents"]["value"].get<std::string>().find("length L"), std::string::npos);

  // A text that tells nothing is left alone until it becomes a description.
  const std::string appunti = "untitled:Untitled-2";
  c.notifica("textDocument/didOpen", apertura(appunti, "appunti\r\n"));
  EXPECT_EQ(c.diagnostiche(appunti), json::array());
  c.notifica("textDocument/didChange",
             cambio(appunti, 2, "[generale]\r\nlunghezza percorso, 2000000\r\n[pendenze]\r\n[fine]\r\n"));
  const auto diventata = c.diagnostiche(appunti);
  ASSERT_TRUE(diventata && diventata->size() == 1) << (diventata ? diventata->dump() : "none");
  EXPECT_EQ((*diventata)[0]["code"], 1);
}

// The lifecycle: requests before initialize and after shutdown, exit without shutdown,
// a client that goes away, and parameters that are missing.
TEST(ServerCicloDiVita, EachProtocolErrorHasItsCodeAndTheExitStatusTellsAShutdown) {
  {
    ClienteLsp c;
    c.richiesta(1, "textDocument/hover", json::object());
    EXPECT_EQ(c.risposta(1)["error"]["code"], -32002);
    c.inizializza();
    c.richiesta(2, "initialize");
    EXPECT_EQ(c.risposta(2)["error"]["code"], -32600);
    c.richiesta(3, "textDocument/hover", {{"position", {{"line", 0}, {"character", 0}}}});
    EXPECT_EQ(c.risposta(3)["error"]["code"], -32602);
    c.richiesta(4, "textDocument/hover", al_punto("file:///non/aperto.txt", 0, 0));
    EXPECT_EQ(c.risposta(4)["error"]["code"], -32602);
    c.corpo("[1, 2]");
    EXPECT_EQ(c.risposta(nullptr)["error"]["code"], -32600);
    c.notifica("$/setTrace", {{"value", "off"}});  // ignored, no answer
    c.richiesta(5, "shutdown");
    c.risposta(5);
    c.richiesta(6, "textDocument/documentSymbol", {{"textDocument", {{"uri", "x"}}}});
    EXPECT_EQ(c.risposta(6)["error"]["code"], -32600);
    c.notifica("exit");
    EXPECT_EQ(c.stato_uscita(), 0);
  }
  {
    ClienteLsp c;
    c.inizializza();
    c.notifica("exit");
    EXPECT_EQ(c.stato_uscita(), 1);
  }
  {
    ClienteLsp c;
    c.inizializza();
    c.grezzo("Content-Length: 500\r\n\r\n{\"jsonrpc\"");  // and then the client is gone
    c.chiudi_ingresso();
    EXPECT_EQ(c.stato_uscita(), 1);
    EXPECT_EQ(c.errori(), "");
  }
}

// Malformed headers are answered with a parse error and the next message is read.
TEST(ServerCicloDiVita, AMalformedHeaderIsAParseErrorAndTheNextMessageIsRead) {
  ClienteLsp c;
  c.inizializza();
  const struct {
    const char* nome;
    std::string byte;
  } casi[] = {
      {"no colon", "garbage without a colon\r\n\r\n"},
      {"length not a number", "Content-Length: dodici\r\n\r\n"},
      {"no length", "Content-Type: application/json\r\n\r\n"},
      {"bytes before the header", "{}}Content-Length: 2\r\n\r\n{}"},
      {"header line too long", std::string(10000, 'x') + "\r\n\r\n"},
  };
  int id = 100;
  for (const auto& caso : casi) {
    c.grezzo(caso.byte);
    const json r = c.risposta(nullptr);
    EXPECT_EQ(r["error"]["code"], -32700) << caso.nome;
    c.notifiche.clear();
    c.richiesta(++id, "shutdown-no");
    EXPECT_EQ(c.risposta(id)["error"]["code"], -32601) << "after: " << caso.nome;
  }
}

}  // namespace
}  // namespace cmp::prova
