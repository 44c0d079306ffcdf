// A pair of descriptions compiled in memory and read back as the author
// tools read a compiled scenario from disk.
#pragma once

#include <string>

#include "test_support/compilazione.h"
#include "test_support/file_prova.h"

namespace sc::test {

// The pair compiled in memory and read back as `carica_scenario` gives it.
inline scenario_compilato scenario_in_memoria(const std::string& linea, const std::string& servizio) {
  return carica_compilato(compila_in_memoria(linea, servizio));
}

// A description file of the restriction-rich scenario, with CR LF line ends.
inline std::string descrizione_ricca(const std::string& nome) {
  std::string r;
  for (char c : leggi_file(std::string(SC_TEST_SUPPORT "/ricca/") + nome))
    if (c == '\n') r += "\r\n";
    else if (c != '\r') r += c;
  return r;
}

}  // namespace sc::test
