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

void griglia_piano::semina() {
  profilo_(0, 0) = valore_profilo::da_intero(0);
  profilo_(0, 1) = valore_profilo::da_intero(0);
  profilo_(1, 0) = valore_profilo::da_intero(0);
  profilo_(1, 1) = valore_profilo::da_intero(1);
  m_ = 2;
}

void griglia_piano::passo(double k) {
  double x1 = profilo_(m_ - 1, 0).valore, y1 = profilo_(m_ - 1, 1).valore;
  double dx = x1 - profilo_(m_ - 2, 0).valore;
  double dy = y1 - profilo_(m_ - 2, 1).valore;
  profilo_(m_, 0) = valore_profilo::da_reale(x1 + (dx + k * dy));
  profilo_(m_, 1) = valore_profilo::da_reale(y1 + (dy - k * dx));
  ++m_;
}

bool griglia_piano::integra_curva(std::int32_t s, std::int32_t n, std::string_view campo) {
  double k = curvatura(campo);
  if (k == 0) return false;
  // A curve running past the last metre of the grid stops there.
  std::int64_t fine = std::min<std::int64_t>(std::int64_t(s) + n, profilo_.ultimo_metro());
  while (m_ <= s) {
    passo(0);
    if (m_ > metro_massimo_griglia) return false;
  }
  while (m_ <= fine) {
    passo(k);
    if (m_ > metro_massimo_griglia) return false;
  }
  return true;
}

void griglia_piano::estendi() {
  while (m_ <= profilo_.ultimo_metro() - 2) passo(0);
}

}  // namespace sc
