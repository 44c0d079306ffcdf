// Standard output and error of the commands. On a console they show as the
// console shows text, whatever its code page (UTF-16 on Windows); elsewhere
// they are UTF-8, text with the host's line ends. A write that fails is kept,
// so that the command can end with status 1 and say why.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace sc::piattaforma {

// Puts std::cout and std::cerr on the above; once, before the first write.
void prepara_terminale();

// `dati` on `flusso` (std::cout or std::cerr) byte for byte: data (JSON,
// CSV, SVG) whose line ends are the same on every host.
void scrivi_dati(std::ostream& flusso, std::string_view dati);

// Why a write to standard output failed, or "" when none did; flushes first.
std::string errore_uscita();

// `testo` with the host's line ends.
std::string con_fine_riga(std::string_view testo);

}  // namespace sc::piattaforma
