// What the compile tells whoever watches it, for the diagnostics: which cell
// took an object, and the problems of the placement walk. The built-in run
// has no observer, and nothing here changes what is compiled.
#pragma once

#include <cstdint>
#include <vector>

namespace sc {

// A problem of the placement walk, with the cells that explain it.
struct problema_cammino {
  enum class caso {
    segnale_avviso,  // 11: no room in front of a signal before a warning board
    finestra,        // 12: an approach window full
    ripetizione,     // 13: no cell for a repeated mark
    senza_fine,      // 13: a restriction start with no end cell after it
    segnale_uscita,  // 13: no room in front of the exit signal
  };
  caso tipo;
  std::int32_t codice;
  std::int32_t cella_regola;          // the warning board or restriction start
  std::int32_t cella_oggetto = -1;    // the signal, or the cell a mark was due in
  std::int32_t distanza = 0;          // the window's first offset (5, 11 or 18)
  std::vector<std::int32_t> celle;    // the cells found taken
  std::int32_t cella_errore = 0;      // its metres are the position recorded with the code
};

// Every method does nothing unless a watcher says otherwise.
class osservatore_compilazione {
 public:
  virtual ~osservatore_compilazione() = default;
  // An object now stands in the cell: put there by the reader, a store, or
  // the walk (then `per_cella` is the cell of the rule it serves, else -1).
  virtual void cella_occupata(std::int64_t /*cella*/, std::int64_t /*per_cella*/) {}
  // An approach mark replaced another one in the cell.
  virtual void marca_sovrascritta(std::int64_t /*cella*/, std::uint8_t /*prima*/, std::uint8_t /*dopo*/) {}
  virtual void problema(const problema_cammino& /*p*/) {}
  // The compile stops with 1250 or 1251, or finds no cell 1 for the markers.
  virtual void fine_compilazione(std::int32_t /*codice*/) {}
};

// The observer of a compile nobody watches.
inline osservatore_compilazione& nessun_osservatore() {
  static osservatore_compilazione nessuno;
  return nessuno;
}

}  // namespace sc
