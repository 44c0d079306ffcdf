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
  profilo_.semina();
  prossimo_ = 2;
}

// Steps from the next stored metre to metre `fino`, with the last two points
// kept at hand rather than read back from the grid.
void griglia_piano::passi(std::int64_t fino, double k) {
  const std::int32_t m = profilo_.calcolati();
  if (m > fino) return;
  double x2 = profilo_.x(m - 2), y2 = profilo_.y(m - 2);
  double x1 = profilo_.x(m - 1), y1 = profilo_.y(m - 1);
  for (std::int64_t i = m; i <= fino; ++i) {
    const double dx = x1 - x2, dy = y1 - y2;
    x2 = x1;
    y2 = y1;
    // On a straight k * dy and k * dx are zeros, and adding a zero leaves any
    // number but a zero as it was: the same bits by a shorter chain of
    // operations, which is what the step's time is spent waiting on.
    if (k == 0 && dx != 0 && dy != 0) {
      x1 += dx;
      y1 += dy;
    } else {
      x1 += dx + k * dy;
      y1 += dy - k * dx;
    }
    profilo_.aggiungi(x1, y1);
  }
}

// Steps up to metre `fino`. Metres past the grid's last one are counted but
// not stored; the count stops at the first metre past 1000000: false then.
bool griglia_piano::avanza_fino(std::int64_t fino, double k) {
  if (prossimo_ > fino) return true;
  const std::int64_t ultimo_passo = std::min<std::int64_t>(fino, metro_massimo_griglia);
  const std::int64_t ultimo_memorizzato = std::min<std::int64_t>(ultimo_passo, profilo_.ultimo_metro());
  passi(ultimo_memorizzato, k);
  prossimo_ = std::max(prossimo_, ultimo_passo + 1);
  return prossimo_ <= metro_massimo_griglia;
}

bool griglia_piano::integra_curva(std::int32_t s, std::int32_t n, std::string_view campo) {
  double k = curvatura(campo);
  if (k == 0) return false;
  return avanza_fino(s, 0) && avanza_fino(std::int64_t(s) + n, k);
}

void griglia_piano::estendi() {
  const std::int64_t fino = std::int64_t(profilo_.ultimo_metro()) - 2;
  passi(fino, 0);
  prossimo_ = std::max(prossimo_, fino + 1);
}

}  // namespace sc
