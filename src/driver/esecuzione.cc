#include "driver/esecuzione.h"

#include "driver/form1.h"
#include "platform/real_disk.h"
#include "platform/platform.h"

namespace sc {

namespace {

class interfaccia_host : public Interfaccia {
 public:
  void mostra_attesa() override { piattaforma::mostra_attesa(); }
  void mostra_messaggio(const std::string& testo) override { piattaforma::mostra_messaggio(testo); }
};

}  // namespace

int esecuzione_predefinita(const std::filesystem::path& cartella) {
  RealDisk disk(cartella);
  interfaccia_host ui;
  Form1 form(disk, ui);
  return form.form_load();
}

int compilazione_in_finestra(const std::filesystem::path& cartella, const std::string& scenario, const std::string& treno) {
  RealDisk disk(cartella);
  interfaccia_host ui;
  Form1 form(disk, ui);
  form.m.nome_scenario = scenario;
  form.m.nome_treno = treno;
  ui.mostra_attesa();
  return form.compila(1);
}

}  // namespace sc
