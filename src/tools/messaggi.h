// Plain words for every error code, for the people who write descriptions.
#pragma once

#include <cstdint>
#include <string>

#include "parsing/contesto_lettura.h"

namespace sc {

// What the code means, in one sentence.
const char* testo_errore(std::int32_t codice);
// Whether the code comes with a position in metres.
bool errore_con_posizione(std::int32_t codice);
// "error N at P m: TEXT", preceded by "FILE:LINE: " when `file` is not empty.
std::string riga_errore(std::int32_t codice, std::int32_t posizione, const std::string& file, int riga);

}  // namespace sc
