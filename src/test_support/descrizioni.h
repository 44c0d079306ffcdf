// Helpers for tests that read descriptions from an in-memory directory.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "diagnostics/diagnostica.h"
#include "diagnostics/tabella.h"
#include "parsing/memorizza_dati.h"
#include "diagnostics/osservatore_diagnostiche.h"
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

// A read with the diagnostics watching, as compile runs it: they must never
// change what is read.
struct lettura {
  modello m;
  MemoryDisk disk;
  raccolta_diagnostiche diagnostiche;
  osservatore_diagnostiche diag{diagnostiche, m};
  bool esiste(const std::string& nome) { return disk.exists(nome); }
  // The errors reported, as "FILE:LINE code".
  std::vector<std::string> errori() const {
    std::vector<std::string> r;
    for (const diagnostica& d : diagnostiche.tutte)
      if (codice_di(d.id) > 0) r.push_back(d.dove.file + ":" + std::to_string(d.dove.riga) + " " + std::to_string(codice_di(d.id)));
    return r;
  }
};

// Writes the two descriptions (an empty view leaves a file out) and reads them.
inline void leggi(lettura& l, std::string_view linea, std::string_view servizio, int genera = 1) {
  l.m.nome_scenario = "Linea";
  l.m.nome_treno = "Treno";
  l.m.genera_linea = genera;
  if (!linea.empty()) l.disk.replace(nome_linea_txt(l.m), std::string(linea));
  if (!servizio.empty()) l.disk.replace(nome_treno_txt(l.m), std::string(servizio));
  memorizza_dati(l.m, l.disk, l.diag);
}

}  // namespace sc::test
