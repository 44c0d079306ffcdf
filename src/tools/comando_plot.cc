// plot: one SVG picture of a compiled scenario.
#include <iostream>

#include "tools/comandi.h"
#include "tools/file_utente.h"
#include "tools/plot.h"
#include "tools/scenario_compilato.h"

namespace sc {

namespace {

int esegui(const argomenti& a) {
  const scenario_compilato s = carica_scenario(a.posizionali[0], {a.valore_o("--scenario", ""), a.valore_o("--train", "")});
  const std::string uscita = a.valore_o("--output", s.nome_base + ".svg");
  scrivi_uscita(uscita, disegna_svg(s));
  if (uscita != "-") std::cout << "wrote " << uscita << "\n";
  return esito_ok;
}

}  // namespace

const comando comando_plot = {
    "plot",
    "draw a compiled scenario as one SVG picture",
    "DIR [-o FILE.svg] [--train NAME] [--scenario NAME]",
    "Draws the scenario compiled in DIR as one SVG picture: the plan of the line, the profile, the speed limit and "
    "the objects along the track.",
    {
        {"--output", "-o", "FILE", "Writes the picture to FILE (default: NAME_TRAIN.svg in the current directory); - is standard output."},
        {"--train", nullptr, "NAME", "The train to draw when DIR holds several."},
        {"--scenario", nullptr, "NAME", "The scenario to draw when DIR holds several."},
    },
    1,
    1,
    esegui,
};

}  // namespace sc
