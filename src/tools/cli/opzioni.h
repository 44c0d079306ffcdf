// Reading a command's arguments against its table, and the help pages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/cli/comandi.h"

namespace sc {

// "--opt value", "--opt=value", "-o value", flags, and "--" before
// arguments that begin with "-". "--help" is left to the caller. Throws
// errore_uso with a message that names the mistake.
argomenti analizza_argomenti(const comando& c, const std::vector<std::string>& args);

// True when the arguments ask for the command's help.
bool chiede_aiuto(const std::vector<std::string>& args);

// The help page of one command, and the program's overview.
std::string pagina_aiuto(const comando& c);
std::string pagina_generale();

// The words of a synopsis, "[--out DIR]" kept as one word.
std::vector<std::string> parole_sinossi(std::string_view testo);

// The exit statuses, as both help pages and the man page list them.
extern const char* const testo_stato_uscita;

// What the program does without a command, for the overview and the man page.
extern const char* const descrizione_generale;

}  // namespace sc
