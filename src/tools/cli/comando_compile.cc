// compile: a line description and a service description written by hand,
// compiled exactly as the built-in run compiles its own.
#include <iostream>

#include "compile/compila.h"
#include "platform/real_disk.h"
#include "model/disk.h"
#include "model/nomi_file.h"
#include "diagnostics/osservatore_diagnostiche.h"
#include "platform/platform.h"
#include "tools/cli/comandi.h"
#include "platform/file.h"
#include "tools/cli/descrizioni_utente.h"
#include "tools/cli/file_utente.h"
#include "tools/cli/nomi_uscita.h"

namespace sc {

namespace {

int esegui(const argomenti& a) {
  resa_diagnostiche resa(opzioni_resa_da(a));
  descrizioni_utente d;
  if (!leggi_descrizioni(a, d, resa)) return chiudi_diagnostiche(resa, a);
  // "out/" and "out" name the same directory.
  std::string uscita = a.valore_o("--out", ".");
  while (uscita.size() > 1 && (uscita.back() == '/' || uscita.back() == piattaforma::separatore())) uscita.pop_back();
  // Nothing is written before every output's name is known to be safe.
  controlla_compile(d.scenario_utente, d.treno_utente, uscita, d.geometria, {d.file_linea, d.file_servizio});
  prepara_cartella(uscita);

  RealDisk cartella(piattaforma::percorso_di(uscita));
  modello m;
  m.nome_scenario = d.scenario;
  m.nome_treno = d.treno;
  // The reader deletes what it has read: it works on copies.
  OverlayDisk copie(cartella, {{nome_linea_txt(m), d.linea}, {nome_treno_txt(m), d.servizio}});
  osservatore_diagnostiche diag(resa, m);
  richiesta_compilazione r{d.scenario, d.treno, d.geometria ? 1 : 0};
  // A service description in which nothing is read would compile into a
  // scenario of zeros: that is a failure, never a set of files. With
  // --no-output-on-error no error writes any.
  const bool niente_con_errori = a.ha("--no-output-on-error");
  r.conferma_scrittura = [&] {
    for (const diagnostica& x : resa.mostrate())
      if (x.id == diag::servizio_senza_generale || x.id == diag::servizio_senza_generale_simile) return false;
    return !(niente_con_errori && resa.errori() > 0);
  };
  const esito_compilazione esito = compila(r, m, copie, &diag);
  const int esito_diagnostiche = chiudi_diagnostiche(resa, a);
  if (diag.errori() > 0)
    std::cerr << "(compile stops reading a description at its first error, as the format demands; "
                 "\"scenario-compiler check\" lists every problem in one run)\n";
  if (esito.fermato()) return esito_fermato;
  if (!esito.scritto && m.celle_create())
    std::cerr << "scenario-compiler: no binary file written" << (a.ha("--no-output-on-error") ? " (--no-output-on-error)" : "") << "\n";
  // Without a track, or when refused, nothing was written; older files may
  // still stand there.
  if (esito.scritto) {
    if (d.geometria) std::cout << "wrote " << cartella.path(nome_linea_dat(m)) << "\n";
    for (const std::string& nome : {nome_servizio_sim(m), nome_celle_dat(m)}) std::cout << "wrote " << cartella.path(nome) << "\n";
  }
  if (m.codice_errore > 0 || !esito.scritto) return esito_problemi;
  return esito_diagnostiche;
}

}  // namespace

const comando comando_compile = {
    "compile",
    "compile a line description and a service description into the three binary files",
    "LINE_FILE SERVICE_FILE [--out DIR] [--no-output-on-error] [--scenario NAME] [--train NAME] [--no-geometry] [--input-encoding ENCODING] "
    "[--diagnostics-format FORMAT] [--no-source] [--warnings-as-errors] [-WNAME]...",
    "Reads a line description and a service description written by hand and compiles them exactly as the built-in run "
    "compiles its own: the line geometry (NAME_linea.dat), the service data (NAME_TRAIN.sim) and the track cells "
    "(NAME_TRAIN.dat). The source files are never changed or deleted.\n\n"
    "What the compile meets is reported on standard error, each problem at its file, line and column: errors with the "
    "format's code in brackets, warnings for what the format accepts but almost certainly drops or changes, and notes. "
    "The compile stops reading at the first error in the descriptions, as the simulator's format demands, and still "
    "writes its files (exit status 2); check reports every problem in one run.",
    opzioni_descrizioni({{"--out", nullptr, "DIR", "Writes the binary files into DIR (default: the current directory), creating it if needed."},
                         {"--no-output-on-error", nullptr, nullptr,
                          "Writes nothing when there is an error, for scripts that keep a good build; without it the files are "
                          "written whatever the descriptions hold, as the format demands."}}),
    2,
    2,
    esegui,
};

}  // namespace sc
