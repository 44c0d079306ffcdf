#include "driver/form1.h"

#include "compile/percorso.h"
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

int Form1::compila(std::int32_t j, segnalazioni* diag) {
  try {
    memorizza_percorso(m, disk_, j, diag);
  } catch (const errore_mostrato& e) {
    codice_mostrato = e.codice;
    ui_.mostra_messaggio(e.what());
    return uscita_errore_mostrato;
  }
  return uscita_normale;
}

}  // namespace sc
