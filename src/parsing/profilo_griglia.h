// The per-metre plan of the line, built from the curve entries.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/modello.h"

namespace sc {



// Highest metre the grid may reach while curves are integrated.
inline constexpr std::int32_t metro_massimo_griglia = 1000000;

// Curvature per metre of a curve keyword, or 0 when it holds no class digit.
double curvatura(std::string_view campo);

class griglia_piano {
 public:
  explicit griglia_piano(profilo_linea& profilo) : profilo_(profilo) {}

  // Start at the origin with a first step along +Y.
  void semina();
  // Bends the grid from metre s for n metres; false (error 103) when the
  // keyword has no class digit or the grid passes metre 1000000.
  bool integra_curva(std::int32_t s, std::int32_t n, std::string_view campo);
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
