// The man page and the bash completion, both rendered from the command
// tables so that neither can fall behind the program.
#pragma once

#include <string>
#include <string_view>

namespace sc {

// scenario-compiler(1) in roff, for man.
std::string pagina_manuale(std::string_view versione);

// A bash completion script for scenario-compiler.
std::string completamento_bash();

// Text made safe for a roff text line: backslashes and minus signs escaped,
// a leading dot or quote neutralised.
std::string testo_roff(std::string_view testo);

}  // namespace sc
