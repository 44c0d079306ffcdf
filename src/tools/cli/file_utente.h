// The files a command reads and writes on the user's behalf. Paths are UTF-8
// text, as the arguments come; the host's form is the platform's business.
#pragma once

#include <string>
#include <string_view>

namespace sc {

// The whole content of an input file: a regular file of at most 64 MiB (a
// directory, FIFO or device is refused without waiting on it). Throws
// errore_uso, naming the file and the reason, when it cannot be read.
std::string leggi_ingresso(const std::string& percorso);

// What an output holds: text for people follows the host's line ends in a
// file; data (JSON, CSV, SVG, HTML, descriptions) keeps its bytes everywhere.
enum class forma_uscita { testo, dati };

// Replaces the file with `dati`: a new file beside it, renamed over the name
// when complete, so a failure leaves the older file whole and a link at the
// name is replaced, never followed; the missing directories above it are
// made. "-" is standard output. A file this command has read is never
// replaced. Throws errore_uso when it cannot be written.
void scrivi_uscita(const std::string& percorso, std::string_view dati, forma_uscita forma = forma_uscita::dati);

// Creates an output directory and those missing above it; throws errore_uso
// saying why it cannot be used.
void prepara_cartella(const std::string& cartella);

// A path the user gave, as it is shown back: with the host's separators.
std::string come_percorso(const std::string& percorso);
// The file's own name, the last part of its path.
std::string nome_in_percorso(const std::string& percorso);
// A name inside a directory.
std::string unisci(const std::string& cartella, const std::string& nome);

}  // namespace sc
