// The reference of the format, written from its tables: every entry with
// its fields, every kind of track cell, every warning. For `help`, the man
// page and the editor server.
#pragma once

#include <string>
#include <string_view>

#include "model/voci.h"

namespace sc {

// One entry: what it is, where it is read, and every field.
std::string riferimento_voce(voce v);
// Every entry, by description and section.
std::string riferimento_formato();
// Every kind of track cell, with the values it holds.
std::string riferimento_celle();
// Every warning, with its name and whether it is on by default.
std::string riferimento_avvisi();

// A field in a few lines: name, unit, range, storage, checks, meaning.
std::string riferimento_campo(voce v, std::size_t campo);
// The range a field is kept in: "-100 to 155 ‰".
std::string intervallo_campo(const campo_voce& c);

// The topics `help` knows besides the commands, for its usage line.
extern const char* const argomenti_aiuto;

}  // namespace sc
