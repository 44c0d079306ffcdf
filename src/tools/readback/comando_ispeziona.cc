// inspect: one binary file decoded into a readable listing.
#include <iostream>

#include "compile/decodifica.h"
#include "model/testo.h"
#include "platform/file.h"
#include "tools/cli/comandi.h"
#include "tools/cli/file_utente.h"
#include "tools/readback/ispeziona.h"
#include "tools/readback/scenario_compilato.h"

namespace sc {

namespace {

int metri(const argomenti& a, const char* opzione) {
  const std::string v = *a.valore(opzione);
  std::size_t fine = 0;
  int r = 0;
  try {
    r = std::stoi(v, &fine);
  } catch (const std::exception&) {
    fine = 0;
  }
  if (fine == 0 || fine != v.size()) throw errore_uso(std::string("inspect: ") + opzione + " takes a whole number of metres, not " + v);
  return r;
}

std::set<int> tipi(const std::string& elenco) {
  std::set<int> r;
  std::size_t p = 0;
  while (p <= elenco.size()) {
    const std::size_t q = std::min(elenco.find(',', p), elenco.size());
    const std::string nome = elenco.substr(p, q - p);
    if (auto t = tipo_da_chiave(nome)) {
      r.insert(*t);
    } else {
      const std::string vicino = piu_vicino(nome, chiavi_tipi(), 3);
      std::string tutte;
      for (const std::string& k : chiavi_tipi()) tutte += (tutte.empty() ? "" : ", ") + k;
      throw errore_uso("inspect: unknown kind " + nome + (vicino.empty() ? "" : " (did you mean " + vicino + "?)") + "; the kinds are " + tutte);
    }
    p = q + 1;
  }
  return r;
}

// The service data beside a track cell file, for names and the line's end.
std::vector<voce_servizio> servizio_accanto(const std::string& file) {
  const piattaforma::percorso sim = piattaforma::percorso_di(file).replace_extension(".sim");
  if (piattaforma::genere_di(sim) != piattaforma::genere_voce::file) return {};
  auto v = decodifica_servizio(leggi_ingresso(piattaforma::testo_percorso(sim)));
  if (!v || motivo_non_servizio(*v)) return {};
  return std::move(*v);
}

int esegui(const argomenti& a) {
  const std::string& file = a.posizionali[0];
  filtro_elenco filtro;
  filtro.json = a.ha("--json");
  if (a.ha("--from")) filtro.da = metri(a, "--from");
  if (a.ha("--to")) filtro.a = metri(a, "--to");
  if (filtro.da && filtro.a && *filtro.da > *filtro.a)
    throw errore_uso("--from " + std::to_string(*filtro.da) + " lies after --to " + std::to_string(*filtro.a) + ": nothing would be listed");
  if (a.ha("--kind")) filtro.tipi = tipi(*a.valore("--kind"));
  if (piattaforma::genere_di(piattaforma::percorso_di(file)) == piattaforma::genere_voce::cartella)
    throw errore_uso("inspect reads one binary file, and " + come_percorso(file) +
                     " is a directory; give one of its files, or show the scenario with view or plot");
  const binario_letto b = leggi_compilato(file);
  if (a.ha("--points") && b.tipo != tipo_binario::geometria) throw errore_uso("inspect: --points needs a line geometry file (NAME_linea.dat)");
  if (a.ha("--kind") && b.tipo != tipo_binario::celle) throw errore_uso("inspect: --kind needs a track cell file (NAME_TRAIN.dat)");
  std::string elenco;
  switch (b.tipo) {
    case tipo_binario::celle:
      filtro.servizio = servizio_accanto(file);
      elenco = elenco_celle(b.celle, filtro);
      break;
    case tipo_binario::servizio: elenco = elenco_servizio(b.servizio, filtro); break;
    case tipo_binario::geometria:
      elenco = a.ha("--points") ? punti_geometria(b.geometria, filtro) : elenco_geometria(b.geometria, filtro);
      break;
  }
  // The listing is text for people; JSON and the points' CSV are data.
  const bool testo = !filtro.json && !a.ha("--points");
  scrivi_uscita(a.valore_o("--output", "-"), elenco, testo ? forma_uscita::testo : forma_uscita::dati);
  return esito_ok;
}

}  // namespace

const comando comando_ispeziona = {
    "inspect",
    "decode one of the three binary files into a readable listing",
    "FILE [--json] [--kind KIND,...] [--from METRES] [--to METRES] [--points] [-o FILE]",
    "Decodes a line geometry, service data or track cell file, recognised by its name or else by its content, into a "
    "listing in the author's units: speeds in km/h, gradients in per mille, signal aspects and times, station areas "
    "and times as hh:mm:ss. A file whose content does not fit its kind is refused with the reason.\n\n"
    "For track cells, each object shows the position the author gives for it, the metres that land in its cell and "
    "the metres the cell covers; cells that hold nothing but the same speed, gradient and adhesion share one line, "
    "and the cells of the run-out after the line's end are marked. The service data file of the same name beside "
    "it, when there is one, gives the station names, the sign texts and the line's end.",
    {
        {"--json", nullptr, nullptr, "Writes the listing as JSON, with every cell or record and its raw fields."},
        {"--kind", nullptr, "KIND", "Track cells only: lists the cells of these kinds, separated by commas: signal, speed-board, "
                                    "sign-board, station, restriction-start, restriction-end, warning-board, warning-sequence, "
                                    "abatement, zero-abatement, mountain-marker, empty."},
        {"--from", nullptr, "METRES", "Lists only what lies at or after this metre."},
        {"--to", nullptr, "METRES", "Lists only what lies at or before this metre."},
        {"--points", nullptr, nullptr, "Line geometry only: every point of the plan, as CSV (metre,x,y) or, with --json, as JSON."},
        {"--output", "-o", "FILE", "Writes the listing to FILE instead of standard output, making the folders it needs."},
    },
    1,
    1,
    esegui,
};

}  // namespace sc
