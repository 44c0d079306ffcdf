// Files of the host: a new file takes its name only when complete, and an
// input is read only when it is a regular file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace sc::piattaforma {

using percorso = std::filesystem::path;

// Inputs larger than this are refused: far above any real description.
inline constexpr std::size_t limite_ingresso = std::size_t(64) << 20;

// A path as UTF-8 text, for messages.
std::string testo_percorso(const percorso& p);

// The new content of the file `destinazione`, written into a temporary file
// created exclusively in the same directory (so no link is ever followed)
// and renamed over the name by conferma(). Dropped before that, it removes
// its temporary file and leaves the name as it was. Failures throw
// std::runtime_error saying which file and why.
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

 private:
  percorso destinazione_, temporaneo_;
  std::intptr_t handle_;  // a file descriptor, or a Win32 handle
  bool confermato_ = false;
};

// The whole content of a regular file of at most `limite` bytes. A
// directory, FIFO, device or socket, a larger file, or a failed read throws
// std::runtime_error saying which; a FIFO never blocks.
std::string leggi_file_regolare(const percorso& p, std::size_t limite = limite_ingresso);

}  // namespace sc::piattaforma
