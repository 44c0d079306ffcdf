// The command line of scenario-compiler.
#pragma once

#include <filesystem>

namespace sc {

// The built-in run in a directory; returns the exit status.
using esecuzione_in = int (*)(const std::filesystem::path& cartella);

// Runs the built-in scenario (no arguments, or --dir DIR) through
// `predefinita`, or the command the arguments name; returns the exit status.
int esegui_riga_comando(int argc, char** argv, esecuzione_in predefinita);

}  // namespace sc
