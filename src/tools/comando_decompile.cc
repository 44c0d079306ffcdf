// decompile: the two descriptions of a compiled scenario, checked by
// compiling them back.
#include <filesystem>
#include <iostream>

#include "model/testo.h"
#include "tools/comandi.h"
#include "tools/decompila.h"
#include "tools/file_utente.h"
#include "tools/ispeziona.h"
#include "tools/messaggi.h"
#include "tools/scenario_compilato.h"

namespace sc {

namespace {

namespace fs = std::filesystem;

// The three files named one by one, in any order, known by name or content.
scenario_compilato carica_tre(const std::vector<std::string>& file) {
  std::string sim, celle, geometria;
  for (const std::string& f : file) {
    // The name tells the kind without reading the file, where it can.
    const std::string nome = fs::path(f).filename().string();
    auto tipo = riconosci_binario(nome, "");
    if (!tipo) tipo = riconosci_binario(nome, leggi_ingresso(f));
    std::string* posto = !tipo ? nullptr : *tipo == tipo_binario::servizio ? &sim : *tipo == tipo_binario::celle ? &celle : &geometria;
    if (!posto) throw errore_uso(f + " is not a geometry, service data or track cell file");
    if (!posto->empty()) throw errore_uso(*posto + " and " + f + " are files of the same kind");
    *posto = f;
  }
  if (sim.empty() || celle.empty()) throw errore_uso("decompile needs the service data (.sim) and the track cells (.dat) at least");
  return carica_file(sim, celle, geometria);
}

bool nome_valido(const std::string& n) { return !n.empty() && n.find_first_of("/\\:") == std::string::npos && n != "." && n != ".."; }

int esegui(const argomenti& a) {
  const auto& p = a.posizionali;
  const scenario_compilato s = p.size() == 1 ? carica_scenario(p[0], {a.valore_o("--scenario", ""), a.valore_o("--train", "")}) : carica_tre(p);
  if (!nome_valido(s.scenario) || !nome_valido(s.treno))
    throw errore_uso("the scenario and train names \"" + s.scenario + "\", \"" + s.treno + "\" cannot name description files");
  const decompilazione d = decompila(s);
  const verifica v = verifica_decompilazione(s, d);

  const fs::path uscita = a.valore_o("--out", ".");
  std::error_code ec;
  fs::create_directories(uscita, ec);
  if (!fs::is_directory(uscita)) throw errore_uso("cannot use output directory " + uscita.string());
  const fs::path linea = uscita / (s.scenario + "_linea.txt"), servizio = uscita / (s.scenario + "_" + s.treno + "-.txt");
  scrivi_uscita(linea.string(), d.linea);
  scrivi_uscita(servizio.string(), d.servizio);
  std::cout << "wrote " << linea.string() << "\nwrote " << servizio.string() << "\n";
  if (!d.con_piano) std::cout << "note: the scenario has no plan of the line; compile the descriptions with --no-geometry\n";

  for (const differenza& x : v.differenze) std::cerr << riga_diagnostica(s, x) << "\n";
  if (v.codice_mostrato) std::cerr << "the descriptions stop the compile: " << riga_errore(v.codice_mostrato, 0, "", 0) << "\n";
  else if (!v.scritto) std::cerr << "the descriptions compile to no file: " << riga_errore(v.codice_errore, v.posizione_errore, "", 0) << "\n";
  else if (v.codice_errore > 0)
    std::cerr << "note: compiling them records " << riga_errore(v.codice_errore, v.posizione_errore, "", 0)
              << " (so did the compile of the stored scenario)\n";
  if (!v.esatta()) {
    std::cerr << "the round trip is not exact: the stored files hold what this compiler does not write (stored -> compiled back)\n";
    return esito_problemi;
  }
  std::cout << "compiling them gives the " << (d.con_piano ? "three" : "two") << " files back byte for byte\n";
  return esito_ok;
}

}  // namespace

const comando comando_decompile = {
    "decompile",
    "turn a compiled scenario back into its line and service descriptions",
    "DIR [--out DIR] [--train NAME] [--scenario NAME] | SIM DAT [LINEA_DAT] [--out DIR]",
    "Reads the scenario compiled in DIR (or the service data, track cell and line geometry files named one by one) "
    "and writes NAME_linea.txt and NAME_TRAIN-.txt, the descriptions whose compile gives the three files back byte "
    "for byte. Every part comes back as the entry an author writes: gradients, speed limits and adhesion where they "
    "change, curves from the plan of the line, mountains, boards, stations, signals and restrictions; abatement "
    "marks only where the compile would not place them itself.\n\n"
    "The descriptions are compiled in memory before the command ends. A file this compiler could not have written "
    "gets the closest descriptions, and every cell or record they cannot give back is listed on standard error as\n\n"
    "  FILE: cell N (metres A-B): not reproduced: STORED -> COMPILED BACK\n\n"
    "with exit status 2.",
    {
        {"--out", nullptr, "DIR", "Writes the descriptions into DIR (default: the current directory), creating it if needed."},
        {"--train", nullptr, "NAME", "The train to decompile when DIR holds several."},
        {"--scenario", nullptr, "NAME", "The scenario to decompile when DIR holds several."},
    },
    1,
    3,
    esegui,
};

}  // namespace sc
