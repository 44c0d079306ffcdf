// What the host provides: the waiting window, the message box, the program's
// directory and the path separator.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sc::piattaforma {

// Shows the window whose only label reads "Attendere" and paints it at once.
void mostra_attesa();
// Shows a modal message with one OK button, owned by the window when it is
// shown, and waits until it is closed.
void mostra_messaggio(const std::string& testo);
// Says why the program failed: in a message box owned by the window when the
// window is shown, on standard error otherwise.
void mostra_guasto(const std::string& testo);
// The directory that holds the running program, without a trailing separator.
std::filesystem::path cartella_programma();
// The arguments after the program's name, as UTF-8 text: on Windows taken
// from the wide-character command line, so that no character is lost to the
// ANSI code page.
std::vector<std::string> argomenti(int argc, char** argv);
// The separator between a directory and a file name.
char separatore();

}  // namespace sc::piattaforma
