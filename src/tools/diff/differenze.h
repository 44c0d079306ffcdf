// What differs between two compiled scenarios, said in the words of the
// descriptions: cells by metres and by what they hold, service records by
// their role, the plan by its first and last differing metre.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/modello.h"
#include "tools/readback/scenario_compilato.h"

namespace sc {

struct differenza {
  // Objects are named in `oggetto` and sorted by their metres in `primo`.
  enum class parte { servizio, celle, piano, oggetti };
  parte dove = parte::celle;
  std::int64_t primo = 0, ultimo = 0;  // cells, the record twice, or metres
  std::string oggetto;                 // records: their role, as 'station "BRUNEA"'
  std::string testo;                   // "gradient -12 -> -10"; for the plan, "" when its points differ from primo to ultimo
};

// Cells of A against cells of B. The service tables, where given, name the
// texts of sign boards and the stations of stop cells.
std::vector<differenza> differenze_celle(const std::vector<cella>& a, const std::vector<cella>& b,
                                         const std::vector<voce_servizio>* servizio_a = nullptr,
                                         const std::vector<voce_servizio>* servizio_b = nullptr);
std::vector<differenza> differenze_servizio(const std::vector<voce_servizio>& a, const std::vector<voce_servizio>& b);
// An empty plan is a scenario compiled without one.
std::vector<differenza> differenze_piano(const std::vector<valore_profilo>& a, const std::vector<valore_profilo>& b);
// Records first, then cells by metres, then the plan.
std::vector<differenza> differenze_scenari(const scenario_compilato& a, const scenario_compilato& b);
// By the objects the descriptions wrote: general records, then stations,
// signals, boards, restrictions, marks, mountains and fills along the line,
// then the plan: "signal moved 700 -> 750 m".
std::vector<differenza> differenze_oggetti(const scenario_compilato& a, const scenario_compilato& b);

// One line: "metres 1000-1500 (cells 20-29): gradient -12 -> -10",
// 'station "BRUNEA": time 11:44 -> 11:45', "plan: metres 1801-15998 differ".
std::string riga_differenza(const differenza& d);

}  // namespace sc
