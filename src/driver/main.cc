#include <cstdio>
#include <exception>

#include "tools/cli.h"

int main(int argc, char** argv) {
  try {
    return sc::esegui_riga_comando(argc, argv);
  } catch (const std::exception& e) {
    // A failure nobody handles, such as a file that cannot be written.
    std::fprintf(stderr, "scenario-compiler: %s\n", e.what());
    return 1;
  }
}
