// The layout that plot and view share, as data: plot.cc draws with these
// values and view.cc hands them to the page, whose script draws with the
// same ones. Both apply them with the same two rules: a step (ticks, km
// posts, the scale bar) is the smallest of `passi` times a power of ten that
// leaves the room asked for; a label takes the first of its places that
// keeps `spazio_etichette` from every label already placed, or is left out.
// Names, lanes, glyphs and colours of the cell kinds are the cell table's.
#pragma once

#include <array>
#include <optional>

#include "model/tipi_cella.h"

namespace sc::disegno {

// ---------------------------------------------------------------- type

inline constexpr const char* caratteri = "'DejaVu Sans', 'Segoe UI', Arial, sans-serif";
inline constexpr double corpo = 12, piccolo = 11;  // px

// ---------------------------------------------------------------- steps and labels

inline constexpr std::array<double, 3> passi = {1, 2, 5};
// Pixels between two labels side by side.
inline constexpr double spazio_etichette = 6;
// The ticks along the line stand at least as far apart as their widest
// label and this many pixels.
inline constexpr const char* campione_asse = "1000.0 km";
inline constexpr double spazio_asse = 18;
// The plan's km posts stand at least this far apart, and its scale bar
// is at least this long, in pixels.
inline constexpr double distanza_km_pianta = 70;
inline constexpr double barra_scala = 100;

// ---------------------------------------------------------------- the plan

// The course drawn keeps within this many pixels of the full one.
inline constexpr double tolleranza_pixel = 0.5;

// ---------------------------------------------------------------- along the line

// The whole line in view: its length and a margin of this share of it, at
// least this many metres (a third of it before the start).
inline constexpr double margine_vista = 0.03;
inline constexpr double margine_vista_minimo = 200;

// The panels, top to bottom, then one lane per corsia; heights in pixels.
struct pannello {
  const char* chiave;
  const char* nome;
  double altezza;
};
inline constexpr std::array<pannello, 5> pannelli = {{
    {"asse", "", 30},
    {"quota", "Altitude", 120},
    {"pendenza", "Gradient ‰", 22},
    {"velocita", "Speed limit", 110},
    {"aderenza", "Adhesion", 56},
}};
inline constexpr double altezza_corsia = 46;
// In a lane, from its top: the line of the marks and the rows of labels.
inline constexpr double riga_segni = 12;
inline constexpr std::array<double, 2> righe_etichette = {27, 40};
// Panel titles start here; the charts run from `inizio_grafici` to this
// far before the right edge.
inline constexpr double rientro_titoli = 6, inizio_grafici = 112, margine_destro = 16;

// Gradients take their full colour at this many per mille (a quarter of it
// at the least), and their labels turn white beyond this many.
inline constexpr double pendenza_piena = 30;
inline constexpr double pendenza_testo_chiaro = 18;

// ---------------------------------------------------------------- layers that are no cell kind

enum class strato : unsigned char {
  traccia, coda, fine_linea, area_stazione, quota, salita, discesa, piano, limite, rallentamento, aderenza, montagna,
  curva_destra, curva_sinistra, cursore,
};

// `colore` draws lines, marks and labels; areas take it at opacity `fondo`.
// A layer without a name has no line in the legends; the bars of mountain
// ranges and curves stand in a lane of their own.
struct info_strato {
  strato s;
  const char* chiave;
  const char* nome;
  const char* colore;
  double fondo;
  corsia in_corsia = corsia::nessuna;
};
inline constexpr std::array<info_strato, 15> strati = {{
    {strato::traccia, "traccia", "track", "#2c3e50", 0},
    {strato::coda, "coda", "run-out after the line's end", "#95a5a6", 0.16},
    {strato::fine_linea, "fine_linea", "line's end", "#c0392b", 0},
    {strato::area_stazione, "area_stazione", "station area", "#1f6fb2", 0.4},
    {strato::quota, "quota", "altitude from the gradients", "#8a5a2b", 0.13},
    {strato::salita, "salita", "gradient in per mille, rising / falling", "#cb4335", 0.78},
    {strato::discesa, "discesa", nullptr, "#2874a6", 0.78},
    {strato::piano, "piano", nullptr, "#eaeded", 1},
    {strato::limite, "limite", "speed limit", "#c0392b", 0},
    {strato::rallentamento, "rallentamento", "restriction: speed and length", "#e67e22", 0.25},
    {strato::aderenza, "aderenza", "adhesion", "#117a65", 0},
    {strato::montagna, "montagna", "mountain range and its type", "#7d6608", 0.35, corsia::montagne},
    {strato::curva_destra, "curva_destra", "curve to the right (d) and its class", "#148f77", 0.35, corsia::curve},
    {strato::curva_sinistra, "curva_sinistra", "curve to the left (s) and its class", "#8e44ad", 0.35, corsia::curve},
    {strato::cursore, "cursore", "cursor", "#d4ac0d", 0},
}};
constexpr const info_strato& di(strato s) { return strati[std::size_t(s)]; }

// ---------------------------------------------------------------- what a glyph does

// In its lane: whether the object's label is written, and the layer whose
// area a bar behind the mark takes (a station's area, a restriction from its
// start to its end); on the plan: whether the object stands as a dot.
struct info_glifo {
  glifo g;
  const char* chiave;
  bool etichetta;
  std::optional<strato> barra;
  bool in_pianta;
};
inline constexpr std::array<info_glifo, 10> glifi = {{
    {glifo::nessuno, "nessuno", false, std::nullopt, false},
    {glifo::stazione, "stazione", true, strato::area_stazione, false},
    {glifo::segno, "segno", true, std::nullopt, true},
    {glifo::triangolo, "triangolo", true, std::nullopt, true},
    {glifo::rallentamento, "rallentamento", true, strato::rallentamento, true},
    {glifo::fine, "fine", false, std::nullopt, true},
    {glifo::punto, "punto", false, std::nullopt, false},
    {glifo::palo, "palo", true, std::nullopt, true},
    {glifo::quadrato, "quadrato", true, std::nullopt, true},
    {glifo::rombo, "rombo", true, std::nullopt, true},
}};
constexpr const info_glifo& di(glifo g) { return glifi[std::size_t(g)]; }

constexpr bool in_ordine() {
  for (std::size_t i = 0; i < strati.size(); ++i)
    if (std::size_t(strati[i].s) != i) return false;
  for (std::size_t i = 0; i < glifi.size(); ++i)
    if (std::size_t(glifi[i].g) != i) return false;
  return true;
}
static_assert(in_ordine(), "the rows stand in the order of their enums");

}  // namespace sc::disegno
