// The compiler proper: parse, placement walk, format markers, competition
// codes and the binary files.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "model/osservatore.h"
#include "parsing/ascoltatore_lettura.h"

namespace sc {

class Disk;
struct modello;

// Whoever watches a compile: what the readers meet, and where the compile
// puts each object. Every method does nothing unless overridden.
class ascoltatore_compilazione : public ascoltatore_lettura, public osservatore_compilazione {};

inline ascoltatore_compilazione& nessun_ascolto() {
  static ascoltatore_compilazione nessuno;
  return nessuno;
}

// A problem shown to the user; the run ends with it and writes nothing more.
struct errore_mostrato : std::runtime_error {
  explicit errore_mostrato(const std::string& messaggio, std::int32_t codice)
      : std::runtime_error(messaggio), codice(codice) {}
  std::int32_t codice;
};

// Shows " Errore n. " followed by the code, ending the run: it never returns.
[[noreturn]] void errore(std::int32_t codice);

// The smaller value, the first one on a tie.
inline std::int16_t minimo(std::int16_t x, std::int16_t y) { return x > y ? y : x; }

// Places the automatic marks in front of signals and along restrictions.
void cammino_posizionamento(modello& m);

// Compiles the two descriptions in `disk` into the three binary files,
// telling `ascolto` what it meets. With `recupera`, the readers drop an
// entry that would end the reading and go on (see memorizza_dati).
// `conferma`, if given, is asked before the binary files are written and
// may keep them from being written.
void memorizza_percorso(modello& m, Disk& disk, std::int32_t& j, ascoltatore_compilazione& ascolto = nessun_ascolto(),
                        bool recupera = false, const std::function<bool()>& conferma = nullptr);

}  // namespace sc
