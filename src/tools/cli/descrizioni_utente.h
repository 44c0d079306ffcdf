// What compile and check share: the two descriptions a user names, their
// names and encoding, and the diagnostics options.
#pragma once

#include <string>
#include <vector>

#include "tools/cli/comandi.h"
#include "tools/cli/resa_diagnostiche.h"

namespace sc {

struct descrizioni_utente {
  std::string file_linea, file_servizio;  // as the user named them
  std::string scenario_utente, treno_utente;  // as given, in the host's text
  std::string scenario, treno;                // as the model stores them: Windows-1252
  std::string linea, servizio;  // the bytes the reader gets: Windows-1252
  bool geometria = true;
};

// The options both commands take, for their tables: `prima` first.
std::vector<opzione> opzioni_descrizioni(std::vector<opzione> prima = {});

opzioni_resa opzioni_resa_da(const argomenti& a);

// Reads the two descriptions and their names from the arguments; tells the
// renderer where each file is. A file that looks like UTF-8 gets a warning;
// with --input-encoding utf-8 it is converted, and a character Windows-1252
// lacks is an error: false then, and nothing should be compiled.
bool leggi_descrizioni(const argomenti& a, descrizioni_utente& d, resa_diagnostiche& r);

// The bytes of a description as the reader will see them: a file saved as
// UTF-16, holding NUL bytes, a byte order mark or UTF-8 text is reported;
// with `da_utf8` the text is converted to Windows-1252. False when it cannot
// be read as a description at all. The editor server checks open buffers
// with it too.
bool codifica_descrizione(const std::string& nome, std::string& testo, bool da_utf8, ricevitore_diagnostiche& r);

// Prints the diagnostics as `a` asks; the exit status for them alone.
int chiudi_diagnostiche(const resa_diagnostiche& r, const argomenti& a);

}  // namespace sc
