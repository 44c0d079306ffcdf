// The run: the window, the five text files, the compile, the end.
#pragma once

#include <cstdint>

#include "model/modello.h"

namespace sc {

class Disk;

// What the run shows the user.
class Interfaccia {
 public:
  virtual ~Interfaccia() = default;
  virtual void mostra_attesa() = 0;
  virtual void mostra_messaggio(const std::string& testo) = 0;
};

// Exit status of a run.
inline constexpr int uscita_normale = 0;
inline constexpr int uscita_errore_mostrato = 3;

class Form1 {
 public:
  Form1(Disk& disk, Interfaccia& ui) : disk_(disk), ui_(ui) {}

  // The load event of the built-in scenario; returns the exit status.
  int form_load();

  // Compiles the two descriptions already in the disk; returns the exit
  // status, having shown a message if the compile stopped the run.
  int compila(std::int32_t j);

  modello m;
  std::int32_t codice_mostrato = 0;  // the code of a shown error, 0 if none

 private:
  Disk& disk_;
  Interfaccia& ui_;
};

}  // namespace sc
