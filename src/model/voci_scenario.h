#pragma once
// The fixed entries at the top of the scenario table (80 to 86) and what each of their
// fields holds. Station entries grow from 1 upward and caption texts from 80 downward.
//
// Every accessor takes the table (`Stato::scenario`, or the entries decoded from a file)
// and gives back a reference to the field, const when the table is.

namespace cmp {

// One accessor a line, the fields and their units aligned.
// clang-format off
inline constexpr int kVoceUltimaStazione = 80;  // stations fill 1, 2, ... upward, at most to 80
inline constexpr int kVocePrimoCartello = 80;    // caption texts fill 80, 79, ... downward
// The kilometre references "tre", "due" and "uno", in this order.
inline constexpr int kVoceProgressivaTre = 81;
inline constexpr int kVoceProgressivaDue = 82;
inline constexpr int kVoceProgressivaUno = 83;
inline constexpr int kVoceTotali = 84;          // train and line totals
inline constexpr int kVoceIdentitaLinea = 85;   // the route and its check code
inline constexpr int kVoceIdentitaTreno = 86;   // the train, its clock and signal repetition

// A kilometre reference (entries 81 to 83); these take the entry itself.
template <typename Voce> auto& posizione_progressiva(Voce& v) { return v.intero1; }   // metres
template <typename Voce> auto& chilometri_progressiva(Voce& v) { return v.intero2; }  // metres
template <typename Voce> auto& bandiera_progressiva(Voce& v) { return v.intero3; }    // 1: +100

// A station (entries 1 to 80); these take the entry itself. The area runs from its start to
// its end around the station's position; the time is the one the train sheet shows (the
// departure, or the arrival at the last station), in seconds since midnight.
template <typename Voce> auto& inizio_area(Voce& v) { return v.intero1; }         // metres
template <typename Voce> auto& fine_area(Voce& v) { return v.intero2; }           // metres
template <typename Voce> auto& posizione_stazione(Voce& v) { return v.intero3; }  // metres
template <typename Voce> auto& orario_stazione(Voce& v) { return v.intero4; }     // seconds
template <typename Voce> auto& nome_stazione(Voce& v) { return v.testo; }
// Kinds from here on are stored in their entry but put no stop cell on the track.
inline constexpr int kPrimoTipoSenzaFermata = 25;

// Entry 84.
template <typename Tabella> auto& massa_frenata(Tabella& t) { return t[kVoceTotali].intero1; }  // per cent
template <typename Tabella> auto& lunghezza_linea(Tabella& t) { return t[kVoceTotali].intero2; }  // metres
template <typename Tabella> auto& numero_vetture(Tabella& t) { return t[kVoceTotali].intero3; }

// Entry 85. The three background values are kept out of order: "due" goes to `intero3`.
template <typename Tabella> auto& sfondo_uno(Tabella& t) { return t[kVoceIdentitaLinea].intero1; }
template <typename Tabella> auto& sfondo_due(Tabella& t) { return t[kVoceIdentitaLinea].intero3; }
template <typename Tabella> auto& sfondo_tre(Tabella& t) { return t[kVoceIdentitaLinea].intero2; }
template <typename Tabella> auto& testo_nome_linea(Tabella& t) { return t[kVoceIdentitaLinea].testo; }
// Reserved for the finishing pass: the fixed value 610 and the check code.
template <typename Tabella> auto& valore_fisso_scenario(Tabella& t) { return t[kVoceIdentitaLinea].breve1; }
template <typename Tabella> auto& codice_controllo_scenario(Tabella& t) { return t[kVoceIdentitaLinea].intero4; }

// Entry 86.
template <typename Tabella> auto& ripetizione_primo(Tabella& t) { return t[kVoceIdentitaTreno].intero1; }
template <typename Tabella> auto& ripetizione_secondo(Tabella& t) { return t[kVoceIdentitaTreno].intero2; }
template <typename Tabella> auto& numero_codici(Tabella& t) { return t[kVoceIdentitaTreno].intero3; }  // 0, 4 or 9
template <typename Tabella> auto& testo_numero_treno(Tabella& t) { return t[kVoceIdentitaTreno].testo; }
template <typename Tabella> auto& sabbia(Tabella& t) { return t[kVoceIdentitaTreno].breve1; }
template <typename Tabella> auto& orologio_ore(Tabella& t) { return t[kVoceIdentitaTreno].breve3; }
template <typename Tabella> auto& orologio_minuti(Tabella& t) { return t[kVoceIdentitaTreno].breve4; }
template <typename Tabella> auto& orologio_secondi(Tabella& t) { return t[kVoceIdentitaTreno].breve5; }

// clang-format on

}  // namespace cmp
