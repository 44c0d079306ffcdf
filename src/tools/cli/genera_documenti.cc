// Writes the man page or the bash completion of scenario-compiler into a
// file; the build runs it so that the installed files always match the
// command tables.
#include <fstream>
#include <iostream>
#include <string_view>

#include "tools/cli/manuale.h"

#ifndef SC_VERSION
#define SC_VERSION "unknown"
#endif

int main(int argc, char** argv) {
  const std::string_view cosa = argc == 3 ? argv[1] : "";
  if (cosa != "man" && cosa != "completion") {
    std::cerr << "usage: genera_documenti man|completion FILE\n";
    return 1;
  }
  std::ofstream uscita(argv[2], std::ios::binary);
  uscita << (cosa == "man" ? sc::pagina_manuale(SC_VERSION) : sc::completamento_bash());
  uscita.close();
  if (!uscita) {
    std::cerr << "genera_documenti: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
