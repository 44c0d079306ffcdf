// Curves from the plan of the line: the runs of one class and side that
// the plan holds, written as the entries that bend it so again.
#include <string>

#include "tools/decompile/decompila_parti.h"
#include "tools/readback/curve_pianta.h"

namespace sc::inverso {

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
  std::size_t fine_calcolo = 0;
  const std::vector<curva_letta> curve = leggi_curve(g, &fine_calcolo);
  std::int64_t inizio_voce = -1;  // start written for the previous entry
  std::int64_t fine_voce = 0;     // and its last metre
  for (const curva_letta& c : curve) {
    // The grid has its next metre after `inizio`: a start before it bends
    // only the metres from there, which is how a run goes on right after
    // another one when its own start would lie off the track.
    std::int64_t s = c.inizio;
    if (!entra(s, n_celle) && inizio_voce >= 0 && fine_voce == c.inizio) s = inizio_voce;
    if (!entra(s, n_celle)) continue;
    r.push_back({"curva" + lato_classe(c), {numero(s), numero(c.fine - s)}});
    inizio_voce = s;
    fine_voce = c.fine;
    // Past metre 1000000 the grid stops reading with error 103: the curve
    // that reaches there is the last one read.
    if (c.fine >= regole::metro_massimo_griglia) {
      if (oltre) *oltre = true;
      return r;
    }
  }
  // A plan the closing steps did not extend ends where the curves end: a
  // curve of no length carries a last straight on.
  const std::int64_t ultimo = std::int64_t(fine_calcolo) - 1;
  const bool finisce_dritto = curve.empty() || curve.back().fine < ultimo;
  if (!estesa && finisce_dritto && fine_calcolo >= 3 && entra(ultimo, n_celle)) r.push_back({"curvad1", {numero(ultimo), "0"}});
  return r;
}

}  // namespace sc::inverso
