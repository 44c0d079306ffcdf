// The command line of scenario-compiler.
#pragma once

namespace sc {

// Runs the built-in scenario (no arguments) or the command the arguments
// name; returns the exit status.
int esegui_riga_comando(int argc, char** argv);

}  // namespace sc
