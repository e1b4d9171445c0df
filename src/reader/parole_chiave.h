#pragma once
// Every keyword of the two description formats, with the section it is written in and the
// fields that follow it (named as docs/descrizione-linea.md and docs/descrizione-treno.md
// name them): one table for the readers, the text check and the editor tools
// (completion, hover, outline and the syntax files). The readers find a row by the words
// its keyword field contains (`riconosce`), taken from here by `parole_di`; the test
// tests/lsp/parole_chiave_test.cpp checks each entry against them.
#include <span>
#include <string_view>

namespace cmp {

enum class formato_descrizione { linea, treno };

enum class tipo_campo { numero, testo };

// Which 50 m cell a row's first field (its position in metres) lands on.
enum class cella_riga {
  nessuna,          // the row has no position
  posizione,        // round(p / 50): gradients, curves, mountains, profiles, abbattimento points
  posizione_piu_1,  // round(p / 50 + 1): signals, slow orders, boards and captions
  fermata,          // a station: the stop cell, just before the end of its area
};

struct campo_riga {
  std::string_view nome;
  std::string_view unita;  // empty when the value has none
  tipo_campo tipo = tipo_campo::numero;
};

struct parola_chiave {
  formato_descrizione formato;
  std::string_view sezione;      // the header the row is written under, "[generale]" for the general rows
  std::string_view parola;       // as written in a description
  std::string_view riconosce;    // the words (blank-separated) a keyword field must all contain, lower-cased
  std::string_view varianti;     // for a keyword that takes letters or digits: what may follow it ("" otherwise)
  std::string_view significato;  // one line, in words
  std::span<const campo_riga> campi;
  cella_riga cella = cella_riga::nessuna;
};

namespace campi_parole {
inline constexpr campo_riga kLunghezza[] = {{"length L", "m"}};
inline constexpr campo_riga kProgressiva[] = {
    {"position", "m"}, {"kilometre value", "m"}, {"flag (1 adds 100 m to the kilometre value)", ""}};
inline constexpr campo_riga kSfondo[] = {{"value", ""}};
inline constexpr campo_riga kRipetizione[] = {{"first value", "m"}, {"second value", "m"}};
inline constexpr campo_riga kPendenza[] = {{"position", "m"}, {"gradient", "‰"}};
inline constexpr campo_riga kCurva[] = {{"position", "m"}, {"length", "m"}};
inline constexpr campo_riga kMontagna[] = {{"start", "m"}, {"end", "m"}, {"kind", ""}};
inline constexpr campo_riga kIndicatori[] = {{"position", "m"},
                                             {"vas: speed a of board s", "km/h"},
                                             {"vbs: speed b of board s", "km/h"},
                                             {"vcs: speed c of board s", "km/h"},
                                             {"strisces: stripes of board s", ""},
                                             {"vad: speed a of board d", "km/h"},
                                             {"vbd: speed b of board d", "km/h"},
                                             {"vcd: speed c of board d", "km/h"},
                                             {"strisced: stripes of board d", ""}};
inline constexpr campo_riga kCartello[] = {{"position", "m"}, {"caption", "", tipo_campo::testo}};

inline constexpr campo_riga kVetture[] = {{"number of cars", ""}};
inline constexpr campo_riga kMassaFrenata[] = {{"braked-mass percentage", "%"}};
inline constexpr campo_riga kSabbia[] = {{"sand", ""}};
inline constexpr campo_riga kOrologio[] = {{"hours", "h"}, {"minutes", "min"}, {"seconds", "s"}};
inline constexpr campo_riga kAderenza[] = {{"position", "m"}, {"adhesion", "%"}};
inline constexpr campo_riga kVelocita[] = {{"position", "m"}, {"speed limit", "km/h"}};
inline constexpr std::string_view kAlSimulatore = "value passed to the simulator";
inline constexpr campo_riga kStazione[] = {{"position", "m"},
                                           {"kind", ""},
                                           {"length of the station area", "m"},
                                           {kAlSimulatore, ""},
                                           {kAlSimulatore, ""},
                                           {"extension flag", ""},
                                           {kAlSimulatore, ""},
                                           {kAlSimulatore, ""},
                                           {kAlSimulatore, ""},
                                           {kAlSimulatore, ""},
                                           {kAlSimulatore, ""},
                                           {kAlSimulatore, ""},
                                           {kAlSimulatore, ""},
                                           {"time: hours", "h"},
                                           {"time: minutes", "min"},
                                           {"time: seconds", "s"},
                                           {"name", "", tipo_campo::testo}};
inline constexpr campo_riga kRallentamento[] = {{"x: start", "m"},
                                                {"v: speed", "km/h"},
                                                {"l: length", "m"},
                                                {"f_tt: value stored at the start and end", ""},
                                                {"f_ta: approach cells", ""},
                                                {"d_v: second value", ""}};
inline constexpr campo_riga kAbbattimento[] = {{"position", "m"}, {"value", ""}};
inline constexpr campo_riga kSegnale[] = {{"posizione: position", "m"},
                                          {"sx: kind on the left", ""},
                                          {"s1: tens of the first code", ""},
                                          {"s2: tens of the second code", ""},
                                          {"s3: tens of the third code", ""},
                                          {"rapp: tens of the fourth code", ""},
                                          {"dx: kind on the right", ""},
                                          {"d1: units of the first code", ""},
                                          {"d2: units of the second code", ""},
                                          {"d3: units of the third code", ""},
                                          {"tempo: time", ""}};
}  // namespace campi_parole

// The header every description starts its data with, in either case.
inline constexpr std::string_view kSezioneGenerale = "[generale]";

// One keyword a line, its columns aligned.
// clang-format off
inline constexpr parola_chiave kParoleChiave[] = {
    // The line description: general rows, read until the first header after [generale].
    {formato_descrizione::linea, kSezioneGenerale, "lunghezza percorso", "lunghezza percorso", "", "length of the line; sizes the track",
     campi_parole::kLunghezza},
    {formato_descrizione::linea, kSezioneGenerale, "progressiva chilometrica uno", "progressiva uno", "", "first kilometre reference",
     campi_parole::kProgressiva},
    {formato_descrizione::linea, kSezioneGenerale, "progressiva chilometrica due", "progressiva due", "", "second kilometre reference",
     campi_parole::kProgressiva},
    {formato_descrizione::linea, kSezioneGenerale, "progressiva chilometrica tre", "progressiva tre", "", "third kilometre reference",
     campi_parole::kProgressiva},
    {formato_descrizione::linea, kSezioneGenerale, "sfondo uno", "sfondo uno", "", "first background", campi_parole::kSfondo},
    {formato_descrizione::linea, kSezioneGenerale, "sfondo due", "sfondo due", "", "second background", campi_parole::kSfondo},
    {formato_descrizione::linea, kSezioneGenerale, "sfondo tre", "sfondo tre", "", "third background", campi_parole::kSfondo},
    {formato_descrizione::linea, kSezioneGenerale, "ripetizione segnali", "segnali ripetizione", " 4 codici| 9 codici",
     "signal repetition (4 or 9 codes)", campi_parole::kRipetizione},
    // The line description: the rows, known by keyword whatever header they stand under.
    {formato_descrizione::linea, "[curve]", "curva", "curva", "s1|s2|s3|s4|s5|s6|d1|d2|d3|d4|d5|d6",
     "a curve: s left, d right, class 1 (widest) to 6 (sharpest)", campi_parole::kCurva, cella_riga::posizione},
    {formato_descrizione::linea, "[pendenze]", "pendenza", "pendenza", "", "a gradient, holding up to the next one",
     campi_parole::kPendenza, cella_riga::posizione},
    {formato_descrizione::linea, "[montagne]", "montagna", "montagna", "", "a mountain stretch", campi_parole::kMontagna,
     cella_riga::posizione},
    {formato_descrizione::linea, "[cartelli]", "indicatori_v", "indicatori_v", "", "speed-indicator boards",
     campi_parole::kIndicatori, cella_riga::posizione_piu_1},
    {formato_descrizione::linea, "[indicazioni]", "cartello_indicatore", "indicat cartello", "", "a caption board",
     campi_parole::kCartello, cella_riga::posizione_piu_1},
    // The train description: every row after [generale], known by keyword.
    {formato_descrizione::treno, kSezioneGenerale, "numero vetture", "vetture", "", "number of coaches", campi_parole::kVetture},
    {formato_descrizione::treno, kSezioneGenerale, "percentuale massa frenata", "frenata massa", "", "braked-mass percentage",
     campi_parole::kMassaFrenata},
    {formato_descrizione::treno, kSezioneGenerale, "sabbia", "sabbia", "", "sand", campi_parole::kSabbia},
    {formato_descrizione::treno, kSezioneGenerale, "orologio", "orologio", "", "the clock at the start",
     campi_parole::kOrologio},
    {formato_descrizione::treno, "[aderenze]", "aderenza", "aderenza", "", "adhesion from this position on",
     campi_parole::kAderenza, cella_riga::posizione},
    {formato_descrizione::treno, "[vel_limite]", "velocita", "velocit", "", "speed limit from this position on",
     campi_parole::kVelocita, cella_riga::posizione},
    {formato_descrizione::treno, "[stazioni]", "stazione", "stazione", "", "a station", campi_parole::kStazione,
     cella_riga::fermata},
    {formato_descrizione::treno, "[rallentamenti]", "rallentamento", "rallentamento", "", "a slow order",
     campi_parole::kRallentamento, cella_riga::posizione_piu_1},
    {formato_descrizione::treno, "[rallentamenti]", "abbattimento", "abbattimento", "", "an abbattimento point",
     campi_parole::kAbbattimento, cella_riga::posizione},
    {formato_descrizione::treno, "[segnali]", "segnale", "segnale", "", "a signal", campi_parole::kSegnale,
     cella_riga::posizione_piu_1},
};
// clang-format on

// The section headers of each format, in the order a description writes them.
inline constexpr std::string_view kSezioniLinea[] = {kSezioneGenerale, "[curve]",       "[pendenze]", "[montagne]",
                                                     "[cartelli]",     "[indicazioni]", "[fine]"};
inline constexpr std::string_view kSezioniTreno[] = {kSezioneGenerale,  "[aderenze]", "[vel_limite]", "[stazioni]",
                                                     "[rallentamenti]", "[segnali]",  "[codici]",     "[fine]"};

// The words a keyword field must all contain to be the keyword written `parola` of format
// `f`, at compile time: a keyword the table lacks does not compile.
consteval std::string_view parole_di(formato_descrizione f, std::string_view parola) {
  for (const auto& p : kParoleChiave) {
    if (p.formato == f && p.parola == parola) return p.riconosce;
  }
  throw "a keyword missing from kParoleChiave";
}

// The field holds every blank-separated word of `parole` (as written: the caller chooses
// the case rule by giving the field or its lower-cased form).
constexpr bool contiene_parole(std::string_view campo, std::string_view parole) {
  while (!parole.empty()) {
    const auto spazio = parole.find(' ');
    if (campo.find(parole.substr(0, spazio)) == std::string_view::npos) return false;
    if (spazio == std::string_view::npos) break;
    parole.remove_prefix(spazio + 1);
  }
  return true;
}

}  // namespace cmp
