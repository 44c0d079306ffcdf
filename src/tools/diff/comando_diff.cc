// diff: what changed between two compiled scenarios, or two binary files of
// the same kind.
#include <iostream>

#include "platform/file.h"
#include "tools/cli/comandi.h"
#include "tools/diff/differenze.h"
#include "tools/cli/file_utente.h"
#include "tools/readback/scenario_compilato.h"

namespace sc {

namespace {

std::vector<differenza> differenze_file(const std::string& a, const std::string& b) {
  const binario_letto x = leggi_compilato(a), y = leggi_compilato(b);
  if (x.tipo != y.tipo)
    throw errore_uso("diff compares files of one kind, and " + come_percorso(a) + " and " + come_percorso(b) + " are files of different kinds");
  switch (x.tipo) {
    case tipo_binario::celle: return differenze_celle(x.celle, y.celle);
    case tipo_binario::servizio: return differenze_servizio(x.servizio, y.servizio);
    case tipo_binario::geometria: return differenze_piano(x.geometria, y.geometria);
  }
  return {};
}

int esegui(const argomenti& a) {
  const std::string& x = a.posizionali[0];
  const std::string& y = a.posizionali[1];
  for (const std::string& f : {x, y})
    if (piattaforma::genere_di(piattaforma::percorso_di(f)) == piattaforma::genere_voce::nessuna) throw errore_uso(come_percorso(f) + " does not exist");
  const auto cartella = [](const std::string& f) {
    return piattaforma::genere_di(piattaforma::percorso_di(f)) == piattaforma::genere_voce::cartella;
  };
  const bool cartelle = cartella(x), cartella_y = cartella(y);
  if (cartelle != cartella_y)
    throw errore_uso("diff compares two directories or two files, and " + come_percorso(cartelle ? x : y) + " is a directory while " +
                     come_percorso(cartelle ? y : x) + " is a file");
  std::vector<differenza> d;
  if (cartelle) {
    const scelta_scenario scelta{a.valore_o("--scenario", ""), a.valore_o("--train", "")};
    const scenario_compilato sa = carica_scenario(x, scelta), sb = carica_scenario(y, scelta);
    d = a.ha("--cells") ? differenze_scenari(sa, sb) : differenze_oggetti(sa, sb);
  } else {
    d = differenze_file(x, y);
  }
  for (const differenza& r : d) std::cout << riga_differenza(r) << "\n";
  return d.empty() ? esito_ok : esito_problemi;
}

}  // namespace

const comando comando_diff = {
    "diff",
    "show what changed between two compiled scenarios",
    "A B [--cells] [--train NAME] [--scenario NAME]",
    "Compares the scenarios compiled in directories A and B and lists what changed from A to B, one line each, by "
    "the objects the descriptions wrote: a station by its name, signals and boards by their order, each with its "
    "approach marks and the compiler's marks, values in the author's units:\n\n"
    "  signal moved 2600 -> 2650 m\n"
    "  speed board at 700 m: speed a vas/vad 70 km/h -> 80 km/h\n"
    "  station BRUNEA: time 11:44:00 -> 11:45:00\n"
    "  gradient at metres 1500-2599: -8 ‰ -> -9 ‰\n"
    "  plan: metres 1801-15998 differ\n\n"
    "With --cells it lists cells by metres and by what they hold, and service records by their role, as two "
    "binary files of the same kind are always compared. The exit status is 0 when nothing differs and 2 when "
    "something does.",
    {
        {"--cells", nullptr, nullptr, "Lists cells by metres and records by their role instead of objects."},
        {"--train", nullptr, "NAME", "The train to compare when a directory holds several."},
        {"--scenario", nullptr, "NAME", "The scenario to compare when a directory holds several."},
    },
    2,
    2,
    esegui,
};

}  // namespace sc
