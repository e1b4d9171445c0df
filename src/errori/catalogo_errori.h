#pragma once
// Every number a compile can record, each defined once: its name, the description text
// it points into, whether the line reader stops before the train text with it, and the
// message the compile command prints for it. The readers, the finishing pass, the
// diagnostics, the fuzz invariants and the README's table all take them from here.
#include <cstdint>
#include <optional>
#include <span>

namespace cmp {

namespace errori {
// The line reader.
inline constexpr std::int32_t lunghezza_eccessiva = 1;       // length row above 1000000
inline constexpr std::int32_t ripetizione_primo = 3;         // first repetition value off the 50 m grid
inline constexpr std::int32_t ripetizione_secondo = 4;       // second repetition value off the 50 m grid
inline constexpr std::int32_t ripetizione_codici = 5;        // repetition keyword holds neither 4 nor 9
inline constexpr std::int32_t cartello_occupato = 6;         // caption board on a taken cell
inline constexpr std::int32_t indicatori_occupato = 21;      // speed-indicator boards on a taken cell
inline constexpr std::int32_t lunghezza_negativa = 30;       // length row with a length below 0
inline constexpr std::int32_t cartello_fuori_percorso = 31;  // board or caption cell before cell 0
inline constexpr std::int32_t troppe_montagne = 32;          // more than 80 mountain rows
inline constexpr std::int32_t troppi_cartelli = 33;          // more than 81 caption boards
inline constexpr std::int32_t testo_mancante = 101;          // no line description text
inline constexpr std::int32_t generale_mancante = 102;       // no "[generale]" before the end
inline constexpr std::int32_t curva_non_valida = 103;        // no class digit, or the plan passes 1000000 m
// Both readers.
inline constexpr std::int32_t posizione_oltre = 15;  // row position too close to or beyond the end of the track
inline constexpr std::int32_t lettura = 25;          // reading failure
// The train reader.
inline constexpr std::int32_t progressive_fuori_griglia = 2;  // kilometre reference off the 50 m grid
inline constexpr std::int32_t abbattimento_occupato = 7;
inline constexpr std::int32_t stazione_fuori_griglia = 8;
inline constexpr std::int32_t lunghezza_stazione = 9;
inline constexpr std::int32_t troppe_stazioni = 10;
inline constexpr std::int32_t segnale_occupato = 16;
inline constexpr std::int32_t avviso_occupato = 17;
inline constexpr std::int32_t inizio_occupato = 18;
inline constexpr std::int32_t fine_occupata = 19;
inline constexpr std::int32_t approccio_occupato = 20;
inline constexpr std::int32_t stazioni_vicine = 22;
inline constexpr std::int32_t fermata_iniziale = 24;
// A signal whose approach markers would fall before cell 0: its cell, round(p / 50 + 1),
// is below 8, i.e. it stands before 325 m (324 m is cell 7, 325 m cell 8).
inline constexpr std::int32_t segnale_presso_inizio = 41;
// A slow order at a negative position or with a negative length, or an abbattimento
// point at a negative position.
inline constexpr std::int32_t posizione_negativa = 42;
// A slow order whose end cell lies beyond the last cell of the track.
inline constexpr std::int32_t fine_rallentamento_oltre = 43;
// A station (kind below 25) whose stop cell lies beyond the last cell of the track.
inline constexpr std::int32_t stazione_oltre = 44;
// The finishing pass: warnings, it keeps going.
inline constexpr std::int32_t abbattimento_segnale = 11;
inline constexpr std::int32_t abbattimento_ritroso = 12;
inline constexpr std::int32_t abbattimento_rallentamento = 13;
// The check over the texts, apart from the compile: warnings of what the readers skip.
inline constexpr std::int32_t parola_simile = 201;  // a keyword field close to a keyword
inline constexpr std::int32_t nessuna_riga = 202;   // not one row of the description's kind
inline constexpr std::int32_t testo_utf8 = 203;     // a UTF-8 text read as Windows-1252
// The slips the readers take in silence, from the texts and the rows the compile read.
inline constexpr std::int32_t nome_stazione_numero = 204;   // a station's name is a number: one value too many
inline constexpr std::int32_t nome_stazione_virgola = 205;  // a station row goes on after its name: a comma in it
inline constexpr std::int32_t parola_maiuscola = 206;       // a general keyword of the line with capitals
inline constexpr std::int32_t riga_fuori_sezione = 207;     // a row under another section's header
inline constexpr std::int32_t sezione_mancante = 208;       // a row section's header missing: its rows dropped
inline constexpr std::int32_t curva_senza_parola = 209;     // a curve's class with no 'curva' ('curve4')
inline constexpr std::int32_t righe_fuori_ordine = 210;     // gradient or profile rows out of order
inline constexpr std::int32_t riga_oltre_linea = 211;       // a row past the line's length, in the run-out
inline constexpr std::int32_t fine_riga_cr = 212;           // lines that end with a CR alone
inline constexpr std::int32_t blank_dopo_parola = 213;      // a blank and a number where the comma belongs
// The timetable check (compattatore timetable, the page, the language server), never compile.
inline constexpr std::int32_t stazione_in_ritardo = 301;  // the fastest run reaches a station after its time
inline constexpr std::int32_t margine_scarso = 302;       // a margin below the --margine-minimo per cent
// The guard of the reserved slots after the finishing pass: nothing is written.
inline constexpr std::int32_t posto_scenario_occupato = 1250;
inline constexpr std::int32_t posto_percorso_occupato = 1251;
}  // namespace errori

// Who records a number.
enum class fonte_errore : std::uint8_t {
  lettore_linea,
  lettore_treno,
  entrambi_i_lettori,
  finitura,
  compilazione,
  controllo_testi,  // the warnings of the check over the texts
  orario,           // the timetable check's warnings
};

// The description text a number points into when the reader left no row of its own.
enum class testo_errore : std::uint8_t { nessuno, linea, treno };

struct voce_errore {
  std::int32_t numero;
  const char* nome;
  fonte_errore fonte;
  testo_errore testo;
  // The line reader ends with this number without going on to the train text.
  bool ferma_prima_del_treno;
  // The message, with {placeholders} the diagnostics fill in from the state (see diagnostica.h).
  const char* messaggio;
};

// Every entry, by increasing number.
std::span<const voce_errore> catalogo_errori();

// The entry of a number, or nullptr for a number no compile records.
const voce_errore* voce_di(std::int32_t numero);

// 0 or a number of the catalogue recorded by a reader or the finishing pass (not 1250/1251).
bool numero_documentato(std::int32_t numero);

// The line reader stopped with this number before the train text (false for 0).
bool ferma_prima_del_treno(std::int32_t numero);

}  // namespace cmp
