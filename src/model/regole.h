// The rules of the format that are numbers: each one named once, here.
// Readers, stores, the walk, the diagnostics and the tools all read them
// from this header, and messages take them as arguments, never as text.
#pragma once

#include <array>
#include <cstdint>

#include "model/arrotonda.h"

namespace sc::regole {

// ---------------------------------------------------------------- the track

// Metres of track in one cell.
inline constexpr std::int32_t metri_cella = 50;
// The longest line a description may give.
inline constexpr std::int32_t lunghezza_massima = 1000000;
// Metres of track that every compiled line carries after its end.
inline constexpr std::int32_t coda_linea = 7000;
// The plan of the line may not pass this metre while curves are laid.
inline constexpr std::int32_t metro_massimo_griglia = 1000000;

// An item at p metres fits the track when p + margin, in cells, stays within
// the last cell: point items and fills leave 100 m, stations 800 m.
inline constexpr std::int32_t margine_elemento = 100;
inline constexpr std::int32_t margine_stazione = 800;

// Positions and lengths that must be whole multiples.
inline constexpr std::int32_t multiplo_posizione = 50;   // stations, kilometre references, signal repetition
inline constexpr std::int32_t multiplo_lunghezza_stazione = 100;

// ---------------------------------------------------------------- fills

// Speed limits are stored in one byte in steps of this many km/h (rounded),
// so the largest limit a cell keeps is this.
inline constexpr std::int32_t passo_velocita = 5;
inline constexpr std::int32_t velocita_massima = 255 * passo_velocita + passo_velocita / 2;
// Gradients are stored in one byte as the gradient plus this (level).
inline constexpr std::int32_t pendenza_piana = 100;
// Speed boards store km/h times this plus the second speed in steps of 5.
inline constexpr std::int32_t fattore_tabella = 20;

// ---------------------------------------------------------------- restrictions

// The warning board stands this far before a restriction's start ...
inline constexpr std::int32_t distanza_avviso = 1200;
// ... for restrictions that start after this metre; nearer ones get none.
inline constexpr std::int32_t inizio_con_avviso = 1500;
// Cells of the warning sequence in front of the board.
inline constexpr int celle_sequenza = 4;

// ---------------------------------------------------------------- stations

// A station starts at least this far after the previous one's end.
inline constexpr std::int32_t spazio_stazioni = 350;
// Stations of kinds 5 and 6 end this far after their position.
inline constexpr std::int32_t coda_stazione_corta = 150;
// The end extension flag adds this much to a station's end.
inline constexpr std::int32_t estensione_fine = 50;
// Stations of this kind and above mark no cells.
inline constexpr int tipo_stazione_senza_celle = 25;
// A station of this length or more keeps field 5.
inline constexpr std::int32_t lunghezza_stazione_lunga = 600;
// The approach marks in the four cells before a station's stop cell.
inline constexpr int marca_stazione_prima = 81;
inline constexpr int marche_stazione = 4;

// ---------------------------------------------------------------- signals

// Signal times from 1 to this value are raised to the next.
inline constexpr std::int32_t tempo_minimo_sotto = 100;
inline constexpr std::int32_t tempo_minimo = 101;
// The aspect the left signal must have for its time to be kept.
inline constexpr std::int32_t sx_con_tempo = 2;
// A signal's four approach marks stand every second cell in front of it.
inline constexpr int marche_segnale = 4;
inline constexpr int passo_marche_segnale = 2;

// ---------------------------------------------------------------- mountains

// A range starting within this many metres of the previous one's end
// becomes this type.
inline constexpr std::int32_t distanza_montagna_vicina = 150;
inline constexpr std::int32_t tipo_montagna_vicina = 3;
// A type above this is flagged: periodic markers, and the type less this.
inline constexpr std::int32_t soglia_montagna_segnata = 10;
// Every this-many-th cell of a flagged range takes a marker.
inline constexpr int passo_marcatori_montagna = 4;
inline constexpr int montagne_massime = 80;

// ---------------------------------------------------------------- the service table

inline constexpr int testo_massimo = 0xFFFF;  // bytes of a text: the file stores a 16-bit length

// ---------------------------------------------------------------- the placement walk

// The value of the walk's marks.
inline constexpr std::int16_t valore_marca = 180;
// Restrictions this fast or faster get no repeated marks.
inline constexpr std::int16_t velocita_ripetizione = 110;
// Cells between repeated marks along a slow restriction.
inline constexpr int passo_ripetizione = 8;
// The three approach windows before a restriction start: a mark in the
// first free cell of start - d, start - d - 1, start - d - 2.
inline constexpr std::array<int, 3> finestre_approccio = {5, 11, 18};
// Cells after a restriction's end searched for its exit signal.
inline constexpr int ricerca_segnale_uscita = 12;
// Cells before a warning board searched for signals, and the lowest cell
// such a signal may stand in.
inline constexpr int ricerca_segnali_avviso = 20;
inline constexpr int primo_segnale_avviso = 3;

// ---------------------------------------------------------------- markers

inline constexpr std::int16_t marcatore_servizio = 610;
inline constexpr std::int16_t marcatore_celle = 5121;
// The cell that carries the marker and the second competition code.
inline constexpr int cella_marcatori = 1;

}  // namespace sc::regole

namespace sc {

// Cells of a position, and positions of a cell.
// Cell of a point item at p metres.
inline std::int64_t cella_di(std::int64_t p) { return std::int64_t(arrotonda(double(p) / regole::metri_cella + 1)); }
// Cell where a fill or an abatement mark at p metres takes effect.
inline std::int64_t cella_fill(std::int64_t p) { return std::int64_t(arrotonda(double(p) / regole::metri_cella)); }
// First metre of a cell.
inline constexpr std::int64_t metro_cella(std::int64_t c) { return c * regole::metri_cella; }
// Cells of a track of n metres, the last included as an index.
inline std::int32_t celle_di(std::int32_t metri) { return std::int32_t(arrotonda(double(metri) / regole::metri_cella)); }
// An item at p metres with the given margin lies on a track whose last cell is u.
inline bool entra(std::int64_t p, std::int64_t u, std::int64_t margine = regole::margine_elemento) {
  return (double(p) + double(margine)) / regole::metri_cella <= double(u);
}
// The largest position that fits a track whose last cell is u.
inline constexpr std::int64_t posizione_massima(std::int64_t u, std::int64_t margine = regole::margine_elemento) {
  return u * regole::metri_cella - margine;
}

}  // namespace sc
