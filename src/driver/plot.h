// One SVG picture of a compiled scenario: the plan of the line, and below it
// the profile, the speed limit and the objects along the track.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/modello.h"

namespace sc {

struct scenario_compilato {
  std::string titolo;
  std::vector<valore_profilo> geometria;  // empty when the line had none
  std::vector<cella> celle;
  std::vector<voce_servizio> servizio;  // empty when missing
};

std::string disegna_svg(const scenario_compilato& s);

}  // namespace sc
