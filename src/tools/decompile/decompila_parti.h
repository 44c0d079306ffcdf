// The parts of a decompile. Each one reads one layer of a compiled scenario
// and gives back the description entries that the readers, the item stores
// and the placement walk turn into that layer again.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/modello.h"
#include "model/regole.h"

namespace sc::inverso {

// One line of a description: the key word, then its values as written.
struct riga {
  std::string chiave;
  std::vector<std::string> valori;
};

// A header and the lines under it.
struct sezione {
  std::string titolo;  // "[curve]"
  std::vector<riga> righe;
};

// The file: each header and each entry on its own line, CR LF, "[fine]"
// last (the readers never interpret a file's last field).
std::string testo(const std::vector<sezione>& sezioni);

std::string numero(std::int64_t v);

// A text value written so that the field reader gives it back unchanged:
// quoted where the bare text would lose blanks, stop at a comma or be
// skipped as empty. False in `esatto` when no way of writing it survives.
std::string campo_testo(const std::string& t, bool* esatto = nullptr);

// What the parts read: the compiled scenario, with cell 1 holding what the
// readers left there before the format marker and the competition code.
struct vista {
  std::vector<cella> celle;
  const std::vector<voce_servizio>& servizio;
  const std::vector<valore_profilo>& geometria;  // empty without a plan
  std::int32_t n_celle = 0;                       // the last cell

  vista(std::vector<cella> c, const std::vector<voce_servizio>& s, const std::vector<valore_profilo>& g);
};

// Position in metres of a point item stored in cell c (the centre of what
// rounds to c).
inline std::int64_t posizione_punto(std::int64_t c) { return 50 * (c - 1); }

// A value filled along the track by entries "KEY, position, value": the
// cells and values of the entries that give back `valori` (one per cell) on
// cells 0 to n - 3, where runs change, and on the last three cells, which
// only repeated entries at the last position reach.
std::vector<std::pair<std::int32_t, int>> cambi_riempimento(const std::vector<int>& valori);

// Line description.
std::vector<riga> voci_generali(const vista& v, std::int32_t lunghezza);
std::vector<riga> voci_pendenze(const vista& v);
std::vector<riga> voci_montagne(const vista& v);
std::vector<riga> voci_indicatori(const vista& v);
std::vector<riga> voci_cartelli(const vista& v);

// The curve entries that bend the plan as `geometria` holds it: the class
// and side of every metre follow from its step and the two before it.
std::vector<riga> voci_curve(const std::vector<valore_profilo>& geometria, std::int32_t n_celle);

// Service description.
std::vector<riga> voci_treno(const vista& v);
std::vector<riga> voci_aderenza(const vista& v);
std::vector<riga> voci_velocita(const vista& v);
// Stations and signals in the order that leaves every approach mark as
// stored: a station or a signal written later overwrites the marks of one
// written earlier. A header starts each group of one kind, so the sections
// repeat where the order requires.
std::vector<sezione> sezioni_stazioni_segnali(const vista& v);
std::vector<riga> voci_rallentamenti(const vista& v);

// The abatement marks the placement walk would not place again, as (cell,
// value of the entry).
std::vector<std::pair<std::int32_t, std::int32_t>> marche_da_scrivere(const std::vector<cella>& celle);
std::vector<riga> voci_abbattimenti(const vista& v);

}  // namespace sc::inverso
