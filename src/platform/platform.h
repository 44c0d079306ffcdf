// What the host provides: the waiting window, the message box, the program's
// directory and the path separator.
#pragma once

#include <string>

namespace sc::piattaforma {

// Shows the window whose only label reads "Attendere" and paints it at once.
void mostra_attesa();
// Shows a modal message with one OK button and waits until it is closed.
void mostra_messaggio(const std::string& testo);
// The directory that holds the running program, without a trailing separator.
std::string cartella_programma();
// Makes standard output and error reach the terminal that started the
// program, for the commands that print.
void usa_terminale();
// The separator between a directory and a file name.
char separatore();

}  // namespace sc::piattaforma
