// A compiled scenario read back from its binary files: what plot, view,
// decompile and diff work on.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/modello.h"
#include "tools/readback/ispeziona.h"

namespace sc {

struct scenario_compilato {
  std::string scenario, treno;            // the names the file names give
  std::string titolo;                     // "SCENARIO - TRAIN"
  std::string nome_base;                  // SCENARIO_TRAIN, the stem of the per-train files
  std::vector<valore_profilo> geometria;  // empty when the line had none
  std::vector<cella> celle;
  std::vector<voce_servizio> servizio;  // the 87 records
};

// Which scenario of a directory: empty names choose nothing.
struct scelta_scenario {
  std::string scenario, treno;
};

// One binary file read and checked, the one check every command that reads
// compiled files makes: its kind by its name ("_linea.dat", ".sim",
// ".dat"), or by its content under any other name, or the kind given.
// Throws errore_uso naming the file and why it is not one: it cannot be
// read, its bytes do not decode, or what they hold no compile writes.
binario_letto leggi_compilato(const std::string& percorso, std::optional<tipo_binario> tipo = std::nullopt);

// The scenario compiled in `cartella`: NAME_TRAIN.sim with NAME_TRAIN.dat,
// and NAME_linea.dat where it exists, each checked. Throws errore_uso when
// there is none, when several fit the choice, or when a file is not of its
// kind.
scenario_compilato carica_scenario(const std::string& cartella, const scelta_scenario& scelta);

// The same from the files named one by one, each checked; the geometry may
// be "".
scenario_compilato carica_file(const std::string& sim, const std::string& celle, const std::string& geometria);

}  // namespace sc
