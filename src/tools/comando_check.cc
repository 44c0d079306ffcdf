// check: every problem of two descriptions in one run, nothing written.
#include <memory>
#include <optional>
#include <string>

#include "driver/form1.h"
#include "model/disk.h"
#include "model/nomi_file.h"
#include "parsing/segnalazioni.h"
#include "tools/comandi.h"
#include "tools/descrizioni_utente.h"

namespace sc {

namespace {

// A directory that drops whatever is written into it: holding the compiled
// files in memory only to throw them away cost check more than the compile.
class cartella_vuota : public Disk {
 public:
  bool exists(const std::string&) override { return false; }
  std::optional<std::string> read(const std::string&) override { return std::nullopt; }
  std::unique_ptr<Output> replace_stream(const std::string&) override { return std::make_unique<scarto>(); }
  void remove(const std::string&) override {}

 private:
  struct scarto : Output {
    void write(std::string_view) override {}
    void close() override {}
    void commit() override {}
  };
};

int esegui(const argomenti& a) {
  resa_diagnostiche resa(opzioni_resa_da(a));
  descrizioni_utente d;
  if (leggi_descrizioni(a, d, resa)) {
    // The same compile as compile's, on copies of the descriptions, reading
    // on past each error.
    modello nomi;
    nomi.nome_scenario = d.scenario;
    nomi.nome_treno = d.treno;
    cartella_vuota nessuna;
    OverlayDisk copie(nessuna, {{nome_linea_txt(nomi), d.linea}, {nome_treno_txt(nomi), d.servizio}});
    interfaccia_terminale ui;
    Form1 compilazione(copie, ui);
    compilazione.m.nome_scenario = d.scenario;
    compilazione.m.nome_treno = d.treno;
    segnalazioni diag(resa, compilazione.m, true);
    compilazione.compila(d.geometria ? 1 : 0, &diag);
  }
  return chiudi_diagnostiche(resa);
}

}  // namespace

const comando comando_check = {
    "check",
    "report every problem of a line and a service description, writing nothing",
    "LINE_FILE SERVICE_FILE [--scenario NAME] [--train NAME] [--no-geometry] [--input-encoding ENCODING] "
    "[--diagnostics-format FORMAT] [--no-source] [--warnings-as-errors]",
    "Reads the two descriptions as compile does and reports, on standard error, every problem it meets, each at its "
    "file, line and column with the source line and a caret: errors (with the format's code in brackets), warnings for "
    "what the format accepts but almost certainly drops or changes, and notes. Where the compile stops at an error, "
    "check drops that entry and reads on, so that independent problems are all reported, and it lists every problem of "
    "the placement walk. Nothing is written.\n\n"
    "The exit status is 0 when there are only warnings or nothing at all, 2 with errors (or with warnings under "
    "--warnings-as-errors).",
    opzioni_descrizioni(),
    2,
    2,
    esegui,
};

}  // namespace sc
