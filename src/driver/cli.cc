#include "driver/cli.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "compile/decodifica.h"
#include "driver/form1.h"
#include "driver/ispeziona.h"
#include "driver/messaggi.h"
#include "driver/plot.h"
#include "driver/real_disk.h"
#include "model/disk.h"
#include "model/nomi_file.h"
#include "platform/platform.h"

namespace sc {

namespace {

namespace fs = std::filesystem;

constexpr int uscita_uso = 1;
constexpr int uscita_codice = 2;

constexpr const char* uso = R"(NAME
    scenario-compiler - compile train-driving scenarios for the simulator

SYNOPSIS
    scenario-compiler [--dir DIR]
    scenario-compiler compile LINE_FILE SERVICE_FILE [--out DIR] [--scenario NAME]
                      [--train NAME] [--no-geometry]
    scenario-compiler inspect FILE [--json]
    scenario-compiler plot DIR [-o FILE.svg]
    scenario-compiler --help

DESCRIPTION
    Without a command, writes the built-in scenario "Vidaroz del Zavro" with the
    train "Tersio" into the program's directory (or DIR): the line and service
    descriptions, the notes, the restrictions bulletin and the timetable sheet.
    It then reads both descriptions back, deleting them, compiles the track and
    writes the line geometry (NAME_linea.dat), the service data
    (NAME_TRAIN.sim) and the track cells (NAME_TRAIN.dat).

    compile reads a line description and a service description written by
    hand and compiles them exactly as the built-in run does. The source files
    are never changed or deleted. The scenario and train names default to
    what the file names give: NAME_linea.txt and NAME_TRAIN-.txt. The three
    binary files go to DIR (default: the current directory).
    --no-geometry compiles without the plan of the line: no geometry file is
    written and curve entries are not recognised.

    inspect decodes a binary file (recognised by its name or content) into a
    readable listing, or JSON with --json.

    plot draws the scenario compiled in DIR as one SVG: the plan of the line,
    the profile, the speed limit and the objects along the track. The picture
    goes to FILE.svg (default: NAME_TRAIN.svg in the current directory).

EXIT STATUS
    0  success, no problem recorded
    1  usage error, or an input file that is missing or not of its kind
    2  a problem was recorded in the descriptions; the files were still written
    3  the compile stopped with error 1250 or 1251; no binary file was written

    A recorded problem is reported on standard error as
        FILE:LINE: error N at P m: TEXT
    where FILE:LINE is the description line being read when it arose, and
    "at P m" the position that goes with the code.
)";

int errore_uso(const std::string& messaggio) {
  std::cerr << "scenario-compiler: " << messaggio << "\n(see scenario-compiler --help)\n";
  return uscita_uso;
}

std::optional<std::string> leggi_file(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  if (!f) return std::nullopt;
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

bool finisce(const std::string& s, const std::string& fine) {
  return s.size() >= fine.size() && s.compare(s.size() - fine.size(), fine.size(), fine) == 0;
}

std::string senza(const std::string& s, const std::string& fine) { return s.substr(0, s.size() - fine.size()); }

// A name becomes part of file names: no separators, nothing empty.
bool nome_valido(const std::string& n) {
  return !n.empty() && n.size() <= 200 && n.find_first_of("/\\:") == std::string::npos && n != "." && n != "..";
}

class interfaccia_host : public Interfaccia {
 public:
  void mostra_attesa() override { piattaforma::mostra_attesa(); }
  void mostra_messaggio(const std::string& testo) override { piattaforma::mostra_messaggio(testo); }
};

// The compile command reports on the terminal instead of a message box.
class interfaccia_terminale : public Interfaccia {
 public:
  void mostra_attesa() override {}
  void mostra_messaggio(const std::string&) override {}
};

int esecuzione_predefinita(const std::string& cartella) {
  RealDisk disk(cartella, piattaforma::separatore());
  interfaccia_host ui;
  Form1 form(disk, ui);
  return form.form_load();
}

struct opzioni_compile {
  std::vector<std::string> file;
  std::string uscita = ".";
  std::string scenario, treno;
  bool geometria = true;
};

std::optional<std::string> analizza_compile(const std::vector<std::string>& args, opzioni_compile& o) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto valore = [&](std::string& dove) -> bool {
      if (i + 1 >= args.size()) return false;
      dove = args[++i];
      return true;
    };
    if (a == "--out") {
      if (!valore(o.uscita)) return "--out needs a directory";
    } else if (a == "--scenario") {
      if (!valore(o.scenario)) return "--scenario needs a name";
    } else if (a == "--train") {
      if (!valore(o.treno)) return "--train needs a name";
    } else if (a == "--no-geometry") {
      o.geometria = false;
    } else if (a.rfind("--", 0) == 0) {
      return "unknown option " + a;
    } else {
      o.file.push_back(a);
    }
  }
  if (o.file.size() != 2) return "compile needs a line file and a service file";
  return std::nullopt;
}

// Names from "NAME_linea.txt" and "NAME_TRAIN-.txt".
void nomi_predefiniti(opzioni_compile& o) {
  if (o.scenario.empty()) {
    std::string base = fs::path(o.file[0]).filename().string();
    o.scenario = finisce(base, "_linea.txt") ? senza(base, "_linea.txt") : fs::path(base).stem().string();
  }
  if (o.treno.empty()) {
    std::string base = fs::path(o.file[1]).filename().string();
    base = finisce(base, "-.txt") ? senza(base, "-.txt") : fs::path(base).stem().string();
    if (base.rfind(o.scenario + "_", 0) == 0) base = base.substr(o.scenario.size() + 1);
    else if (auto u = base.rfind('_'); u != std::string::npos) base = base.substr(u + 1);
    o.treno = base;
  }
}

int comando_compile(const std::vector<std::string>& args) {
  opzioni_compile o;
  if (auto e = analizza_compile(args, o)) return errore_uso(*e);
  nomi_predefiniti(o);
  if (!nome_valido(o.scenario)) return errore_uso("not a usable scenario name: \"" + o.scenario + "\"");
  if (!nome_valido(o.treno)) return errore_uso("not a usable train name: \"" + o.treno + "\"");
  std::optional<std::string> linea = leggi_file(o.file[0]), servizio = leggi_file(o.file[1]);
  if (!linea) return errore_uso("cannot read " + o.file[0]);
  if (!servizio) return errore_uso("cannot read " + o.file[1]);
  std::error_code ec;
  fs::create_directories(o.uscita, ec);
  if (!fs::is_directory(o.uscita)) return errore_uso("cannot use output directory " + o.uscita);

  RealDisk cartella(o.uscita, piattaforma::separatore());
  interfaccia_terminale ui;
  modello nomi;
  nomi.nome_scenario = o.scenario;
  nomi.nome_treno = o.treno;
  const std::map<std::string, std::string> sorgenti = {{nome_linea_txt(nomi), o.file[0]}, {nome_treno_txt(nomi), o.file[1]}};
  OverlayDisk copie(cartella, {{nome_linea_txt(nomi), *linea}, {nome_treno_txt(nomi), *servizio}});
  Form1 lavoro(copie, ui);
  lavoro.m.nome_scenario = o.scenario;
  lavoro.m.nome_treno = o.treno;
  if (lavoro.compila(o.geometria ? 1 : 0) == uscita_errore_mostrato) {
    std::cerr << riga_errore(lavoro.codice_mostrato, 0, "", 0) << "\n";
    return uscita_errore_mostrato;
  }
  const modello& m = lavoro.m;
  if (m.codice_errore > 0) {
    auto it = sorgenti.find(lavoro.luogo.file);
    std::string file = it == sorgenti.end() ? "" : it->second;
    std::cerr << riga_errore(m.codice_errore, m.posizione_errore, file, lavoro.luogo.riga) << "\n";
  }
  // Without a track nothing was written; older files may still stand there.
  if (m.celle_create()) {
    if (o.geometria) std::cout << "wrote " << cartella.path(nome_linea_dat(m)) << "\n";
    for (const std::string& nome : {nome_servizio_sim(m), nome_celle_dat(m)}) std::cout << "wrote " << cartella.path(nome) << "\n";
  }
  return m.codice_errore > 0 ? uscita_codice : uscita_normale;
}

int comando_inspect(const std::vector<std::string>& args) {
  std::vector<std::string> file;
  bool json = false;
  for (const std::string& a : args) {
    if (a == "--json") json = true;
    else if (a.rfind("--", 0) == 0) return errore_uso("unknown option " + a);
    else file.push_back(a);
  }
  if (file.size() != 1) return errore_uso("inspect needs one file");
  std::optional<std::string> dati = leggi_file(file[0]);
  if (!dati) return errore_uso("cannot read " + file[0]);
  std::optional<tipo_binario> tipo = riconosci_binario(fs::path(file[0]).filename().string(), *dati);
  std::optional<std::string> elenco = tipo ? elenco_binario(*tipo, *dati, json) : std::nullopt;
  if (!elenco) return errore_uso(file[0] + " is not a geometry, service data or track cell file");
  std::cout << *elenco;
  return uscita_normale;
}

// The scenario compiled in a directory: its track cell file, with the
// geometry and service data of the same names where they exist.
std::optional<scenario_compilato> carica_scenario(const fs::path& dir, std::string& nome) {
  std::vector<std::string> sim;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec))
    if (finisce(e.path().filename().string(), ".sim")) sim.push_back(e.path().filename().string());
  std::sort(sim.begin(), sim.end());
  for (const std::string& s : sim) {
    std::string base = senza(s, ".sim");
    auto celle = leggi_file(dir / (base + ".dat"));
    if (!celle) continue;
    scenario_compilato risultato;
    auto c = decodifica_celle(*celle);
    if (!c) continue;
    risultato.celle = *c;
    if (auto v = leggi_file(dir / s); v)
      if (auto d = decodifica_servizio(*v)) risultato.servizio = *d;
    std::string scenario = risultato.servizio.size() > voce_scenario ? risultato.servizio[voce_scenario].nome : "";
    // The name stored in the file only picks a file beside it.
    if (!nome_valido(scenario)) scenario = base.substr(0, base.rfind('_'));
    if (auto g = leggi_file(dir / (scenario + "_linea.dat")); g)
      if (auto d = decodifica_geometria(*g)) risultato.geometria = *d;
    risultato.titolo = scenario + (risultato.servizio.size() > voce_corsa ? " - " + risultato.servizio[voce_corsa].nome : "");
    nome = base;
    return risultato;
  }
  return std::nullopt;
}

int comando_plot(const std::vector<std::string>& args) {
  std::vector<std::string> pos;
  std::string uscita;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o") {
      if (i + 1 >= args.size()) return errore_uso("-o needs a file name");
      uscita = args[++i];
    } else if (args[i].rfind("-", 0) == 0) {
      return errore_uso("unknown option " + args[i]);
    } else {
      pos.push_back(args[i]);
    }
  }
  if (pos.size() != 1) return errore_uso("plot needs one directory");
  std::string nome;
  std::optional<scenario_compilato> s = carica_scenario(pos[0], nome);
  if (!s) return errore_uso("no compiled scenario (NAME_TRAIN.sim with NAME_TRAIN.dat) in " + pos[0]);
  if (uscita.empty()) uscita = nome + ".svg";
  std::ofstream f(uscita, std::ios::binary);
  f << disegna_svg(*s);
  if (!f.flush()) return errore_uso("cannot write " + uscita);
  std::cout << "wrote " << uscita << "\n";
  return uscita_normale;
}

}  // namespace

int esegui_riga_comando(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return esecuzione_predefinita(piattaforma::cartella_programma());
  piattaforma::usa_terminale();
  const std::string comando = args[0];
  const std::vector<std::string> resto(args.begin() + 1, args.end());
  if (comando == "--help" || comando == "-h" || comando == "help") {
    std::cout << uso;
    return uscita_normale;
  }
  if (comando == "--dir") {
    if (resto.size() != 1) return errore_uso("--dir needs one directory");
    return esecuzione_predefinita(resto[0]);
  }
  if (comando == "compile") return comando_compile(resto);
  if (comando == "inspect") return comando_inspect(resto);
  if (comando == "plot") return comando_plot(resto);
  return errore_uso("unknown command " + comando);
}

}  // namespace sc
