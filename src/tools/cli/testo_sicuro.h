// Texts from the files put safely into the formats the tools write: JSON
// (also inside an HTML script element) and XML. Names may hold any byte.
#pragma once

#include <string>
#include <string_view>

namespace sc {

// A JSON string literal for UTF-8 text; "<", ">" and "&" escaped too, so
// that the literal can stand inside an HTML <script>.
std::string json_stringa(std::string_view utf8);

// A JSON number; null for NaN and the infinities, which JSON cannot hold.
std::string json_numero(double v, int decimali = -1);

// UTF-8 text as XML character data and attribute values: markup escaped and
// the control characters XML 1.0 forbids replaced by U+FFFD.
std::string xml_testo(std::string_view utf8);

}  // namespace sc
