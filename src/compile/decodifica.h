// Reads the three binary files back. Independent of the writer, so that it
// checks the layout; used by the inspector too.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "model/modello.h"

namespace sc {

// Nothing when the bytes are not a whole file of that kind.
std::optional<std::vector<cella>> decodifica_celle(std::string_view dati);
std::optional<std::vector<voce_servizio>> decodifica_servizio(std::string_view dati);
std::optional<std::vector<valore_profilo>> decodifica_geometria(std::string_view dati);

}  // namespace sc
