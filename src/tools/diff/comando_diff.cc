// diff: what changed between two compiled scenarios, or two binary files of
// the same kind.
#include <iostream>

#include "platform/file.h"
#include "tools/cli/comandi.h"
#include "tools/diff/differenze.h"
#include "tools/cli/file_utente.h"
#include "tools/inspect/ispeziona.h"
#include "tools/inspect/scenario_compilato.h"

namespace sc {

namespace {

// Each file read and checked as its kind (by name, else by content).
binario_letto letto(const std::string& f) {
  auto r = leggi_binario(nome_in_percorso(f), leggi_ingresso(f));
  if (const std::string* perche = std::get_if<std::string>(&r)) throw errore_uso(*perche);
  return std::get<binario_letto>(std::move(r));
}

std::vector<differenza> differenze_file(const std::string& a, const std::string& b) {
  const binario_letto x = letto(a), y = letto(b);
  if (x.tipo != y.tipo) throw errore_uso(come_percorso(a) + " and " + come_percorso(b) + " are files of different kinds");
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
  const auto cartella = [](const std::string& f) {
    return piattaforma::genere_di(piattaforma::percorso_di(f)) == piattaforma::genere_voce::cartella;
  };
  const bool cartelle = cartella(x), cartella_y = cartella(y);
  if (cartelle != cartella_y) throw errore_uso("diff compares two directories or two files, not one of each");
  std::vector<differenza> d;
  if (cartelle) {
    const scelta_scenario scelta{a.valore_o("--scenario", ""), a.valore_o("--train", "")};
    d = differenze_scenari(carica_scenario(x, scelta), carica_scenario(y, scelta));
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
    "A B [--train NAME] [--scenario NAME]",
    "Compares the scenarios compiled in directories A and B, or two binary files of the same kind, and lists what "
    "changed from A to B, one line each: cells by metres and by what they hold, service records by their role, "
    "the plan of the line by its first and last differing metre:\n\n"
    "  metres 1000-1499 (cells 20-29): gradient -12 -> -10\n"
    "  station 3 \"BRUNEA\": time 11:44 -> 11:45\n"
    "  plan: metres 1801-15998 differ\n\n"
    "The exit status is 0 when nothing differs and 2 when something does.",
    {
        {"--train", nullptr, "NAME", "The train to compare when a directory holds several."},
        {"--scenario", nullptr, "NAME", "The scenario to compare when a directory holds several."},
    },
    2,
    2,
    esegui,
};

}  // namespace sc
