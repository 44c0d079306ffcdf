// Names given as text, and the files a command is about to write: checked
// before anything is written.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sc {

// A scenario or train name from the command line or a file name, as the
// model stores it: Windows-1252 text. The name comes as UTF-8 (on Windows
// too, from the wide-character command line); one Windows-1252 cannot hold
// throws errore_uso naming `cosa` ("scenario", "train").
std::string nome_modello(const std::string& nome, const std::string& cosa);

// A file about to be written: its 8-bit name and what it holds.
struct uscita_prevista {
  std::string nome;  // "S_T.sim"
  std::string cosa;  // "service data file"
};

// Before anything is written into `cartella`: every file name fits in 255
// bytes as the host spells it and holds no character Windows refuses in
// file names; no two outputs are one file, letter case aside (they would be
// on Windows); none is a directory; none is one of the `ingressi`. Throws
// errore_uso saying what is wrong.
void controlla_uscite(const std::filesystem::path& cartella, const std::vector<uscita_prevista>& uscite,
                      const std::vector<std::string>& ingressi);

// Throws errore_uso when writing `uscita` would replace one of the
// `ingressi` (UTF-8 paths): the same name, or the same file under another name (a link
// there is replaced by the write, not followed, so it is no input).
void controlla_non_ingresso(const std::filesystem::path& uscita, const std::vector<std::string>& ingressi);

// The names compile stores, with the files it will write checked.
struct nomi_compile {
  std::string scenario, treno;  // Windows-1252
};
// `cartella` is UTF-8 text, as given.
nomi_compile controlla_compile(const std::string& scenario, const std::string& treno, const std::string& cartella,
                               bool geometria, const std::vector<std::string>& ingressi);

}  // namespace sc
