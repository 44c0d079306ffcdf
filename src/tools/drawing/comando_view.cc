// view: one self-contained HTML page to look at a compiled scenario.
#include <iostream>
#include <string>

#include "model/regole.h"
#include "tools/cli/comandi.h"
#include "tools/cli/file_utente.h"
#include "tools/readback/scenario_compilato.h"
#include "tools/readback/verifica_scenario.h"
#include "tools/drawing/view.h"

namespace sc {

namespace {

int esegui(const argomenti& a) {
  const std::string uscita = a.valore_o("--output", "");
  richiedi_estensione(uscita, ".html", "view writes an HTML page");
  const scenario_compilato s = carica_scenario(a.posizionali[0], {a.valore_o("--scenario", ""), a.valore_o("--train", "")});
  const std::string file = uscita.empty() ? s.nome_base + ".html" : uscita;
  scrivi_uscita(file, pagina_view(s));
  if (file != "-") std::cout << "wrote " << come_percorso(file) << "\n";
  return esito_ok;
}

// Built from the format's rules, before the command that points at it.
const std::string descrizione =
    "Writes one self-contained HTML page (it needs no network and no other file) showing the scenario compiled in "
    "DIR: the plan of the line with pan and zoom, km posts and stations; the profile with the gradients in per "
    "mille; the speed limit with the restrictions; the adhesion; every object along the line in lanes, with its "
    "decoded values, its metres and its cell on hover or click, and the curves with their side and class; and the "
    "timetable. Hovering a metre shows it in every view. The shaded part after the line's end is the " +
    std::to_string(regole::coda_linea) + " m run-out that every compiled track carries.\n\n"
    "In the page: the mouse wheel zooms, dragging pans, a double click shows the whole line again.";

}  // namespace

const comando comando_view = {
    "view",
    "write an HTML page to look at a compiled scenario in a browser",
    "DIR [-o FILE.html] [--train NAME] [--scenario NAME]",
    descrizione.c_str(),
    {
        {"--output", "-o", "FILE", "Writes the page to FILE (default: NAME_TRAIN.html in the current directory), making the folders it needs; - is standard output."},
        {"--train", nullptr, "NAME", "The train to show when DIR holds several."},
        {"--scenario", nullptr, "NAME", "The scenario to show when DIR holds several."},
    },
    1,
    1,
    esegui,
};

}  // namespace sc
