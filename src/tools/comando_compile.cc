// compile: a line description and a service description written by hand,
// compiled exactly as the built-in run compiles its own.
#include <filesystem>
#include <iostream>
#include <map>

#include "driver/form1.h"
#include "driver/real_disk.h"
#include "model/disk.h"
#include "model/nomi_file.h"
#include "platform/platform.h"
#include "tools/comandi.h"
#include "tools/file_utente.h"
#include "tools/messaggi.h"
#include "tools/nomi_uscita.h"

namespace sc {

namespace {

namespace fs = std::filesystem;

bool finisce(const std::string& s, const std::string& fine) {
  return s.size() >= fine.size() && s.compare(s.size() - fine.size(), fine.size(), fine) == 0;
}

std::string senza(const std::string& s, const std::string& fine) { return s.substr(0, s.size() - fine.size()); }

// A name becomes part of file names: no separators, nothing empty.
bool nome_valido(const std::string& n) {
  return !n.empty() && n.size() <= 200 && n.find_first_of("/\\:") == std::string::npos && n != "." && n != "..";
}

// The compile reports on the terminal, not in a message box.
class interfaccia_terminale : public Interfaccia {
 public:
  void mostra_attesa() override {}
  void mostra_messaggio(const std::string&) override {}
};

// Names from "NAME_linea.txt" and "NAME_TRAIN-.txt" unless given.
std::string scenario_da(const std::string& file_linea) {
  std::string base = fs::path(file_linea).filename().string();
  return finisce(base, "_linea.txt") ? senza(base, "_linea.txt") : fs::path(base).stem().string();
}

std::string treno_da(const std::string& file_servizio, const std::string& scenario) {
  std::string base = fs::path(file_servizio).filename().string();
  base = finisce(base, "-.txt") ? senza(base, "-.txt") : fs::path(base).stem().string();
  if (base.rfind(scenario + "_", 0) == 0) return base.substr(scenario.size() + 1);
  if (auto u = base.rfind('_'); u != std::string::npos) return base.substr(u + 1);
  return base;
}

int esegui(const argomenti& a) {
  const std::string& file_linea = a.posizionali[0];
  const std::string& file_servizio = a.posizionali[1];
  const std::string uscita = a.valore_o("--out", ".");
  const bool geometria = !a.ha("--no-geometry");
  const std::string scenario = a.valore_o("--scenario", scenario_da(file_linea));
  const std::string treno = a.valore_o("--train", treno_da(file_servizio, scenario));
  if (!nome_valido(scenario)) throw errore_uso("not a usable scenario name: \"" + scenario + "\"");
  if (!nome_valido(treno)) throw errore_uso("not a usable train name: \"" + treno + "\"");
  const std::string linea = leggi_ingresso(file_linea), servizio = leggi_ingresso(file_servizio);
  const nomi_compile nomi_8bit = controlla_compile(scenario, treno, uscita, geometria, {file_linea, file_servizio});
  std::error_code ec;
  fs::create_directories(uscita, ec);
  if (!fs::is_directory(uscita)) throw errore_uso("cannot use output directory " + uscita);

  RealDisk cartella(uscita, piattaforma::separatore());
  interfaccia_terminale ui;
  modello nomi;
  nomi.nome_scenario = nomi_8bit.scenario;
  nomi.nome_treno = nomi_8bit.treno;
  const std::map<std::string, std::string> sorgenti = {{nome_linea_txt(nomi), file_linea}, {nome_treno_txt(nomi), file_servizio}};
  // The reader deletes what it has read: it works on copies.
  OverlayDisk copie(cartella, {{nome_linea_txt(nomi), linea}, {nome_treno_txt(nomi), servizio}});
  Form1 lavoro(copie, ui);
  lavoro.m.nome_scenario = nomi_8bit.scenario;
  lavoro.m.nome_treno = nomi_8bit.treno;
  if (lavoro.compila(geometria ? 1 : 0) == uscita_errore_mostrato) {
    std::cerr << riga_errore(lavoro.codice_mostrato, 0, "", 0) << "\n";
    return esito_fermato;
  }
  const modello& m = lavoro.m;
  if (m.codice_errore > 0) {
    auto it = sorgenti.find(lavoro.luogo.file);
    std::string file = it == sorgenti.end() ? "" : it->second;
    std::cerr << riga_errore(m.codice_errore, m.posizione_errore, file, lavoro.luogo.riga) << "\n";
  }
  // Without a track nothing was written; older files may still stand there.
  if (m.celle_create()) {
    if (geometria) std::cout << "wrote " << cartella.path(nome_linea_dat(m)) << "\n";
    for (const std::string& nome : {nome_servizio_sim(m), nome_celle_dat(m)}) std::cout << "wrote " << cartella.path(nome) << "\n";
  }
  return m.codice_errore > 0 ? esito_problemi : esito_ok;
}

}  // namespace

const comando comando_compile = {
    "compile",
    "compile a line description and a service description into the three binary files",
    "LINE_FILE SERVICE_FILE [--out DIR] [--scenario NAME] [--train NAME] [--no-geometry]",
    "Reads a line description and a service description written by hand and compiles them exactly as the built-in "
    "run compiles its own: the line geometry (NAME_linea.dat), the service data (NAME_TRAIN.sim) and the track cells "
    "(NAME_TRAIN.dat). The source files are never changed or deleted.\n\n"
    "The scenario and train names default to what the file names give: NAME_linea.txt and NAME_TRAIN-.txt.\n\n"
    "A problem found in the descriptions is reported on standard error with its file and line; the files are still "
    "written and the exit status is 2.",
    {
        {"--out", nullptr, "DIR", "Writes the binary files into DIR (default: the current directory), creating it if needed."},
        {"--scenario", nullptr, "NAME", "The scenario name, instead of the one the line file's name gives."},
        {"--train", nullptr, "NAME", "The train name, instead of the one the service file's name gives."},
        {"--no-geometry", nullptr, nullptr,
         "Compiles without the plan of the line: no geometry file is written and curve entries are not recognised."},
    },
    2,
    2,
    esegui,
};

}  // namespace sc
