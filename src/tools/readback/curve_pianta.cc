#include "tools/readback/curve_pianta.h"

#include <array>
#include <bit>
#include <cmath>
#include <limits>

#include "parsing/profilo_griglia.h"

namespace sc {

namespace {

// Signed class: 0 straight, 1 to 6 clockwise ("curvad"), -1 to -6
// anticlockwise ("curvas").
struct classi_curva {
  std::array<double, 13> k{};  // index 6 + class
  classi_curva() {
    for (int c = 1; c <= 6; ++c) {
      k[std::size_t(6 + c)] = leggi_chiave_curva("curvad" + std::to_string(c)).curvatura();
      k[std::size_t(6 - c)] = leggi_chiave_curva("curvas" + std::to_string(c)).curvatura();
    }
  }
  double operator()(int classe) const { return k[std::size_t(6 + classe)]; }
};

bool stessi_bit(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

// The grid's step from (x2, y2) and (x1, y1) with curvature k.
bool passo_da(double x2, double y2, double x1, double y1, double k, double x, double y) {
  const double dx = x1 - x2, dy = y1 - y2;
  return stessi_bit(x1 + (dx + k * dy), x) && stessi_bit(y1 + (dy - k * dx), y);
}

int classe_passo(const classi_curva& k, int precedente, double x2, double y2, double x1, double y1, double x, double y) {
  if (passo_da(x2, y2, x1, y1, k(precedente), x, y)) return precedente;
  if (passo_da(x2, y2, x1, y1, 0.0, x, y)) return 0;
  int vicina = 0;
  double scarto = std::numeric_limits<double>::infinity();
  for (int c = -6; c <= 6; ++c) {
    if (passo_da(x2, y2, x1, y1, k(c), x, y)) return c;
    const double dx = x1 - x2, dy = y1 - y2;
    const double e = std::fabs(x1 + (dx + k(c) * dy) - x) + std::fabs(y1 + (dy - k(c) * dx) - y);
    if (e < scarto) scarto = e, vicina = c;
  }
  return vicina;
}

}  // namespace

std::vector<curva_letta> leggi_curve(const std::vector<valore_profilo>& g, std::size_t* fine_calcolo) {
  std::vector<curva_letta> r;
  const std::size_t metri = g.size() / 2;  // metres 0 to N
  if (fine_calcolo) *fine_calcolo = 0;
  if (metri < 4) return r;
  const valore_profilo* x = g.data();
  const valore_profilo* y = g.data() + metri;
  auto calcolato = [&](std::size_t m) { return x[m].tag == valore_profilo::reale && y[m].tag == valore_profilo::reale; };

  const classi_curva k;
  int classe = 0;
  std::size_t primo = 0;  // first metre of the run in progress
  auto chiudi = [&](std::size_t ultimo) {
    if (classe != 0) r.push_back({std::int64_t(primo) - 1, std::int64_t(ultimo), std::abs(classe), classe < 0});
  };
  std::size_t m = 2;
  for (; m < metri && calcolato(m); ++m) {
    const int c = classe_passo(k, classe, x[m - 2].valore, y[m - 2].valore, x[m - 1].valore, y[m - 1].valore, x[m].valore, y[m].valore);
    if (c == classe) continue;
    chiudi(m - 1);
    classe = c;
    primo = m;
  }
  chiudi(m - 1);
  if (fine_calcolo) *fine_calcolo = m;
  return r;
}

std::string lato_classe(const curva_letta& c) { return std::string(c.sinistra ? "s" : "d") + std::to_string(c.classe); }

}  // namespace sc
