#include "tools/readback/verifica_scenario.h"

#include "model/testo.h"
#include "tools/cli/comandi.h"

namespace sc {

void richiedi_estensione(const std::string& file, std::string_view estensione, std::string_view cosa) {
  if (file.empty() || file == "-") return;
  const std::string fine = file.size() >= estensione.size() ? minuscolo_cp1252(file.substr(file.size() - estensione.size())) : "";
  if (fine != estensione)
    throw errore_uso(std::string(cosa) + ": give -o a name ending in " + std::string(estensione) + " (or - for standard output), not " + file);
}

}  // namespace sc
