// Files of the host: a new file takes its name only when complete, and an
// input is read only when it is a regular file. Paths come in and go out as
// UTF-8 text; they are converted to the host's form here, once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace sc::piattaforma {

using percorso = std::filesystem::path;

// Inputs larger than this are refused: far above any real description.
inline constexpr std::size_t limite_ingresso = std::size_t(64) << 20;

// A path given as UTF-8 text (an argument, a name), as the host holds it.
percorso percorso_di(std::string_view utf8);
// A path as UTF-8 text with the host's separators, for messages.
std::string testo_percorso(const percorso& p);

// What a path names, links followed unless `segui_link` is false.
enum class genere_voce { nessuna, file, cartella, link, dispositivo };  // dispositivo: a device, FIFO or socket
genere_voce genere_di(const percorso& p, bool segui_link = true);
// Its words, for messages: "a directory", "a FIFO", "a device".
std::string descrizione_genere(const percorso& p);

// Creates the directory and those missing above it. Throws
// std::runtime_error saying which one could not be made and why.
void crea_cartelle(const percorso& p);

// Deletes the file, if there is one.
void rimuovi(const percorso& p);

// The names in a directory, as UTF-8 text. Throws std::runtime_error saying
// why it cannot be read.
std::vector<std::string> nomi_in(const percorso& cartella);

// The new content of the file `destinazione`, written into a temporary file
// created exclusively in the same directory (so no link is ever followed)
// and renamed over the name by conferma(). Dropped before that, it removes
// its temporary file and leaves the name as it was. A device, FIFO or socket
// under the name (or a link to one) is refused, and nothing is made in a
// directory of devices. Failures throw std::runtime_error saying which file
// and why.
//
// While it lives the temporary file is held, so that another run cleaning
// the directory leaves it alone; an interruption (see
// pulisci_a_interruzione) removes it.
class file_nuovo {
 public:
  explicit file_nuovo(percorso destinazione);
  ~file_nuovo();
  file_nuovo(const file_nuovo&) = delete;
  file_nuovo& operator=(const file_nuovo&) = delete;

  void scrivi(std::string_view dati);
  // Every byte reaches the disk; nothing more is written.
  void chiudi();
  // The name now holds the new content; a link there is replaced, not followed.
  void conferma();
  // conferma() for a file of a set: the older file is kept aside, under a
  // temporary name, until rilascia(); annulla() puts it back (or removes the
  // name when it had no file).
  void conferma_reversibile();
  void annulla();
  void rilascia();

 private:
  void rinomina_su_destinazione();

  percorso destinazione_, temporaneo_, riserva_;
  std::intptr_t handle_;          // the temporary file: a file descriptor, or a Win32 handle
  std::intptr_t tenuta_;          // what holds the temporary file against cleaning
  std::intptr_t tenuta_riserva_;  // the same for the older file kept aside
  int posto_ = -1;                // its place among the files an interruption removes
  bool confermato_ = false, con_riserva_ = false;
};

// The whole content of a regular file of at most `limite` bytes. A
// directory, FIFO, device or socket, a larger file, or a failed read throws
// std::runtime_error saying which; a FIFO never blocks.
std::string leggi_file_regolare(const percorso& p, std::size_t limite = limite_ingresso);

// From now on an interruption (SIGINT, SIGTERM or SIGHUP; Ctrl-C, Ctrl-Break
// or the console closed on Windows) removes the temporary files of this run
// and ends it with 128 + the signal's number (130 for Ctrl-C, 143 when the
// console closes).
void pulisci_a_interruzione();

// While it lives no interruption ends the run: a set of files is renamed
// whole, and only then may the run end.
class senza_interruzioni {
 public:
  senza_interruzioni();
  ~senza_interruzioni();
  senza_interruzioni(const senza_interruzioni&) = delete;
  senza_interruzioni& operator=(const senza_interruzioni&) = delete;
};

// Removes what killed runs left in `cartella`: files named as this
// program's temporary files that no running instance holds. Done once per
// directory by the first new file there.
void pulisci_temporanei(const percorso& cartella);

}  // namespace sc::piattaforma
