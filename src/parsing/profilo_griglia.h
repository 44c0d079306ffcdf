// The per-metre plan of the line, built from the curve entries.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/modello.h"
#include "model/regole.h"

namespace sc {

// What a curve's key word says: its class digit, the first of 1 to 6 it
// holds (0 for none); how many class digits it holds; whether an "s" turns
// it left; and the letter after "curva", which authors mean as the side.
struct chiave_curva {
  int classe = 0;
  int cifre = 0;
  bool sinistra = false;
  char lato = '\0';

  // Turn per metre, negative to the left; 0 without a class.
  double curvatura() const;
};
chiave_curva leggi_chiave_curva(std::string_view campo);

class griglia_piano {
 public:
  explicit griglia_piano(profilo_linea& profilo) : profilo_(profilo) {}

  // Start at the origin with a first step along +Y.
  void semina();
  // Bends the grid from metre s for n metres; false (error 103) when the
  // key word has no class digit or the grid passes its highest metre.
  bool integra_curva(std::int32_t s, std::int32_t n, const chiave_curva& k);
  // Straight steps up to two metres before the end.
  void estendi();

  // The next metre to compute. It runs on past the grid's last metre, where
  // nothing is stored, as far as the curves ask.
  std::int64_t prossimo_metro() const { return prossimo_; }

 private:
  void passi(std::int64_t fino, double k);
  bool avanza_fino(std::int64_t fino, double k);

  profilo_linea& profilo_;
  std::int64_t prossimo_ = 2;
};

}  // namespace sc
