// The built-in run in a real directory, with the host's window and message
// box.
#pragma once

#include <filesystem>

namespace sc {

// Writes, reads back and compiles the built-in scenario in `cartella`;
// returns the exit status.
int esecuzione_predefinita(const std::filesystem::path& cartella);

}  // namespace sc
