// The files a command reads and writes on the user's behalf.
#pragma once

#include <string>
#include <string_view>

namespace sc {

// The whole content of an input file. Throws errore_uso, naming the file and
// the reason, when it cannot be read.
std::string leggi_ingresso(const std::string& percorso);

// Replaces the file with `dati`; "-" is standard output. Throws errore_uso
// when it cannot be written.
void scrivi_uscita(const std::string& percorso, std::string_view dati);

}  // namespace sc
