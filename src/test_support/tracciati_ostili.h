// Compiled scenarios no compile writes, made to be slow or large to read:
// for the tests and the benchmark of the commands that read compiled files.
#pragma once

#include <cstddef>
#include <string>

#include "model/modello.h"
#include "model/regole.h"
#include "tools/readback/scenario_compilato.h"

namespace sc::test {

inline scenario_compilato ostile(std::size_t celle) {
  scenario_compilato s;
  s.scenario = "Ostile";
  s.treno = "Treno";
  s.titolo = "Ostile - Treno";
  s.nome_base = "Ostile_Treno";
  s.celle.assign(celle, cella{});
  s.servizio.assign(std::size_t(voci_servizio), voce_servizio{});
  s.servizio[voce_treno].valore2 = std::int32_t(metro_cella(std::int64_t(celle) - 1) - regole::coda_linea);
  s.servizio[voce_scenario].nome = s.scenario;
  s.servizio[voce_scenario].intero1 = regole::marcatore_servizio;
  s.servizio[voce_corsa].nome = s.treno;
  return s;
}

inline void marcatore(scenario_compilato& s) { s.celle[regole::cella_marcatori].val1 = regole::marcatore_celle; }

// Every cell a restriction start with no end: each start's walk runs on to
// the last cell. 200000 cells are 3 MB.
inline scenario_compilato tutte_partenze(std::size_t celle = 200000) {
  scenario_compilato s = ostile(celle);
  for (cella& c : s.celle) c = cella{cella_inizio_rallentamento, 60, 0, 0, 0, 0, 0, 0, 14, 100, 80};
  marcatore(s);
  return s;
}

// 20142 stop cells naming one station whose name takes 65535 bytes: 370 KB.
inline scenario_compilato fermate_di_un_nome(std::size_t celle = 20142) {
  scenario_compilato s = ostile(celle);
  for (cella& c : s.celle) c = cella{cella_stazione, 1, 0, 0, 0, 0, 0, 0, 14, 100, 80};
  marcatore(s);
  voce_servizio& stazione = s.servizio[1];
  stazione.tipo_voce = 23;
  stazione.valore1 = 100, stazione.valore2 = 300, stazione.valore3 = 200;
  stazione.nome.assign(std::size_t(regole::testo_massimo), 'N');
  stazione.codice = 40000;
  return s;
}

}  // namespace sc::test
