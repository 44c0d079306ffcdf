// One SVG picture of a compiled scenario: the plan of the line, and below it
// the profile, the speed limit and the objects along the track.
#pragma once

#include <string>

#include "tools/readback/scenario_compilato.h"

namespace sc {

std::string disegna_svg(const scenario_compilato& s);

}  // namespace sc
