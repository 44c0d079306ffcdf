// The files a command reads and writes on the user's behalf.
#pragma once

#include <string>
#include <string_view>

namespace sc {

// The whole content of an input file: a regular file of at most 64 MiB (a
// directory, FIFO or device is refused without waiting on it). Throws
// errore_uso, naming the file and the reason, when it cannot be read.
std::string leggi_ingresso(const std::string& percorso);

// Replaces the file with `dati`: a new file beside it, renamed over the name
// when complete, so a failure leaves the older file whole and a link at the
// name is replaced, never followed. "-" is standard output. A file this
// command has read is never replaced. Throws errore_uso when it cannot be
// written.
void scrivi_uscita(const std::string& percorso, std::string_view dati);

}  // namespace sc
