// Curves from the plan of the line: the runs of one class and side that
// the plan holds, written as the entries that bend it so again.
#include <string>

#include "tools/decompile/decompila_parti.h"
#include "tools/inspect/curve_pianta.h"

namespace sc::inverso {

std::vector<riga> voci_curve(const std::vector<valore_profilo>& g, std::int32_t n_celle) {
  std::vector<riga> r;
  std::int64_t inizio_voce = -1;  // start written for the previous entry
  std::int64_t fine_voce = 0;     // and its last metre
  for (const curva_letta& c : leggi_curve(g)) {
    // The grid has its next metre after `inizio`: a start before it bends
    // only the metres from there, which is how a run goes on right after
    // another one when its own start would lie off the track.
    std::int64_t s = c.inizio;
    if (!entra(s, n_celle) && inizio_voce >= 0 && fine_voce == c.inizio) s = inizio_voce;
    // Past metre 1000000 the grid stops reading with error 103.
    if (!entra(s, n_celle) || c.fine >= regole::metro_massimo_griglia) continue;
    r.push_back({"curva" + lato_classe(c), {numero(s), numero(c.fine - s)}});
    inizio_voce = s;
    fine_voce = c.fine;
  }
  return r;
}

}  // namespace sc::inverso
