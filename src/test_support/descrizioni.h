// Helpers for tests that read descriptions from an in-memory directory.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "parsing/memorizza_dati.h"
#include "writers/scrittori.h"
#include "writers/tabelle.h"

namespace sc::test {

// Lines joined as a description file: CR LF after each.
inline std::string righe(std::initializer_list<std::string_view> linee) {
  std::string s;
  for (std::string_view l : linee) s.append(l).append("\r\n");
  return s;
}

inline std::string linea_predefinita() { return testo_tabella(tabella_linea()); }
inline std::string servizio_predefinito() { return testo_tabella(tabella_treno()); }

// A line description of 9000 m (320 cells) with the given line items.
inline std::string linea_con(std::string_view voci) {
  return "[generale]\r\nlunghezza percorso, 9000\r\n[curve]\r\n" + std::string(voci) + "[fine]\r\n";
}
// A service description with the given entries.
inline std::string servizio_con(std::string_view voci) {
  return "[generale]\r\n" + std::string(voci) + "[fine]\r\n";
}

struct lettura {
  modello m;
  MemoryDisk disk;
  luogo_lettura luogo;
  bool esiste(const std::string& nome) { return disk.exists(nome); }
};

// Writes the two descriptions (an empty view leaves a file out) and reads them.
inline void leggi(lettura& l, std::string_view linea, std::string_view servizio, int genera = 1) {
  l.m.nome_scenario = "Linea";
  l.m.nome_treno = "Treno";
  l.m.genera_linea = genera;
  if (!linea.empty()) l.disk.replace(nome_linea_txt(l.m), std::string(linea));
  if (!servizio.empty()) l.disk.replace(nome_treno_txt(l.m), std::string(servizio));
  l.luogo = memorizza_dati(l.m, l.disk);
}

}  // namespace sc::test
