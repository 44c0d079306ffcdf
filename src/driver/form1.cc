#include "driver/form1.h"

#include "compile/compila.h"
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

int Form1::compila(std::int32_t j) {
  const esito_compilazione e = sc::compila({m.nome_scenario, m.nome_treno, j}, m, disk_);
  if (!e.fermato()) return uscita_normale;
  codice_mostrato = e.codice_mostrato;
  ui_.mostra_messaggio(e.messaggio);
  return uscita_errore_mostrato;
}

}  // namespace sc
