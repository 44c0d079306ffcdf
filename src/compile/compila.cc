#include "compile/compila.h"

#include "compile/percorso.h"
#include "model/modello.h"

namespace sc {

esito_compilazione compila(const richiesta_compilazione& r, modello& m, Disk& disk, ascoltatore_compilazione* ascolto) {
  m.nome_scenario = r.nome_scenario;
  m.nome_treno = r.nome_treno;
  std::int32_t j = r.genera_linea;
  bool scritto = false;
  const std::function<bool()> conferma = [&] { return scritto = !r.conferma_scrittura || r.conferma_scrittura(); };
  try {
    memorizza_percorso(m, disk, j, ascolto ? *ascolto : nessun_ascolto(), r.recupera, conferma);
  } catch (const errore_mostrato& e) {
    return {e.codice, e.what(), false};
  }
  return {0, "", scritto};
}

}  // namespace sc
