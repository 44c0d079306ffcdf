// A compiled scenario turned back into the two descriptions it comes from,
// and the proof: their compile gives the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "diagnostics/diagnostica.h"
#include "tools/diff/differenze.h"
#include "tools/readback/scenario_compilato.h"

namespace sc {

struct decompilazione {
  std::string linea;     // NAME_linea.txt: Windows-1252, CR LF
  std::string servizio;  // NAME_TRAIN-.txt
  bool con_piano = true;  // false: the scenario has no plan, compile without one
  // What the compile that wrote the files recorded, as far as they tell:
  // the code its reading stopped at (or the kilometre references' 2), 0
  // for a reading to the end. The descriptions stop with the same code.
  std::int32_t codice = 0;
  bool codice_certo = true;  // false: another code that stops at the same place fits the files too
  bool fermata = false;      // the reading stopped before the end of the descriptions
  // Where: "the general section", "the line items", "the service description".
  std::string dove_fermata;
  // Where the files do not tell the code, those that leave them alike.
  std::string codici_possibili;
  // The compile that wrote them ended with status 2: a code, or a problem
  // of the placement walk.
  bool con_problemi = false;
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
  bool stesso_esito = true;  // it ends with the status the stored files call for
  bool esatta() const { return differenze.empty() && codice_mostrato == 0 && scritto && stesso_esito; }
};

// Compiles the descriptions in memory and compares every file with `s`,
// and its exit status with the one the files call for; what that compile
// meets in the descriptions goes to `diagnostiche`.
verifica verifica_decompilazione(const scenario_compilato& s, const decompilazione& d,
                                 ricevitore_diagnostiche* diagnostiche = nullptr);

// A part the round trip does not give back, as an error in the binary file
// that holds it: "cell N (metres A-B): not reproduced: TEXT", or "record N
// (ROLE)", or "metres A-B" for the plan.
diagnostica diagnostica_di(const scenario_compilato& s, const differenza& d);
// The same as one line, "FILE: ...", for tests and logs.
std::string riga_diagnostica(const scenario_compilato& s, const differenza& d);

}  // namespace sc
