#include "parsing/profilo_griglia.h"

#include <algorithm>
#include <array>
#include <utility>

#include "model/modello.h"
#include "model/testo.h"

namespace sc {

double curvatura(std::string_view campo) {
  static constexpr std::array<std::pair<char, double>, 6> classi = {
      {{'1', 0.0001}, {'2', 0.0002}, {'3', 0.0004}, {'4', 0.001}, {'5', 0.002}, {'6', 0.003}}};
  for (auto [cifra, k] : classi) {
    if (campo.find(cifra) == std::string_view::npos) continue;
    return contiene_nocase(campo, "s") ? -k : k;
  }
  return 0;
}

void griglia_piano::semina() { profilo_.semina(); }

void griglia_piano::passo(double k) {
  const std::int32_t m = profilo_.calcolati();
  double x1 = profilo_.x(m - 1), y1 = profilo_.y(m - 1);
  double dx = x1 - profilo_.x(m - 2);
  double dy = y1 - profilo_.y(m - 2);
  profilo_.aggiungi(x1 + (dx + k * dy), y1 + (dy - k * dx));
}

bool griglia_piano::integra_curva(std::int32_t s, std::int32_t n, std::string_view campo) {
  double k = curvatura(campo);
  if (k == 0) return false;
  // A curve running past the last metre of the grid stops there.
  std::int64_t fine = std::min<std::int64_t>(std::int64_t(s) + n, profilo_.ultimo_metro());
  while (prossimo_metro() <= s) {
    passo(0);
    if (prossimo_metro() > metro_massimo_griglia) return false;
  }
  while (prossimo_metro() <= fine) {
    passo(k);
    if (prossimo_metro() > metro_massimo_griglia) return false;
  }
  return true;
}

void griglia_piano::estendi() {
  while (prossimo_metro() <= profilo_.ultimo_metro() - 2) passo(0);
}

}  // namespace sc
