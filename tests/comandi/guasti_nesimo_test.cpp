// Every command that writes, run through its own core on a folder in memory, with the
// n-th operation on its folder failing, for every n up to the number the command needs: a
// lock that cannot be had, a full disk, a write cut short, a rename or a sync refused, a
// text that cannot be read or deleted, a folder that cannot be made or listed, wherever
// they fall. Each time the run ends with status 3 and one line naming the file and the
// reason (for the built-in run a text that cannot be read is error 25 instead; the
// journal is never named, but the file the user asked for), every file is whole (old or
// new), the three binary files are all old or all new, the inputs are byte for byte as
// they were, and nothing is left under a temporary name.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "cartella_guasta.h"
#include "comandi/avvio.h"
#include "comandi/ciclo_watch.h"
#include "comandi/esporta.h"
#include "comandi/nuclei.h"
#include "errori/stati_uscita.h"

namespace cmp {
namespace {

using prova::CartellaGuasta;
using prova::Operazione;

const std::vector<std::string> kBinari = {"VallorsaC_Pietrana_linea.dat", "VallorsaC_Pietrana_4721.sim",
                                          "VallorsaC_Pietrana_4721.dat"};
const std::vector<std::string> kTesti = {"VallorsaC_Pietrana_linea.txt", "VallorsaC_Pietrana_4721-.txt"};

// Quiet: the loop runs a few hundred times.
class InterfacciaMuta : public Interfaccia {
 public:
  void mostra_attesa() override {}
  void mostra_errore(const std::string&) override {}
};

// watch's system with nothing to wait for: one rebuild is all the loop asks.
class SorveglianzaMuta : public Sorveglianza {
 public:
  evento_sorveglianza attendi(int) override { return evento_sorveglianza::fine; }
  void pubblica(const std::string&, const std::string&) override { ++pubblicate; }
  int pubblicate = 0;
};

struct esito {
  int stato;
  std::string errori;  // standard error
};

struct Comando {
  const char* nome;
  // What the folder holds before the run: the inputs and an earlier run's files.
  std::function<void(CartellaGuasta&)> prepara;
  std::function<int(CartellaGuasta&)> esegui;
  // The names the run only reads.
  std::vector<std::string> ingressi;
  // What stands before the line naming the file and the reason.
  const char* testa = "compattatore: error: ";
  // The file written once the binary files are in place: a failure from its first
  // operation on leaves them all new.
  const char* dopo_i_binari = nullptr;
};

void file_precedenti(CartellaGuasta& c, const std::vector<std::string>& nomi) {
  for (const auto& nome : nomi) c.file[nome] = "earlier run: " + nome;
}

// The built-in descriptions (and crew documents), as export writes them.
const std::map<std::string, std::string>& esportati() {
  static const std::map<std::string, std::string> file = [] {
    CartellaMemoria m;
    esporta_in(m);
    return m.file;
  }();
  return file;
}

void descrizioni(CartellaGuasta& c) {
  for (const auto& nome : kTesti) c.file[nome] = esportati().at(nome);
}

opzioni_lette opzioni(std::map<std::string, std::string> valori) {
  opzioni_lette o;
  o.valori = std::move(valori);
  return o;
}

// The folder is both the inputs' and the outputs'.
int compila(CartellaGuasta& c) { return compila_in(opzioni({{"--line", kTesti[0]}, {"--train", kTesti[1]}}), c, c); }

// The binary files of a clean compile of the built-in descriptions.
const std::map<std::string, std::string>& compilati() {
  static const std::map<std::string, std::string> file = [] {
    CartellaGuasta m;
    descrizioni(m);
    compila(m);
    std::map<std::string, std::string> binari;
    for (const auto& nome : kBinari) binari[nome] = m.file.at(nome);
    return binari;
  }();
  return file;
}

int disegna(CartellaGuasta& c, const std::string& uscita) {
  return disegna_in(opzioni({{"--line", kTesti[0]}, {"--train", kTesti[1]}, {"--out", uscita}}), c, c);
}

// One rebuild, its status line on standard error: status 0 when it wrote and published
// everything, 3 otherwise.
int ricostruisci_una_volta(CartellaGuasta& c) {
  parametri_watch p;
  p.opzioni = opzioni({{"--line", kTesti[0]}, {"--train", kTesti[1]}});
  p.uscita = ".";
  SorveglianzaMuta os;
  ricostruisci(os, p, c, c, 1, stderr);
  return os.pubblicate == 1 ? 0 : 3;
}

const Comando kComandi[] = {
    {"BuiltInRun",
     [](CartellaGuasta& c) { file_precedenti(c, kBinari); },
     [](CartellaGuasta& c) {
       InterfacciaMuta ui;
       return run_incorporato_in(c, ui);
     },
     {},
     "compattatore: "},
    {"Compile",
     [](CartellaGuasta& c) {
       descrizioni(c);
       file_precedenti(c, kBinari);
     },
     compila, kTesti},
    {"Export",
     [](CartellaGuasta& c) { file_precedenti(c, kTesti); },
     [](CartellaGuasta& c) { return esporta_in(c); },
     {}},
    {"PlotSvg",
     [](CartellaGuasta& c) {
       descrizioni(c);
       file_precedenti(c, {"linea.svg"});
     },
     [](CartellaGuasta& c) { return disegna(c, "linea.svg"); }, kTesti},
    {"PlotPage",
     [](CartellaGuasta& c) {
       descrizioni(c);
       file_precedenti(c, {"linea.html"});
     },
     [](CartellaGuasta& c) { return disegna(c, "linea.html"); }, kTesti},
    {"PlotFromCompiled",
     [](CartellaGuasta& c) {
       for (const auto& [nome, byte] : compilati()) c.file[nome] = byte;
       file_precedenti(c, {"linea.svg"});
     },
     [](CartellaGuasta& c) {
       return disegna_in(opzioni({{"--from", "."}, {"--out", "linea.svg"}}), c, c);
     },
     kBinari},
    {"WatchRebuild",
     [](CartellaGuasta& c) {
       descrizioni(c);
       file_precedenti(c, kBinari);
       file_precedenti(c, {"VallorsaC_Pietrana_4721.html"});
     },
     ricostruisci_una_volta, kTesti, "", "VallorsaC_Pietrana_4721.html"},
};

// The compile, run on its own.
const Comando& kCompila = kComandi[1];

void PrintTo(const Comando& c, std::ostream* os) { *os << c.nome; }

esito esegui(const Comando& comando, CartellaGuasta& c) {
  comando.prepara(c);
  c.registro.clear();
  testing::internal::CaptureStderr();
  const int stato = comando.esegui(c);
  std::string errori = testing::internal::GetCapturedStderr();
  // watch's status line without the time its rebuild took
  const auto inizio = errori.find("watch: rebuild 1 in ");
  const auto fine = errori.find(" ms: ", inizio);
  if (inizio != std::string::npos && fine != std::string::npos) {
    errori.replace(inizio, fine + 5 - inizio, "watch: rebuild 1: ");
  }
  return {stato, errori};
}

// What a failing operation's message says it could not do.
std::string non_fatto(Operazione o) {
  switch (o) {
    case Operazione::creazione:
      return "cannot create ";
    case Operazione::lettura:
    case Operazione::elenco_file:
      return "cannot read ";
    default:
      return "cannot write ";
  }
}

// The lines the command prints when its operation fails with `riga` ("cannot write
// FILE: REASON"): watch says it in its status line, after the reader's own line.
std::string righe_attese(const Comando& comando, const std::string& riga) {
  if (comando.nome != std::string("WatchRebuild")) return comando.testa + riga + "\n";
  if (riga.rfind("cannot read ", 0) == 0) {
    return "compattatore: error: " + riga + "\nwatch: rebuild 1: not rebuilt: a description cannot be read\n";
  }
  return "watch: rebuild 1: " + riga + "\n";
}

// The name a failing operation's message gives: an operation on the journal is told by
// the file of its set the user asked for, the last one written before it.
std::string nominato(const std::vector<CartellaGuasta::Voce>& registro, std::size_t n) {
  if (registro[n].nome != Cartella::kGiornale) return registro[n].nome;
  for (std::size_t i = n; i-- > 0;) {
    if (registro[i].operazione == Operazione::scrittura && registro[i].nome != Cartella::kGiornale) {
      return registro[i].nome;
    }
  }
  ADD_FAILURE() << "the journal before any file of its set";
  return registro[n].nome;
}

// Every name the command writes, as a clean run shows them.
std::vector<std::string> nomi_scritti(const CartellaGuasta& pulita) {
  std::vector<std::string> nomi;
  for (const auto& [nome, messi] : pulita.scritti) nomi.push_back(nome);
  return nomi;
}

bool binari_tutti(const CartellaGuasta& c, const std::map<std::string, std::string>& attesi) {
  return std::all_of(kBinari.begin(), kBinari.end(), [&](const std::string& nome) {
    const auto it = c.file.find(nome);
    const auto atteso = attesi.find(nome);
    return (it == c.file.end()) == (atteso == attesi.end()) && (it == c.file.end() || it->second == atteso->second);
  });
}

class GuastoNesimo : public testing::TestWithParam<Comando> {};

TEST_P(GuastoNesimo, EveryFailingOperationLeavesWholeFilesAndNamesTheFile) {
  CartellaGuasta pulita;
  const esito riuscito = esegui(GetParam(), pulita);
  ASSERT_EQ(riuscito.stato, 0) << riuscito.errori;
  const auto operazioni = pulita.registro;
  ASSERT_FALSE(operazioni.empty());
  CartellaGuasta prima;
  GetParam().prepara(prima);
  const auto vecchi = prima.file;
  const auto nuovi = pulita.file;  // without the texts the built-in run deletes
  std::size_t inizio_dopo_i_binari = operazioni.size();
  if (const char* nome = GetParam().dopo_i_binari) {
    const auto primo = std::find_if(operazioni.begin(), operazioni.end(),
                                    [&](const CartellaGuasta::Voce& v) { return v.nome == nome; });
    ASSERT_NE(primo, operazioni.end());
    inizio_dopo_i_binari = static_cast<std::size_t>(primo - operazioni.begin());
  }

  for (std::size_t n = 0; n < operazioni.size(); ++n) {
    const auto& guasto = operazioni[n];
    SCOPED_TRACE("operation " + std::to_string(n) + ": " + prova::nome_operazione(guasto.operazione) + " " +
                 guasto.nome);
    CartellaGuasta c;
    c.guasta = n;
    const esito e = esegui(GetParam(), c);
    ASSERT_GT(c.registro.size(), n) << "the run took another path";
    const bool testo_incorporato =
        guasto.operazione == Operazione::lettura && GetParam().nome == std::string("BuiltInRun");
    if (testo_incorporato) {
      // A built-in text that cannot be read is error 25 of the compile, not a failed run.
      EXPECT_EQ(e.stato, 0) << e.errori;
    } else if (e.stato == 0) {
      // Only cleaning up can fail without failing the run: a second name of an old file,
      // the listing of what killed runs left.
      EXPECT_TRUE(guasto.operazione == Operazione::eliminazione || guasto.operazione == Operazione::elenco);
      EXPECT_TRUE(binari_tutti(c, nuovi));
    } else {
      EXPECT_EQ(e.stato, 3);
      EXPECT_EQ(e.errori, righe_attese(GetParam(), non_fatto(guasto.operazione) + nominato(operazioni, n) +
                                                       ": No space left on device"));
      if (n < inizio_dopo_i_binari) {
        EXPECT_TRUE(binari_tutti(c, vecchi)) << "the earlier binary files must all be there";
      } else {
        EXPECT_TRUE(binari_tutti(c, nuovi)) << "the binary files written before must all be there";
      }
    }
    for (const auto& nome : GetParam().ingressi) EXPECT_EQ(c.file[nome], vecchi.at(nome)) << nome << " changed";
    // A text that cannot be read changes what is compiled: the files are then this run's own.
    std::map<std::string, std::string> di_questa_corsa;
    for (const auto& [nome, messi] : c.scritti) di_questa_corsa[nome] = messi.back();
    EXPECT_TRUE(binari_tutti(c, vecchi) || binari_tutti(c, di_questa_corsa)) << "old and new binary files side by side";
    for (const auto& [nome, byte] : c.file) {
      if (nome.rfind(".compattatore.", 0) == 0) continue;
      const bool vecchio = vecchi.count(nome) && vecchi.at(nome) == byte;
      const auto& messi = c.scritti[nome];  // a text the run deletes later is new too
      const bool nuovo = std::find(messi.begin(), messi.end(), byte) != messi.end();
      EXPECT_TRUE(vecchio || nuovo) << nome << " is neither the earlier file nor one this run wrote whole";
      if (nuovo && !testo_incorporato) {
        const auto& puliti = pulita.scritti[nome];
        EXPECT_NE(std::find(puliti.begin(), puliti.end(), byte), puliti.end()) << nome << " differs from a clean run's";
      }
    }
    if (guasto.operazione != Operazione::eliminazione) {
      EXPECT_EQ(c.temporanei(), std::vector<std::string>{}) << "left behind";
    }
    EXPECT_EQ(c.bloccata, c.sbloccata) << "a lock left taken";
  }
}

// A run killed at any step of its writing (every operation after the kill never happens,
// cleaning up included): once the next write has put back what the journal names, the
// folder holds all the old binary files or all the new ones, nothing is left under a
// temporary or second name, and a later run succeeds.
TEST_P(GuastoNesimo, AKilledRunLeavesAllOldOrAllNewFilesOnceRecovered) {
  CartellaGuasta pulita;
  ASSERT_EQ(esegui(GetParam(), pulita).stato, 0);
  const auto nomi = nomi_scritti(pulita);
  const std::size_t operazioni = pulita.registro.size();
  CartellaGuasta prima;
  GetParam().prepara(prima);
  const auto vecchi = prima.file;
  const auto nuovi = pulita.file;
  for (std::size_t n = 0; n <= operazioni; ++n) {
    SCOPED_TRACE("killed before operation " + std::to_string(n));
    CartellaGuasta c;
    GetParam().prepara(c);
    c.uccisa = n;
    testing::internal::CaptureStderr();
    try {
      GetParam().esegui(c);
    } catch (const CartellaGuasta::Uccisa&) {
    }
    testing::internal::GetCapturedStderr();
    CartellaGuasta dopo;  // the folder as the kill left it, seen by the next run
    dopo.file = c.file;
    dopo.ripristina_interrotta(nomi);
    EXPECT_TRUE(binari_tutti(dopo, vecchi) || binari_tutti(dopo, nuovi)) << "old and new binary files side by side";
    EXPECT_EQ(dopo.temporanei(), std::vector<std::string>{}) << "the journal, a temporary or a second name left";
    dopo.file = c.file;
    testing::internal::CaptureStderr();
    const int stato = GetParam().esegui(dopo);
    const std::string errori = testing::internal::GetCapturedStderr();
    EXPECT_EQ(stato, 0) << errori;
    EXPECT_TRUE(binari_tutti(dopo, nuovi)) << "a later run replaces them all";
  }
}

INSTANTIATE_TEST_SUITE_P(Comandi, GuastoNesimo, testing::ValuesIn(kComandi),
                         [](const testing::TestParamInfo<Comando>& i) { return std::string(i.param.nome); });

// The recovery itself failing: a compile killed at each step that leaves a journal, then
// the next compile with each of its operations failing (the journal read, a second name
// put back, the journal removed, the left-overs listed and removed, and all after). The
// failed run says so in one line, and the folder is still one that the journal puts
// right: all old or all new files once recovered, and a later compile succeeds.
TEST(GuastoNesimo, ARecoveryThatFailsPartWayIsTakenUpByTheNextWrite) {
  const Comando& compile = kCompila;
  CartellaGuasta pulita;
  ASSERT_EQ(esegui(compile, pulita).stato, 0);
  const std::size_t operazioni = pulita.registro.size();
  const auto nomi = nomi_scritti(pulita);
  CartellaGuasta prima;
  compile.prepara(prima);
  int provate = 0;
  for (std::size_t n = 0; n <= operazioni; ++n) {
    CartellaGuasta uccisa;
    compile.prepara(uccisa);
    uccisa.uccisa = n;
    try {
      compile.esegui(uccisa);
    } catch (const CartellaGuasta::Uccisa&) {
    }
    if (!uccisa.file.count(Cartella::kGiornale)) continue;
    CartellaGuasta misura;  // how many operations the recovering run takes
    misura.file = uccisa.file;
    ASSERT_EQ(compile.esegui(misura), 0);
    for (std::size_t m = 0; m < misura.registro.size(); ++m) {
      SCOPED_TRACE("killed before operation " + std::to_string(n) + ", then operation " + std::to_string(m) +
                   " failing: " + prova::nome_operazione(misura.registro[m].operazione) + " " +
                   misura.registro[m].nome);
      CartellaGuasta c;
      c.file = uccisa.file;
      c.guasta = m;
      testing::internal::CaptureStderr();
      const int stato = compile.esegui(c);
      const std::string errori = testing::internal::GetCapturedStderr();
      EXPECT_TRUE(stato == 0 || (stato == 3 && std::count(errori.begin(), errori.end(), '\n') == 1)) << errori;
      if (misura.registro[m].operazione != Operazione::lettura) {  // a journal that cannot be read is named
        EXPECT_EQ(errori.find(Cartella::kGiornale), std::string::npos) << errori;
      }
      CartellaGuasta dopo;
      dopo.file = c.file;
      dopo.ripristina_interrotta(nomi);
      EXPECT_TRUE(binari_tutti(dopo, prima.file) || binari_tutti(dopo, pulita.file))
          << "old and new binary files side by side";
      dopo.file = c.file;
      EXPECT_EQ(compile.esegui(dopo), 0);
      EXPECT_TRUE(binari_tutti(dopo, pulita.file));
      EXPECT_EQ(dopo.temporanei(), std::vector<std::string>{});
      ++provate;
    }
  }
  EXPECT_GT(provate, 0) << "no kill left a journal";
}

// The record of a clean built-in run: the folder's lock taken once, before anything, and
// held to the end; each text read once, then deleted; every file
// written under a temporary name, flushed, renamed; one folder sync per replacement; the
// binary files with a journal of their renames, put in place first and deleted last
// (through a second name, which is deleted with the old files).
TEST(GuastoNesimo, TheBuiltInRunReadsEachTextOnceAndSyncsEachReplacement) {
  CartellaGuasta c;
  InterfacciaMuta ui;
  ASSERT_EQ(run_incorporato_in(c, ui), 0);
  std::map<std::string, int> letture, eliminazioni;
  int scritture = 0, rinomine = 0, sincronizzazioni = 0, blocchi = 0, elenchi = 0;
  for (const auto& v : c.registro) {
    switch (v.operazione) {
      case Operazione::lettura:
        ++letture[v.nome];
        break;
      case Operazione::eliminazione:
        ++eliminazioni[v.nome.rfind(".compattatore.old-", 0) == 0 ? "second name" : v.nome];
        break;
      case Operazione::scrittura:
        ++scritture;
        break;
      case Operazione::rinomina:
        ++rinomine;
        break;
      case Operazione::sincronizzazione:
        ++sincronizzazioni;
        break;
      case Operazione::blocco:
        ++blocchi;
        break;
      case Operazione::elenco:
        ++elenchi;
        break;
      case Operazione::elenco_file:
      case Operazione::creazione:
        ADD_FAILURE() << "the program's folder is neither made nor listed";
        break;
    }
  }
  EXPECT_EQ(blocchi, 1) << "the lock is taken once and held for the whole run";
  EXPECT_EQ(c.registro.front().operazione, Operazione::blocco) << "before the first file";
  EXPECT_EQ(elenchi, 6) << "before each replacement, what killed runs left is looked for";
  EXPECT_EQ(letture, (std::map<std::string, int>{{kTesti[0], 1}, {kTesti[1], 1}}));
  EXPECT_EQ(eliminazioni,
            (std::map<std::string, int>{{kTesti[0], 1}, {kTesti[1], 1}, {Cartella::kGiornale, 1}, {"second name", 1}}));
  EXPECT_EQ(scritture, 9) << "two texts, three documents, three binary files, the journal";
  EXPECT_EQ(rinomine, 10) << "each file put in place, and the journal's second name";
  EXPECT_EQ(sincronizzazioni, 9 + 6)
      << "each file flushed, then the folder after each replacement: five files alone, the binary files together";
  EXPECT_EQ(c.temporanei(), std::vector<std::string>{});
}

}  // namespace
}  // namespace cmp
