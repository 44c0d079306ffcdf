#include "tools/cli/file_utente.h"

#include <iostream>
#include <stdexcept>
#include <vector>

#include "platform/file.h"
#include "tools/cli/comandi.h"
#include "tools/cli/nomi_uscita.h"

namespace sc {

namespace {

// Every file read so far by this command.
std::vector<std::string>& ingressi_letti() {
  static std::vector<std::string> letti;
  return letti;
}

}  // namespace

std::string leggi_ingresso(const std::string& percorso) {
  try {
    std::string dati = piattaforma::leggi_file_regolare(percorso);
    ingressi_letti().push_back(percorso);
    return dati;
  } catch (const std::runtime_error& e) {
    throw errore_uso(e.what());
  }
}

void scrivi_uscita(const std::string& percorso, std::string_view dati) {
  if (percorso == "-") {
    std::cout.write(dati.data(), std::streamsize(dati.size()));
    if (!std::cout.flush()) throw errore_uso("cannot write to standard output");
    return;
  }
  controlla_non_ingresso(percorso, ingressi_letti());
  try {
    piattaforma::file_nuovo f(percorso);
    f.scrivi(dati);
    f.conferma();
  } catch (const std::runtime_error& e) {
    throw errore_uso(e.what());
  }
}

}  // namespace sc
