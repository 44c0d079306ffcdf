#include "tools/inspect/verifica_scenario.h"

#include "model/testo.h"
#include "tools/cli/comandi.h"
#include "tools/inspect/oggetti_linea.h"

namespace sc {

void verifica_scenario(const scenario_compilato& s) {
  if (auto m = motivo_non_servizio(s.servizio)) throw errore_uso(s.nome_base + ".sim is not a service data file: " + *m);
  if (auto m = motivo_non_celle(s.celle)) throw errore_uso(s.nome_base + ".dat is not a track cell file: " + *m);
  if (auto m = motivo_non_geometria(s.geometria); m && !s.geometria.empty())
    throw errore_uso(s.scenario + "_linea.dat is not a line geometry file: " + *m);
}

void richiedi_estensione(const std::string& file, std::string_view estensione, std::string_view cosa) {
  if (file.empty() || file == "-") return;
  const std::string fine = file.size() >= estensione.size() ? minuscolo_cp1252(file.substr(file.size() - estensione.size())) : "";
  if (fine != estensione)
    throw errore_uso(std::string(cosa) + ": give -o a name ending in " + std::string(estensione) + " (or - for standard output), not " + file);
}

}  // namespace sc
