// diff: what changed between two compiled scenarios, or two binary files of
// the same kind.
#include <filesystem>
#include <iostream>

#include "compile/decodifica.h"
#include "tools/comandi.h"
#include "tools/differenze.h"
#include "tools/file_utente.h"
#include "tools/ispeziona.h"
#include "tools/scenario_compilato.h"

namespace sc {

namespace {

namespace fs = std::filesystem;

std::vector<differenza> differenze_file(const std::string& a, const std::string& b) {
  const std::string da = leggi_ingresso(a), db = leggi_ingresso(b);
  const auto ta = riconosci_binario(fs::path(a).filename().string(), da);
  const auto tb = riconosci_binario(fs::path(b).filename().string(), db);
  if (!ta) throw errore_uso(a + " is not a geometry, service data or track cell file");
  if (!tb) throw errore_uso(b + " is not a geometry, service data or track cell file");
  if (*ta != *tb) throw errore_uso(a + " and " + b + " are files of different kinds");
  auto non_di = [](const std::string& f) { return errore_uso(f + " is not a whole file of its kind"); };
  switch (*ta) {
    case tipo_binario::celle: {
      auto ca = decodifica_celle(da), cb = decodifica_celle(db);
      if (!ca) throw non_di(a);
      if (!cb) throw non_di(b);
      return differenze_celle(*ca, *cb);
    }
    case tipo_binario::servizio: {
      auto sa = decodifica_servizio(da), sb = decodifica_servizio(db);
      if (!sa) throw non_di(a);
      if (!sb) throw non_di(b);
      return differenze_servizio(*sa, *sb);
    }
    case tipo_binario::geometria: {
      auto ga = decodifica_geometria(da), gb = decodifica_geometria(db);
      if (!ga) throw non_di(a);
      if (!gb) throw non_di(b);
      return differenze_piano(*ga, *gb);
    }
  }
  return {};
}

int esegui(const argomenti& a) {
  const std::string& x = a.posizionali[0];
  const std::string& y = a.posizionali[1];
  std::error_code ec;
  const bool cartelle = fs::is_directory(x, ec), cartella_y = fs::is_directory(y, ec);
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
    "  metres 1000-1500 (cells 20-29): gradient -12 -> -10\n"
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
