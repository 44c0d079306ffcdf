#include "tools/file_utente.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include "tools/comandi.h"

namespace sc {

std::string leggi_ingresso(const std::string& percorso) {
  std::ifstream f(percorso, std::ios::binary);
  if (!f) throw errore_uso("cannot read " + percorso);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void scrivi_uscita(const std::string& percorso, std::string_view dati) {
  if (percorso == "-") {
    std::cout.write(dati.data(), std::streamsize(dati.size()));
    if (!std::cout.flush()) throw errore_uso("cannot write to standard output");
    return;
  }
  std::ofstream f(percorso, std::ios::binary);
  f.write(dati.data(), std::streamsize(dati.size()));
  if (!f.flush()) throw errore_uso("cannot write " + percorso);
}

}  // namespace sc
