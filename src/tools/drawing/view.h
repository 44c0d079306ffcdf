// One self-contained HTML page that shows a compiled scenario: the plan, the
// profile, the speed limit, the objects along the line and the timetable,
// drawn in the browser from the data the page carries.
#pragma once

#include <string>

#include "tools/readback/scenario_compilato.h"

namespace sc {

std::string pagina_view(const scenario_compilato& s);

// The page's data alone, as JSON.
std::string dati_view(const scenario_compilato& s);

}  // namespace sc
