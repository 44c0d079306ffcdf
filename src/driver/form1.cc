#include "driver/form1.h"

#include "compile/percorso.h"
#include "model/disk.h"
#include "writers/scrittori.h"

namespace sc {

int Form1::form_load() {
  m.nome_scenario = scenario_predefinito;
  m.nome_treno = treno_predefinito;
  ui_.mostra_attesa();
  // The five text files are flushed together, their flushes overlapping,
  // rather than each waiting for the one before.
  Disk::Batch lotto(disk_);
  BatchDisk testi(disk_, lotto);
  dati_linea(m, testi);
  dati_treno(m, testi);
  dati_note(m, testi);
  dati_rallentamenti(m, testi);
  dati_scheda(m, testi);
  lotto.commit();
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
