#include "bench/generatore.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace cmp::banco {
namespace {

// Cells of one 20 km block (400 cells), from the block's first cell. Each kind of object
// has its own stretch, so that none lands on another and the finishing pass always
// finds room for its marks:
//   20..26    station stop cell (its approach markers only touch `avviso`)
//   42, 50    speed-indicator boards; 46 a caption board; 56 an abbattimento point
//   64..142   signals, every other cell
//   162..381  slow orders: the first one's approach cells and warning point, then a
//             start every 9 cells; 9 keeps each start, end, warning point and the three
//             look-back marks of the slow orders around it on cells of their own
constexpr std::int32_t kCelleBlocco = kMetriBlocco / 50;
constexpr std::int32_t kCellaStazione = 20;  // the station's position
constexpr std::int32_t kCelleIndicatori[] = {42, 50};
constexpr std::int32_t kCellaCartello = 46;
constexpr std::int32_t kCellaAbbattimento = 56;
constexpr std::int32_t kPrimoSegnale = 64;
constexpr std::int32_t kUltimoSegnale = 142;
// A warning point looks 20 cells back for signals: the first one (the first start less
// 24) stands more than 20 cells after the last signal.
constexpr std::int32_t kPrimoRallentamento = 190;
constexpr std::int32_t kPassoRallentamenti = 9;
// After its end (start + 2) a slow order looks 12 cells on for a signal: the last one
// ends that far before the next block.
constexpr std::int32_t kUltimoRallentamento = 385;

// Captions use scenario entries 80 downwards and stations 1 upwards: with 50 stations
// 28 captions fill the table.
constexpr int kCartelliMassimi = 28;
constexpr int kMontagneMassime = 80;
// The plan cursor may not pass metre 1,000,000 inside a curve row.
constexpr std::int32_t kFineCurveMassima = 999999;

// Metres of the position that maps to a cell through p / 50 + 1 (signals, slow orders, boards).
std::int32_t metri_piu_uno(std::int32_t cella) { return (cella - 1) * 50; }

std::string campo(std::int32_t v) { return std::to_string(v); }
std::string campo(std::string_view v) { return std::string(v); }

template <typename... T>
void riga(std::string& out, std::string_view chiave, const T&... valori) {
  out += chiave;
  ((out += ",  ", out += campo(valori)), ...);
  out += "\r\n";
}

void intestazione(std::string& out, std::string_view nome) {
  out += nome;
  out += "\r\n";
}

void righe_generali_linea(std::string& out, std::int32_t lunghezza) {
  intestazione(out, "[generale]");
  riga(out, "lunghezza percorso", lunghezza);
  riga(out, "progressiva chilometrica uno", 0, 132100, 0);
  riga(out, "progressiva chilometrica due", 0, 0, 0);
  riga(out, "progressiva chilometrica tre", 0, 0, 0);
  riga(out, "sfondo uno", 0);
  riga(out, "sfondo due", 1);
  riga(out, "sfondo tre", 0);
  riga(out, "ripetizione segnali 4 codici", 0, 0);
}

// A 100 m curve every 200 m; pairs of opposite sides keep the line from winding up.
int righe_curve(std::string& out, std::int32_t lunghezza) {
  intestazione(out, "[curve]");
  const std::int32_t fine_massima = std::min(lunghezza, kFineCurveMassima);
  int n = 0;
  for (std::int32_t p = 50; p + 100 <= fine_massima; p += 200, ++n) {
    std::string chiave = "curva";
    chiave += n % 2 == 0 ? 'd' : 's';
    chiave += static_cast<char>('1' + (n / 2) % 6);
    riga(out, chiave, p, 100);
  }
  return n;
}

// A gradient every 100 m, from -24 to 24 per mille.
int righe_pendenze(std::string& out, std::int32_t lunghezza) {
  intestazione(out, "[pendenze]");
  int n = 0;
  for (std::int32_t p = 0; p < lunghezza; p += 100, ++n) riga(out, "pendenza", p, (n * 13) % 49 - 24);
  return n;
}

// Up to 80 stretches, spread evenly, in every kind (over 10: with markers).
int righe_montagne(std::string& out, std::int32_t lunghezza) {
  static constexpr std::int32_t kTipi[] = {11, 2, 12, 1, 13, 3};
  intestazione(out, "[montagne]");
  const int quante = std::min(kMontagneMassime, lunghezza / 12500);
  if (quante == 0) return 0;
  const std::int32_t passo = lunghezza / quante / 50 * 50;
  const std::int32_t estensione = std::min<std::int32_t>(1500, passo / 2 / 50 * 50);
  for (int i = 0; i < quante; ++i) {
    const std::int32_t inizio = i * passo + 2000;
    riga(out, "montagna", inizio, inizio + estensione, kTipi[i % 6]);
  }
  return quante;
}

int righe_indicatori(std::string& out, int blocchi) {
  intestazione(out, "[cartelli]");
  int n = 0;
  for (int b = 0; b < blocchi; ++b) {
    for (const std::int32_t cella : kCelleIndicatori) {
      const std::int32_t p = metri_piu_uno(b * kCelleBlocco + cella);
      if (n % 2 == 0) {
        riga(out, "indicatori_vmax", p, 75, 80, 80, 0, "", "", "", 0);
      } else {
        riga(out, "indicatori_vmax", p, 100, 90, 80, 1, 60, 60, 50, 2);
      }
      ++n;
    }
  }
  return n;
}

int righe_cartelli(std::string& out, int blocchi) {
  intestazione(out, "[indicazioni]");
  const int quanti = std::min(kCartelliMassimi, blocchi);
  for (int b = 0; b < quanti; ++b) {
    const std::int32_t p = metri_piu_uno(b * kCelleBlocco + kCellaCartello);
    const std::int32_t km = 132100 + p;
    const std::string metri = std::to_string(1000 + km % 1000).substr(1);
    riga(out, "cartello_indicatore", p, "(Sottovia)(Km " + std::to_string(km / 1000) + "+" + metri + ")");
  }
  return quanti;
}

void righe_generali_treno(std::string& out) {
  intestazione(out, "[generale]");
  riga(out, "numero vetture", 8);
  riga(out, "percentuale massa frenata", 105);
  riga(out, "sabbia", 60);
  riga(out, "orologio", 6, 0, 0);
}

int righe_aderenze(std::string& out, std::int32_t lunghezza) {
  intestazione(out, "[aderenze]");
  int n = 0;
  for (std::int32_t p = 0; p < lunghezza; p += 10000, ++n) riga(out, "aderenza", p, 70 + (n % 4) * 10);
  return n;
}

int righe_velocita(std::string& out, std::int32_t lunghezza) {
  intestazione(out, "[vel_limite]");
  int n = 0;
  for (std::int32_t p = 0; p < lunghezza; p += 5000, ++n) riga(out, "velocita", p, 60 + 10 * ((n * 3) % 11));
  return n;
}

// One station per block, 20 km apart, in every kind of area (30: no cells at all).
int righe_stazioni(std::string& out, int blocchi) {
  struct tipo_stazione {
    std::int32_t tipo, lunghezza, estensione;
  };
  static constexpr tipo_stazione kTipi[] = {{2, 600, 0}, {21, 300, 1}, {11, 600, 0},
                                            {5, 300, 0}, {7, 300, 0},  {30, 400, 0}};
  intestazione(out, "[stazioni]");
  for (int b = 0; b < blocchi; ++b) {
    const tipo_stazione& t = kTipi[b % 6];
    const std::int32_t p = (b * kCelleBlocco + kCellaStazione) * 50;
    const std::int32_t minuti = b * 12;
    const std::string nome = "POSTO " + std::to_string(100 + b).substr(1);
    riga(out, "stazione", p, t.tipo, t.lunghezza, 0, b % 2, t.estensione, 1, 1, 0, 4, 1, 1, 30, 6 + minuti / 60,
         minuti % 60, 0, nome);
  }
  return blocchi;
}

// Start every 9 cells; the first of each block also marks its four approach cells.
int righe_rallentamenti(std::string& out, int blocchi) {
  static constexpr std::int32_t kVelocita[] = {60, 80, 100, 120, 140};
  intestazione(out, "[rallentamenti]");
  int n = 0;
  for (int b = 0; b < blocchi; ++b) {
    for (std::int32_t cella = kPrimoRallentamento; cella <= kUltimoRallentamento; cella += kPassoRallentamenti, ++n) {
      const std::int32_t x = metri_piu_uno(b * kCelleBlocco + cella);
      const std::int32_t approccio = cella == kPrimoRallentamento ? 1 : 0;
      riga(out, "rallentamento", x, kVelocita[n % 5], 100, n % 2, approccio, n % 3 == 0 ? 50 : 0);
    }
  }
  return n;
}

int righe_segnali(std::string& out, int blocchi) {
  intestazione(out, "[segnali]");
  int n = 0;
  for (int b = 0; b < blocchi; ++b) {
    for (std::int32_t cella = kPrimoSegnale; cella <= kUltimoSegnale; cella += 2, ++n) {
      const std::int32_t p = metri_piu_uno(b * kCelleBlocco + cella);
      riga(out, "segnale", p, 1 + n % 2, 3 + n % 3, 1, 0, 0, n % 2, 0, n % 4, 0, n % 2 == 0 ? 0 : 50);
    }
  }
  return n;
}

// An abbattimento row maps its position to the cell p / 50, without the + 1.
int righe_abbattimenti(std::string& out, int blocchi) {
  for (int b = 0; b < blocchi; ++b) {
    riga(out, "abbattimento", (b * kCelleBlocco + kCellaAbbattimento) * 50, b % 2 == 0 ? 150 : 0);
  }
  return blocchi;
}

}  // namespace

descrizioni genera_descrizioni(std::int32_t lunghezza) {
  if (lunghezza < kMetriBlocco || lunghezza > kLunghezzaMassima || lunghezza % kMetriBlocco != 0) {
    throw std::invalid_argument("the length must be a multiple of 20000 m from 20000 to 1000000");
  }
  const int blocchi = lunghezza / kMetriBlocco;
  descrizioni d;
  conteggi& c = d.righe;

  righe_generali_linea(d.linea, lunghezza);
  c.curve = righe_curve(d.linea, lunghezza);
  c.pendenze = righe_pendenze(d.linea, lunghezza);
  c.montagne = righe_montagne(d.linea, lunghezza);
  c.indicatori = righe_indicatori(d.linea, blocchi);
  c.cartelli = righe_cartelli(d.linea, blocchi);
  intestazione(d.linea, "[fine]");

  righe_generali_treno(d.treno);
  c.aderenze = righe_aderenze(d.treno, lunghezza);
  c.velocita = righe_velocita(d.treno, lunghezza);
  c.stazioni = righe_stazioni(d.treno, blocchi);
  c.rallentamenti = righe_rallentamenti(d.treno, blocchi);
  c.abbattimenti = righe_abbattimenti(d.treno, blocchi);
  c.segnali = righe_segnali(d.treno, blocchi);
  intestazione(d.treno, "[codici]");
  intestazione(d.treno, "[fine]");
  return d;
}

}  // namespace cmp::banco
