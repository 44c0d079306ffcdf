// A check program, built with the tests: compiles SCENARIO_linea.txt and
// SCENARIO_TRAIN-.txt of the current directory with the host's window and
// message box, so that a shown error can be seen and dismissed as a user
// would. Usage: prova_finestra SCENARIO TRAIN
#include <cstdio>
#include <exception>
#include <string>

#include "driver/esecuzione.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: prova_finestra SCENARIO TRAIN\n");
    return 1;
  }
  try {
    return sc::compilazione_in_finestra(".", argv[1], argv[2]);
  } catch (const std::exception& e) {
    sc::piattaforma::mostra_guasto(std::string("prova_finestra: ") + e.what());
    return 1;
  }
}
