// decompile: the two descriptions of a compiled scenario, checked by
// compiling them back.
#include <iostream>

#include "model/nomi_file.h"
#include "model/testo.h"
#include "platform/file.h"
#include "tools/cli/comandi.h"
#include "tools/decompile/decompila.h"
#include "tools/cli/file_utente.h"
#include "tools/cli/resa_diagnostiche.h"
#include "tools/readback/scenario_compilato.h"

namespace sc {

namespace {

// The three files named one by one, in any order, known by name or content.
scenario_compilato carica_tre(const std::vector<std::string>& file) {
  std::string sim, celle, geometria;
  for (const std::string& f : file) {
    const tipo_binario tipo = leggi_compilato(f).tipo;
    std::string* posto = tipo == tipo_binario::servizio ? &sim : tipo == tipo_binario::celle ? &celle : &geometria;
    if (!posto->empty()) throw errore_uso(come_percorso(*posto) + " and " + come_percorso(f) + " are files of the same kind");
    *posto = f;
  }
  if (sim.empty() || celle.empty())
    throw errore_uso("decompile needs the service data (.sim) and the track cells (.dat) at least, or the directory that holds them");
  return carica_file(sim, celle, geometria);
}

bool nome_valido(const std::string& n) { return !n.empty() && n.find_first_of("/\\:") == std::string::npos && n != "." && n != ".."; }

int esegui(const argomenti& a) {
  const auto& p = a.posizionali;
  const piattaforma::genere_voce genere = p.size() == 1 ? piattaforma::genere_di(piattaforma::percorso_di(p[0])) : piattaforma::genere_voce::file;
  const bool cartella = p.size() == 1 && genere == piattaforma::genere_voce::cartella;
  if (p.size() == 1 && !cartella) {
    if (genere == piattaforma::genere_voce::nessuna) throw errore_uso(come_percorso(p[0]) + " does not exist");
    throw errore_uso("decompile needs the service data (.sim) and the track cells (.dat) at least, or the directory that holds them");
  }
  const scenario_compilato s = cartella ? carica_scenario(p[0], {a.valore_o("--scenario", ""), a.valore_o("--train", "")}) : carica_tre(p);
  if (!nome_valido(s.scenario) || !nome_valido(s.treno))
    throw errore_uso("the scenario and train names \"" + s.scenario + "\", \"" + s.treno + "\" cannot name description files");
  const decompilazione d = decompila(s);
  const std::string uscita = a.valore_o("--out", ".");
  const std::string linea = unisci(uscita, s.scenario + "_linea.txt"), servizio = unisci(uscita, s.scenario + "_" + s.treno + "-.txt");
  // What the compile of the descriptions meets is shown at their lines, and
  // what it cannot give back at the binary file that holds it.
  resa_diagnostiche resa({});
  modello nomi;
  nomi.nome_scenario = s.scenario;
  nomi.nome_treno = s.treno;
  resa.file(nome_linea_txt(nomi), linea, d.linea);
  resa.file(nome_treno_txt(nomi), servizio, d.servizio);
  const verifica v = verifica_decompilazione(s, d, &resa);
  const piattaforma::percorso binari = cartella ? piattaforma::percorso_di(p[0]) : piattaforma::percorso_di(p[0]).parent_path();
  for (const differenza& x : v.differenze) {
    diagnostica diag = diagnostica_di(s, x);
    diag.dove.file = piattaforma::testo_percorso(binari / piattaforma::percorso_di(diag.dove.file));
    resa.riporta(diag);
  }

  // The descriptions may be an author's own sources: they are replaced only
  // when asked.
  for (const std::string& f : {linea, servizio})
    if (!a.ha("--force") && piattaforma::genere_di(piattaforma::percorso_di(f), false) != piattaforma::genere_voce::nessuna)
      throw errore_uso(f + " exists and would be replaced; choose another --out directory, or give --force to replace it");
  prepara_cartella(uscita);
  scrivi_uscita(linea, d.linea);
  scrivi_uscita(servizio, d.servizio);
  std::cout << "wrote " << linea << "\nwrote " << servizio << "\n";
  if (!d.con_piano) std::cout << "note: the scenario has no plan of the line; compile the descriptions with --no-geometry\n";
  resa.stampa(std::cerr);
  const std::string file = std::string(d.con_piano ? "three" : "two") + " files";
  if (!v.differenze.empty() || !v.scritto || v.codice_mostrato != 0) {
    std::cerr << "the round trip is not exact: compiling them does not give back what is listed above (stored -> compiled back)\n";
    return esito_problemi;
  }
  if (!v.esatta()) {
    std::cerr << "the round trip is not exact: compiling them gives the " << file << " back byte for byte, but "
              << (v.codice_errore != 0 ? "records error " + std::to_string(v.codice_errore) + ", where the stored files come from a compile that recorded none"
                                       : std::string("records no error, where the stored files come from a compile that recorded one"))
              << "\n";
    return esito_problemi;
  }
  std::cout << "compiling them gives the " << file << " back byte for byte";
  // The code the compile that wrote them recorded, where the files tell it.
  if (d.fermata && d.codice_certo)
    std::cout << " and stops at error " << d.codice << ", as the compile that wrote them did";
  else if (d.fermata)
    std::cout << " and stops at error " << d.codice << " in " << d.dove_fermata << ", where the compile that wrote them stopped with error "
              << d.codici_possibili << " (the files do not tell which)";
  else if (d.codice != 0)
    std::cout << " and records error " << d.codice << ", as the compile that wrote them did"
              << (v.codice_errore != d.codice ? ", then error " + std::to_string(v.codice_errore) + " of the placement walk" : std::string());
  else if (v.codice_errore != 0)
    std::cout << " and records error " << v.codice_errore << " of the placement walk, which the stored cells call for";
  std::cout << "\n";
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
    "Files of a compile that recorded a code come back too: the descriptions stop where its reading stopped, "
    "with the entry that stopped it, and the last line says which error that was, or which errors leave the same "
    "files.\n\n"
    "The descriptions are compiled in memory before the command ends; the round trip is exact when that compile "
    "gives every file back byte for byte and ends with the status the stored files call for. Files this compiler "
    "could not have written get the closest descriptions, and every cell or record they cannot give back is listed "
    "on standard error as\n\n"
    "  FILE: error: cell N (metres A-B): not reproduced: STORED -> COMPILED BACK\n\n"
    "with exit status 2; what the compile of the descriptions reports is shown at their lines.",
    {
        {"--out", nullptr, "DIR", "Writes the descriptions into DIR (default: the current directory), creating it if needed."},
        {"--force", nullptr, nullptr, "Replaces descriptions of the same names already in DIR; without it they are left alone."},
        {"--train", nullptr, "NAME", "The train to decompile when DIR holds several."},
        {"--scenario", nullptr, "NAME", "The scenario to decompile when DIR holds several."},
    },
    1,
    3,
    esegui,
};

}  // namespace sc
