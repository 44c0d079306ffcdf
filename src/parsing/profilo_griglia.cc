#include "parsing/profilo_griglia.h"

#include <algorithm>
#include <array>
#include <utility>

#include "model/modello.h"
#include "model/testo.h"

namespace sc {

namespace {

// Turn per metre of each class, in the order the digits are tested.
constexpr std::array<std::pair<char, double>, 6> classi = {
    {{'1', 0.0001}, {'2', 0.0002}, {'3', 0.0004}, {'4', 0.001}, {'5', 0.002}, {'6', 0.003}}};

}  // namespace

chiave_curva leggi_chiave_curva(std::string_view campo) {
  chiave_curva k;
  for (std::size_t i = 0; i < classi.size(); ++i) {
    if (campo.find(classi[i].first) == std::string_view::npos) continue;
    if (k.classe == 0) k.classe = int(i) + 1;
    ++k.cifre;
  }
  k.sinistra = contiene_nocase(campo, "s");
  const std::string minuscolo = minuscolo_cp1252(campo);
  const std::size_t dopo = minuscolo.find("curva");
  if (dopo != std::string::npos && dopo + 5 < minuscolo.size()) k.lato = minuscolo[dopo + 5];
  return k;
}

double chiave_curva::curvatura() const {
  if (classe == 0) return 0;
  const double k = classi[std::size_t(classe - 1)].second;
  return sinistra ? -k : k;
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
  const std::int64_t ultimo_passo = std::min<std::int64_t>(fino, regole::metro_massimo_griglia);
  const std::int64_t ultimo_memorizzato = std::min<std::int64_t>(ultimo_passo, profilo_.ultimo_metro());
  passi(ultimo_memorizzato, k);
  prossimo_ = std::max(prossimo_, ultimo_passo + 1);
  return prossimo_ <= regole::metro_massimo_griglia;
}

bool griglia_piano::integra_curva(std::int32_t s, std::int32_t n, const chiave_curva& c) {
  const double k = c.curvatura();
  if (k == 0) return false;
  return avanza_fino(s, 0) && avanza_fino(std::int64_t(s) + n, k);
}

void griglia_piano::estendi() {
  const std::int64_t fino = std::int64_t(profilo_.ultimo_metro()) - 2;
  passi(fino, 0);
  prossimo_ = std::max(prossimo_, fino + 1);
}

}  // namespace sc
