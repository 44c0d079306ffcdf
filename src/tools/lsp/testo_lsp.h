// A description as an editor holds it. The editor decodes the file as
// Windows-1252, so every character it sends stands for one byte of the file;
// positions count lines and UTF-16 code units, as the Language Server
// Protocol does. The bytes are what the compiler reads; byte offsets and
// editor positions convert both ways, exactly for accented names and tabs.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sc {

// 0-based line and UTF-16 column.
struct posizione_lsp {
  int riga = 0;
  int carattere = 0;
  bool operator==(const posizione_lsp&) const = default;
};

class testo_documento {
 public:
  testo_documento() { indicizza(); }
  // From the editor's text (UTF-8); a character Windows-1252 lacks becomes
  // "?", and is remembered.
  static testo_documento da_utf8(std::string_view utf8);
  // From a file's bytes, already Windows-1252.
  static testo_documento da_cp1252(std::string byte);

  const std::string& byte() const { return byte_; }
  std::size_t righe() const { return inizi_.size(); }

  // The editor's position of a byte offset (past the end: the end).
  posizione_lsp posizione(std::size_t offset) const;
  // The byte offset of an editor position; a column past the line's end is
  // its end, as the protocol says; nothing for a line past the last.
  std::optional<std::size_t> offset(posizione_lsp p) const;
  // The line's bytes, without its line end.
  std::string_view riga(std::size_t r) const;
  std::size_t inizio_riga(std::size_t r) const { return inizi_[r]; }

  // Replaces the bytes from `da` to `a` by the editor's text (UTF-8).
  void sostituisci(std::size_t da, std::size_t a, std::string_view utf8);

  // The first character Windows-1252 has no byte for: its offset and code
  // point.
  struct carattere_speciale {
    std::size_t offset;
    char32_t punto;
  };
  std::optional<carattere_speciale> primo_senza_cp1252() const {
    if (speciali_.empty()) return std::nullopt;
    return speciali_.front();
  }

 private:
  void indicizza();

  std::string byte_;
  std::vector<std::size_t> inizi_;
  // Characters without a byte, in order; those past U+FFFF take two UTF-16
  // units.
  std::vector<carattere_speciale> speciali_;
};

// The UTF-16 length of a UTF-8 text, for offsets inside labels.
std::size_t lunghezza_utf16(std::string_view utf8);

}  // namespace sc
