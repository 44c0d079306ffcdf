#include "compile/compila.h"

#include "compile/percorso.h"
#include "model/modello.h"

namespace sc {

esito_compilazione compila(const richiesta_compilazione& r, modello& m, Disk& disk, segnalazioni* diag) {
  m.nome_scenario = r.nome_scenario;
  m.nome_treno = r.nome_treno;
  std::int32_t j = r.genera_linea;
  try {
    memorizza_percorso(m, disk, j, diag);
  } catch (const errore_mostrato& e) {
    return {e.codice, e.what()};
  }
  return {};
}

}  // namespace sc
