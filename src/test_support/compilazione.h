// Descriptions compiled in memory, and the result loaded as the tools load
// a compiled scenario: for the tests and the benchmark of decompile and diff.
#pragma once

#include <cctype>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "compile/decodifica.h"
#include "compile/compila.h"
#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "tools/readback/scenario_compilato.h"

namespace sc::test {

struct compilazione {
  std::map<std::string, std::string> file;  // the binary files by name
  std::int32_t codice = 0, posizione = 0;   // what the compile recorded
  std::int32_t mostrato = 0;                // 1250 or 1251 when it stopped
};

inline compilazione compila_in_memoria(const std::string& linea, const std::string& servizio, std::int32_t j = 1,
                                       const std::string& scenario = "Linea", const std::string& treno = "Treno") {
  modello m;
  m.nome_scenario = scenario;
  m.nome_treno = treno;
  MemoryDisk disk;
  disk.replace(nome_linea_txt(m), linea);
  disk.replace(nome_treno_txt(m), servizio);
  compilazione c;
  c.mostrato = sc::compila({scenario, treno, j}, m, disk).codice_mostrato;
  c.codice = m.codice_errore;
  c.posizione = m.posizione_errore;
  for (const auto& [nome, dati] : disk.files())
    if (nome.size() > 4 && nome.compare(nome.size() - 4, 4, ".txt") != 0) c.file[nome] = dati;
  return c;
}

// The compiled scenario as `carica_scenario` gives it, from the files of a
// compile (which must have written them).
inline scenario_compilato carica_compilato(const compilazione& c, const std::string& scenario = "Linea", const std::string& treno = "Treno") {
  scenario_compilato s;
  s.scenario = scenario;
  s.treno = treno;
  s.titolo = scenario + " - " + treno;
  s.nome_base = scenario + "_" + treno;
  s.celle = decodifica_celle(c.file.at(s.nome_base + ".dat")).value();
  s.servizio = decodifica_servizio(c.file.at(s.nome_base + ".sim")).value();
  if (auto g = c.file.find(scenario + "_linea.dat"); g != c.file.end()) s.geometria = decodifica_geometria(g->second).value();
  return s;
}

// A test case's name as GoogleTest takes it: letters, digits and "_".
inline std::string nome_caso(std::string_view testo) {
  std::string n;
  for (char c : testo) n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return n;
}

}  // namespace sc::test
