#include "driver/cli.h"

#include <cstdio>
#include <string>
#include <vector>

#include "driver/form1.h"
#include "driver/real_disk.h"
#include "platform/platform.h"

namespace sc {

namespace {

class interfaccia_host : public Interfaccia {
 public:
  void mostra_attesa() override { piattaforma::mostra_attesa(); }
  void mostra_messaggio(const std::string& testo) override { piattaforma::mostra_messaggio(testo); }
};

int esecuzione_predefinita(const std::string& cartella) {
  RealDisk disk(cartella, piattaforma::separatore());
  interfaccia_host ui;
  Form1 form(disk, ui);
  return form.form_load();
}

}  // namespace

int esegui_riga_comando(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return esecuzione_predefinita(piattaforma::cartella_programma());
  if (args.size() == 2 && args[0] == "--dir") return esecuzione_predefinita(args[1]);
  std::fputs("usage: scenario-compiler [--dir DIR]\n", stderr);
  return 1;
}

}  // namespace sc
