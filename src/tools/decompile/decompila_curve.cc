// Curves from the plan of the line. Every computed metre is one step from
// the two metres before it, bent by the curvature of its class and side (0
// on a straight); the steps are never scaled back to one metre, so the step
// is recomputed from the stored neighbours exactly as the grid computed it,
// and the class is the one whose step gives the stored point bit for bit.
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "parsing/profilo_griglia.h"
#include "tools/decompile/decompila_parti.h"

namespace sc::inverso {

namespace {

// Signed class: 0 straight, 1 to 6 clockwise ("curvad"), -1 to -6
// anticlockwise ("curvas").
struct classi_curva {
  std::array<double, 13> k{};  // index 6 + class
  classi_curva() {
    for (int c = 1; c <= 6; ++c) {
      k[std::size_t(6 + c)] = curvatura("curvad" + std::to_string(c));
      k[std::size_t(6 - c)] = curvatura("curvas" + std::to_string(c));
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

// The class of the step to (x, y); the one that comes nearest when none
// gives the point exactly (a plan this compiler did not write).
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

namespace {

// Metres from 0 that hold a point (the seed and the computed ones).
std::size_t metri_calcolati(const std::vector<valore_profilo>& g) {
  const std::size_t metri = g.size() / 2;
  std::size_t m = 0;
  while (m < metri && g[m].tag != valore_profilo::vuoto) ++m;
  return m;
}

}  // namespace

bool piano_seminato(const std::vector<valore_profilo>& g) { return !g.empty() && g[0].tag == valore_profilo::intero; }

bool piano_esteso(const std::vector<valore_profilo>& g) {
  // The closing steps compute every metre to two before the last.
  return piano_seminato(g) && metri_calcolati(g) + 2 >= g.size() / 2;
}

std::vector<riga> voci_curve(const std::vector<valore_profilo>& g, std::int32_t n_celle, bool estesa, bool* oltre) {
  std::vector<riga> r;
  if (oltre) *oltre = false;
  const std::size_t metri = g.size() / 2;  // metres 0 to N
  if (metri < 4) return r;
  const valore_profilo* x = g.data();
  const valore_profilo* y = g.data() + metri;
  auto calcolato = [&](std::size_t m) { return x[m].tag == valore_profilo::reale && y[m].tag == valore_profilo::reale; };

  const classi_curva k;
  std::int64_t inizio_voce = -1;  // start written for the previous entry
  std::size_t fine_voce = 0;      // and its last metre
  int classe = 0;
  bool fermo = false;     // a curve past metre 1000000 stopped the reading
  std::size_t primo = 0;  // first metre of the run in progress
  auto chiudi = [&](std::size_t ultimo) {
    if (classe == 0 || fermo) return;
    // The grid has its next metre at `primo`: a start before it bends only
    // the metres from there, which is how a run goes on right after another
    // one when its own start would lie off the track.
    std::int64_t s = std::int64_t(primo) - 1;
    if (!entra(s, n_celle) && inizio_voce >= 0 && fine_voce + 1 == primo) s = inizio_voce;
    if (!entra(s, n_celle)) return;
    const std::string chiave = std::string(classe > 0 ? "curvad" : "curvas") + char('0' + std::abs(classe));
    r.push_back({chiave, {numero(s), numero(std::int64_t(ultimo) - s)}});
    inizio_voce = s;
    fine_voce = ultimo;
    // Past metre 1000000 the grid stops reading with error 103.
    if (ultimo >= std::size_t(regole::metro_massimo_griglia)) fermo = true;
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
  // A plan the closing steps did not extend ends where the curves end: a
  // curve of no length carries a last straight on.
  if (!estesa && !fermo && classe == 0 && m > primo && m >= 3 && entra(std::int64_t(m) - 1, n_celle))
    r.push_back({"curvad1", {numero(std::int64_t(m) - 1), "0"}});
  if (oltre) *oltre = fermo;
  return r;
}

}  // namespace sc::inverso
