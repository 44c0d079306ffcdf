// The kinds of track cell, one row each: the object's name, what its values
// hold and in which units, where an author's position lands it, and its lane
// and glyph in pictures. inspect, diff, the diagnostics, plot, view and the
// editor server all read these rows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"
#include "model/voci.h"

namespace sc {

// The lanes of the pictures, top to bottom. The curves come from the plan
// of the line, not from the cells.
enum class corsia : unsigned char { stazioni, segnali, tabelle_velocita, cartelli, rallentamenti, abbattimenti, montagne, curve, nessuna };
inline constexpr int numero_corsie = int(corsia::nessuna);

// The mark an object gets in its lane: a bar (segno), a mast with its lamp
// (palo), a square, a diamond (rombo), a triangle, a cross (fine), a dot.
enum class glifo : unsigned char { nessuno, stazione, segno, triangolo, rallentamento, fine, punto, palo, quadrato, rombo };

// Where a position p written by the author lands: point items in
// round(p / 50 + 1), fills and marks in round(p / 50); a station's stop
// cell follows from its area.
enum class aggancio : unsigned char { nessuno, punto, riempimento, stazione };

// How a cell value reads in the author's units.
enum class decodifica_valore : unsigned char {
  numero,       // as stored
  kmh,          // km/h as stored
  tabella,      // a speed board's value: km/h x 20 + second speed / 5
  strisce,      // tens and units: two digits of the entry
  aspetti,      // a signal's aspect pair: tens left, units right
  codice_segnale,  // rapp x 10 + sx x 3 + dx
  elemento,     // a service record's number
};

struct valore_cella {
  const char* nome;        // "speed"
  const char* nome_formato;  // the entry fields it comes from: "v", "vas/vad"
  decodifica_valore come;
};

struct tipo_cella_info {
  std::uint8_t tipo;
  const char* nome;       // "signal"
  const char* chiave;     // for --kind: "signal"
  const char* oggetto;    // in a sentence: "a signal"
  std::optional<voce> da;  // the entry that writes it (the walk's marks: none)
  aggancio dove;
  std::vector<valore_cella> valori;  // val1, val2 ... in order; those the kind uses
  corsia in_corsia;
  glifo segno;
  const char* colore;  // in pictures
};

// Every kind a compiled track holds, in the order of their numbers.
const std::vector<tipo_cella_info>& tabella_tipi_cella();
// The kind's row, or nothing for a number no compiled track holds.
const tipo_cella_info* info_tipo(int tipo);

// "signal"; "" for an empty cell, "kind N" for an unknown one.
std::string nome_tipo_cella(int tipo);
const char* chiave_tipo_cella(int tipo);
std::optional<int> tipo_da_chiave(std::string_view chiave);
std::vector<std::string> chiavi_tipi();

corsia corsia_di(int tipo);
// The lane's title in pictures: "Signals".
const char* nome_corsia(corsia c);

// The author positions that land in cell c for an object of that anchoring:
// metres from `da` to `a`, both included.
struct metri_mappati {
  int da = 0, a = 0;
};
metri_mappati mappati_in(std::int64_t c, aggancio dove);
// The position an author gives for an object in cell c.
int posizione_di(std::int64_t c, aggancio dove);

}  // namespace sc
