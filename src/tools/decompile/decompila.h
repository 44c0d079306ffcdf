// A compiled scenario turned back into the two descriptions it comes from,
// and the proof: their compile gives the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "diagnostics/diagnostica.h"
#include "tools/diff/differenze.h"
#include "tools/inspect/scenario_compilato.h"

namespace sc {

struct decompilazione {
  std::string linea;     // NAME_linea.txt: Windows-1252, CR LF
  std::string servizio;  // NAME_TRAIN-.txt
  bool con_piano = true;  // false: the scenario has no plan, compile without one
};

// The simplest descriptions whose compile gives `s` back; for files this
// compiler could not have written, the closest ones.
decompilazione decompila(const scenario_compilato& s);

// What the compile of the descriptions, under the names of `s`, gives back.
struct verifica {
  std::vector<differenza> differenze;  // stored -> compiled back
  std::int32_t codice_errore = 0, posizione_errore = 0;  // recorded by that compile
  std::int32_t codice_mostrato = 0;                      // 1250 or 1251 when it stopped
  bool scritto = true;                                   // false: it wrote no file at all
  bool esatta() const { return differenze.empty() && codice_mostrato == 0 && scritto; }
};

// Compiles the descriptions in memory and compares every file with `s`;
// what that compile meets in the descriptions goes to `diagnostiche`.
verifica verifica_decompilazione(const scenario_compilato& s, const decompilazione& d,
                                 ricevitore_diagnostiche* diagnostiche = nullptr);

// A part the round trip does not give back, as an error in the binary file
// that holds it: "cell N (metres A-B): not reproduced: TEXT", or "record N
// (ROLE)", or "metres A-B" for the plan.
diagnostica diagnostica_di(const scenario_compilato& s, const differenza& d);
// The same as one line, "FILE: ...", for tests and logs.
std::string riga_diagnostica(const scenario_compilato& s, const differenza& d);

}  // namespace sc
