// The compiler proper: parse, placement walk, format markers, competition
// codes and the binary files.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace sc {

class Disk;
class segnalazioni;
struct modello;

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
// telling the diagnostics, if any, what it meets.
void memorizza_percorso(modello& m, Disk& disk, std::int32_t& j, segnalazioni* diag = nullptr);

}  // namespace sc
