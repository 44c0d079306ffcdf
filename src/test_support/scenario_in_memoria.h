// A pair of descriptions compiled in memory and read back as the author
// tools read a compiled scenario from disk.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "compile/decodifica.h"
#include "compile/percorso.h"
#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "tools/scenario_compilato.h"

namespace sc::test {

inline scenario_compilato compila_in_memoria(const std::string& linea, const std::string& servizio) {
  modello m;
  m.nome_scenario = "Linea";
  m.nome_treno = "Treno";
  MemoryDisk disk;
  disk.replace(nome_linea_txt(m), linea);
  disk.replace(nome_treno_txt(m), servizio);
  std::int32_t j = 1;
  memorizza_percorso(m, disk, j);
  scenario_compilato s;
  s.scenario = "Linea";
  s.treno = "Treno";
  s.titolo = "Linea - Treno";
  s.nome_base = "Linea_Treno";
  for (const auto& [nome, dati] : disk.files()) {
    if (nome.size() > 10 && nome.substr(nome.size() - 10) == "_linea.dat") s.geometria = *decodifica_geometria(dati);
    else if (nome.size() > 4 && nome.substr(nome.size() - 4) == ".sim") s.servizio = *decodifica_servizio(dati);
    else if (nome.size() > 4 && nome.substr(nome.size() - 4) == ".dat") s.celle = *decodifica_celle(dati);
  }
  return s;
}

// A description file of the restriction-rich scenario, with CR LF line ends.
inline std::string descrizione_ricca(const std::string& nome) {
  std::ifstream f(std::string(SC_TEST_SUPPORT "/ricca/") + nome, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  std::string r;
  for (char c : s.str())
    if (c == '\n') r += "\r\n";
    else if (c != '\r') r += c;
  return r;
}

}  // namespace sc::test
