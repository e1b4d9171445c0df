#include "builtin/treno_incorporato.h"

#include <array>
#include <cstddef>
#include <string_view>

#include "builtin/scrittore_testo.h"
#include "model/nomi_file.h"

namespace cmp {
namespace {

// A keyword and numbers, each right-aligned in its own width right after the previous comma.
template <std::size_t N>
std::string riga_allineata(std::string_view chiave, const std::array<int, N>& valori,
                           const std::array<int, N>& larghezze) {
  std::string riga(chiave);
  for (std::size_t i = 0; i < N; ++i) {
    const std::string numero = std::to_string(valori[i]);
    riga += ',';
    if (numero.size() < static_cast<std::size_t>(larghezze[i])) riga.append(larghezze[i] - numero.size(), ' ');
    riga += numero;
  }
  return riga;
}

std::string riga_profilo(std::string_view chiave, int posizione, int valore) {
  return riga_allineata<2>(chiave, {posizione, valore}, {8, 6});
}

constexpr std::array<int, 16> kLarghezzeStazione = {8, 3, 5, 3, 2, 2, 3, 1, 1, 3, 1, 1, 5, 4, 2, 2};
constexpr std::array<int, 11> kLarghezzeSegnale = {8, 4, 2, 2, 3, 2, 5, 3, 1, 1, 2};

struct stazione_incorporata {
  std::array<int, 16> valori;
  std::string_view nome;
};

// Position, kind, length of the area, ten values carried unread to the simulator (the third
// of them the extension flag), and the time of day: departure, arrival at the last station.
constexpr std::array<stazione_incorporata, 4> kStazioni = {{
    {{0, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 12, 15}, "VALLORSA C."},
    {{6600, 21, 300, 0, 0, 1, 0, 0, 0, 4, 1, 1, 30, 6, 20, 0}, "SAN LORIANO"},
    {{19050, 21, 300, 0, 0, 1, 0, 0, 0, 4, 1, 1, 30, 6, 32, 0}, "BRENZOLA"},
    {{28750, 11, 600, 1, 0, 0, 1, 1, 0, 2, 1, 1, 0, 6, 43, 0}, "PIETRANA"},
}};

// Three pairs, each before a station: a signal of the first kind and, further on, one of the second.
constexpr std::array<std::array<int, 11>, 6> kSegnali = {{
    {4400, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0},
    {5600, 2, 3, 1, 0, 0, 0, 0, 0, 0, 0},
    {17300, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0},
    {18400, 2, 3, 1, 0, 0, 0, 0, 0, 0, 0},
    {26500, 1, 3, 4, 0, 0, 1, 3, 1, 0, 0},
    {27650, 2, 2, 3, 0, 0, 2, 2, 1, 0, 0},
}};

constexpr std::array<std::array<int, 2>, 15> kAderenze = {{
    {650, 85},
    {1900, 100},
    {5700, 70},
    {6400, 100},
    {9950, 70},
    {11850, 90},
    {12650, 80},
    {13850, 100},
    {17150, 85},
    {18950, 100},
    {24050, 85},
    {24200, 80},
    {24350, 70},
    {25350, 80},
    {28450, 100},
}};

constexpr std::array<std::array<int, 2>, 4> kVelocita = {{{0, 70}, {6800, 80}, {10500, 65}, {11850, 80}}};

// The clock's three numbers stand apart by blanks only, and the row keeps its final blank.
std::string riga_orologio() {
  return "orologio," + std::string(4, ' ') + "6" + std::string(15, ' ') + "11" + std::string(12, ' ') + "45 ";
}

}  // namespace

orario_incorporato orario_stazione_incorporata(std::size_t indice) {
  const auto& v = kStazioni.at(indice).valori;
  return {v[13], v[14]};
}

int velocita_incorporata(std::size_t indice) { return kVelocita.at(indice)[1]; }

std::vector<std::string> righe_treno_incorporato() {
  std::vector<std::string> righe = {
      "[generale]", "numero vetture,    4",  "percentuale massa frenata,    105", "sabbia,    60", riga_orologio(),
      "[aderenze]", "aderenza,   0,    100",
  };
  for (const auto& [posizione, valore] : kAderenze) righe.push_back(riga_profilo("aderenza", posizione, valore));
  righe.push_back("[vel_limite]");
  for (const auto& [posizione, valore] : kVelocita) righe.push_back(riga_profilo("velocita", posizione, valore));
  righe.push_back("[stazioni]");
  for (const auto& stazione : kStazioni) {
    righe.push_back(riga_allineata("stazione", stazione.valori, kLarghezzeStazione) + ", " +
                    std::string(stazione.nome));
  }
  righe.push_back("[rallentamenti]");
  righe.push_back("[segnali]");
  for (const auto& segnale : kSegnali) righe.push_back(riga_allineata("segnale", segnale, kLarghezzeSegnale));
  righe.push_back("[codici]");
  righe.push_back("[fine]");
  return righe;
}

void dati_treno(const Stato& s, Cartella& cartella) {
  scrivi_tabella(cartella, nome_descrizione_treno(identita_di(s)), tabella_righe(righe_treno_incorporato()));
}

}  // namespace cmp
