// The built-in scenario's text files, as tables of lines.
#pragma once

#include <string_view>
#include <vector>

namespace sc {

// Marks the end of a table; lines from it on are not part of the file.
inline constexpr std::string_view sentinella = "riferimento fine del file";

// Lines in source encoding (UTF-8); the writer turns them into 8-bit text.
const std::vector<std::string_view>& tabella_linea();
const std::vector<std::string_view>& tabella_treno();
const std::vector<std::string_view>& tabella_note();
const std::vector<std::string_view>& tabella_rallentamenti();
const std::vector<std::string_view>& tabella_scheda();

}  // namespace sc
