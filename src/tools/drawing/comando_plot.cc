// plot: one SVG picture of a compiled scenario.
#include <iostream>
#include <string>

#include "model/regole.h"
#include "tools/cli/comandi.h"
#include "tools/cli/file_utente.h"
#include "tools/drawing/plot.h"
#include "tools/readback/scenario_compilato.h"
#include "tools/readback/verifica_scenario.h"

namespace sc {

namespace {

int esegui(const argomenti& a) {
  richiedi_estensione(a.valore_o("--output", ""), ".svg", "plot draws SVG only");
  const scenario_compilato s = carica_scenario(a.posizionali[0], {a.valore_o("--scenario", ""), a.valore_o("--train", "")});
  const std::string uscita = a.valore_o("--output", s.nome_base + ".svg");
  scrivi_uscita(uscita, disegna_svg(s));
  if (uscita != "-") std::cout << "wrote " << come_percorso(uscita) << "\n";
  return esito_ok;
}

// Built from the format's rules, before the command that points at it.
const std::string descrizione =
    "Draws the scenario compiled in DIR as one SVG picture: the plan of the line with its stations and km posts; "
    "then, along the line, the altitude with the gradients in per mille, the speed limit with the restrictions and "
    "their warning boards, the adhesion, every object in its lane with its decoded value, and the curves with their "
    "side and class; and a legend. The line's end is marked and the " + std::to_string(regole::coda_linea) +
    " m run-out after it, which every compiled track carries, is shaded. Labels that would overlap are left out; the "
    "view command shows them all, with pan and zoom.";

}  // namespace

const comando comando_plot = {
    "plot",
    "draw a compiled scenario as one SVG picture",
    "DIR [-o FILE.svg] [--train NAME] [--scenario NAME]",
    descrizione.c_str(),
    {
        {"--output", "-o", "FILE", "Writes the picture to FILE, whose name must end in .svg (default: NAME_TRAIN.svg in the current directory), making the folders it needs; - is standard output."},
        {"--train", nullptr, "NAME", "The train to draw when DIR holds several."},
        {"--scenario", nullptr, "NAME", "The scenario to draw when DIR holds several."},
    },
    1,
    1,
    esegui,
};

}  // namespace sc
