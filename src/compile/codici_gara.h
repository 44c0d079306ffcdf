// The two competition codes that bind the compiled files to the train and
// scenario names.
#pragma once

#include <cstdint>

namespace sc {

struct modello;

// Weighted sum of the first 25 character codes of the working text.
std::int32_t codice_gara_st(const modello& m);
// Plain sum of the same characters.
std::int16_t codice_gara_og(const modello& m);

}  // namespace sc
