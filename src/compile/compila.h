// The one way into the compiler for every caller: the built-in run, the
// commands, the tests and the fuzzer. Two descriptions in a Disk become the
// three binary files beside them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace sc {

class Disk;
class ascoltatore_compilazione;
struct modello;

struct richiesta_compilazione {
  std::string nome_scenario, nome_treno;  // Windows-1252, as the model stores them
  std::int32_t genera_linea = 1;          // 0: no plan of the line, no geometry file
  // Read on past each entry that would end the reading, dropping it, so that
  // independent problems are all found (check); the format stops.
  bool recupera = false;
  // Asked once the track is compiled, before the binary files are written:
  // false writes none (a tool that keeps a good build). Unset, they are
  // written whatever was found, as the format demands.
  std::function<bool()> conferma_scrittura = nullptr;
};

struct esito_compilazione {
  // 1250 or 1251 when the compile stopped the run (nothing was written),
  // with the message the run shows; 0 otherwise.
  std::int32_t codice_mostrato = 0;
  std::string messaggio;
  bool scritto = false;  // the binary files were written

  bool fermato() const { return codice_mostrato != 0; }
};

// Compiles into `m`, which the caller owns and reads afterwards (the error
// state, the cells, the service table); `ascolto` watches, if given.
esito_compilazione compila(const richiesta_compilazione& r, modello& m, Disk& disk, ascoltatore_compilazione* ascolto = nullptr);

}  // namespace sc
