#include "driver/form1.h"

#include "compile/compila.h"
#include "writers/scrittori.h"

namespace sc {

int Form1::form_load() {
  m.nome_scenario = scenario_predefinito;
  m.nome_treno = treno_predefinito;
  ui_.mostra_attesa();
  dati_linea(m, disk_);
  dati_treno(m, disk_);
  dati_note(m, disk_);
  dati_rallentamenti(m, disk_);
  dati_scheda(m, disk_);
  return compila(1);
}

int Form1::compila(std::int32_t j) {
  const esito_compilazione e = sc::compila({m.nome_scenario, m.nome_treno, j}, m, disk_);
  if (!e.fermato()) return uscita_normale;
  codice_mostrato = e.codice_mostrato;
  ui_.mostra_messaggio(e.messaggio);
  return uscita_errore_mostrato;
}

}  // namespace sc
