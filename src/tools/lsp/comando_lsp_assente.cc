// lsp in a build without the JSON library: it says so.
#include <iostream>

#include "tools/lsp/comando_lsp_testi.h"

namespace sc {

namespace {

int esegui(const argomenti&) {
  std::cerr << "scenario-compiler: this build has no language server: nlohmann-json was not found when it was built\n";
  return esito_uso;
}

}  // namespace

const comando comando_lsp = comando_lsp_con(esegui);

}  // namespace sc
