// check: every problem of two descriptions in one run, nothing written.
#include "compile/compila.h"
#include "model/disk.h"
#include "model/nomi_file.h"
#include "diagnostics/osservatore_diagnostiche.h"
#include "tools/cli/comandi.h"
#include "tools/cli/descrizioni_utente.h"

namespace sc {

namespace {

int esegui(const argomenti& a) {
  resa_diagnostiche resa(opzioni_resa_da(a));
  descrizioni_utente d;
  if (leggi_descrizioni(a, d, resa)) {
    // The same compile as compile's, in memory, reading on past each error;
    // the binary files are not even made, let alone kept.
    richiesta_compilazione r{d.scenario, d.treno, d.geometria ? 1 : 0, true, [] { return false; }};
    modello m;
    m.nome_scenario = d.scenario;
    m.nome_treno = d.treno;
    MemoryDisk memoria;
    memoria.replace(nome_linea_txt(m), d.linea);
    memoria.replace(nome_treno_txt(m), d.servizio);
    osservatore_diagnostiche diag(resa, m);
    compila(r, m, memoria, &diag);
  }
  return chiudi_diagnostiche(resa, a);
}

}  // namespace

const comando comando_check = {
    "check",
    "report every problem of a line and a service description, writing nothing",
    "LINE_FILE SERVICE_FILE [--scenario NAME] [--train NAME] [--no-geometry] [--input-encoding ENCODING] "
    "[--diagnostics-format FORMAT] [--no-source] [--warnings-as-errors] [-WNAME]...",
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
