// The built-in run in a real directory, with the host's window and message
// box.
#pragma once

#include <filesystem>
#include <string>

namespace sc {

// Writes, reads back and compiles the built-in scenario in `cartella`;
// returns the exit status.
int esecuzione_predefinita(const std::filesystem::path& cartella);

// Compiles the two descriptions of `scenario` and `treno` already in
// `cartella` the way the built-in run compiles its own, with the host's
// window and message box; returns the exit status. It lets the shown errors
// be checked on the host.
int compilazione_in_finestra(const std::filesystem::path& cartella, const std::string& scenario, const std::string& treno);

}  // namespace sc
