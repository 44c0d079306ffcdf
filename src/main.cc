#include <exception>
#include <string>

#include "driver/esecuzione.h"
#include "platform/platform.h"
#include "tools/cli/cli.h"

// The program: the built-in run without arguments, a command with them.
int main(int argc, char** argv) {
  try {
    return sc::esegui_riga_comando(argc, argv, sc::esecuzione_predefinita);
  } catch (const std::exception& e) {
    // A failure nobody handles, such as a file that cannot be written: the
    // windowed run says it in a message box, the commands on standard error.
    sc::piattaforma::mostra_guasto(std::string("scenario-compiler: ") + e.what());
    return 1;
  }
}
