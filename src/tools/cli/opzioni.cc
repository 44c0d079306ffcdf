#include "tools/cli/opzioni.h"

#include <sstream>

#include "model/testo.h"

namespace sc {

namespace {

constexpr std::size_t larghezza_pagina = 78;

const opzione* trova(const comando& c, std::string_view nome) {
  for (const opzione& o : c.opzioni)
    if (nome == o.lunga || (o.corta && nome == o.corta)) return &o;
  return nullptr;
}

[[noreturn]] void sbagliato(const comando& c, const std::string& messaggio) {
  throw errore_uso(std::string(c.nome) + ": " + messaggio);
}

std::string suggerimento(const comando& c, std::string_view nome) {
  std::vector<std::string> nomi = {"--help"};
  for (const opzione& o : c.opzioni) nomi.emplace_back(o.lunga);
  std::string vicino = piu_vicino(nome, nomi, 2);
  // The commands that write a directory take --out, those that write one
  // file --output: each form points at the other.
  if (vicino.empty() && (nome == "--output" || nome == "-o") && trova(c, "--out")) vicino = "--out DIR";
  if (vicino.empty() && nome == "--out" && trova(c, "--output")) vicino = "--output FILE";
  return vicino.empty() ? "" : " (did you mean " + vicino + "?)";
}

// The positional arguments a synopsis names before its first option.
std::vector<std::string> posizionali_di(const comando& c) {
  std::vector<std::string> r;
  std::istringstream in(c.sinossi);
  for (std::string p; in >> p && p[0] != '[' && p != "|";) r.push_back(p);
  return r;
}

// Words of a paragraph filled into lines after `rientro`; a paragraph whose
// lines begin with blanks is an example and stays as written.
void paragrafo(std::ostringstream& r, std::string_view testo, std::size_t rientro) {
  const std::string margine(rientro, ' ');
  if (testo.substr(0, 2) == "  ") {
    std::istringstream righe{std::string(testo)};
    for (std::string riga; std::getline(righe, riga);) r << margine << riga << "\n";
    return;
  }
  std::istringstream parole{std::string(testo)};
  std::size_t colonna = 0;
  for (std::string parola; parole >> parola;) {
    if (colonna > 0 && colonna + 1 + parola.size() > larghezza_pagina) {
      r << "\n";
      colonna = 0;
    }
    r << (colonna == 0 ? margine : " ") << parola;
    colonna += (colonna == 0 ? rientro : 1) + parola.size();
  }
  r << "\n";
}

// Words of a synopsis or a summary; "[--out DIR]" stays one word.
std::vector<std::string> parole_di(std::string_view testo) {
  std::istringstream in{std::string(testo)};
  std::vector<std::string> r;
  int aperte = 0;
  for (std::string p; in >> p;) {
    if (aperte > 0) r.back() += " " + p;
    else r.push_back(p);
    for (char c : p) aperte += c == '[' ? 1 : c == ']' ? -1 : 0;
  }
  return r;
}

// `testa` then the words of `testo`, continued under `rientro` columns.
void sospeso(std::ostringstream& r, const std::string& testa, std::string_view testo, std::size_t rientro) {
  r << testa;
  std::size_t colonna = testa.size();
  bool primo = true;
  for (const std::string& parola : parole_di(testo)) {
    if (!primo && colonna + 1 + parola.size() > larghezza_pagina) {
      r << "\n" << std::string(rientro, ' ');
      colonna = rientro;
    } else if (!primo) {
      r << " ";
      ++colonna;
    }
    r << parola;
    colonna += parola.size();
    primo = false;
  }
  r << "\n";
}

void paragrafi(std::ostringstream& r, std::string_view testo, std::size_t rientro) {
  for (bool primo = true; !testo.empty(); primo = false) {
    std::size_t fine = testo.find("\n\n");
    if (!primo) r << "\n";
    paragrafo(r, testo.substr(0, fine), rientro);
    testo = fine == std::string_view::npos ? "" : testo.substr(fine + 2);
  }
}

std::string forma_opzione(const opzione& o) {
  if (std::string_view(o.lunga).substr(0, 2) != "--") return std::string(o.lunga) + (o.valore ? o.valore : "");
  std::string r = o.lunga;
  if (o.valore) r += std::string(" ") + o.valore;
  if (o.corta) r += std::string(", ") + o.corta + (o.valore ? std::string(" ") + o.valore : "");
  return r;
}

}  // namespace

std::vector<std::string> parole_sinossi(std::string_view testo) { return parole_di(testo); }

const char* const testo_stato_uscita =
    "    0  success: nothing to report, or nothing differs\n"
    "    1  usage error, or a file that cannot be read, written or used\n"
    "    2  problems found: errors in the descriptions (compile still writes\n"
    "       its files, check writes nothing), differences (diff), or a round\n"
    "       trip that cannot be exact (decompile)\n"
    "    3  the compile stopped with error 1250 or 1251 and wrote no binary file\n"
    "  130  interrupted by Ctrl-C; the run's temporary files are removed first\n"
    "  143  interrupted by SIGTERM or by closing its console; the same";

const char* const descrizione_generale =
    "Without a command, writes the built-in scenario \"Vidaroz del Zavro\" with the train \"Tersio\" into the "
    "program's directory (or DIR): the line and service descriptions, the notes, the restrictions bulletin and "
    "the timetable sheet. It then reads both descriptions back, deleting them, compiles the track and writes the "
    "line geometry (NAME_linea.dat), the service data (NAME_TRAIN.sim) and the track cells (NAME_TRAIN.dat).";

bool chiede_aiuto(const std::vector<std::string>& args) {
  for (const std::string& a : args) {
    if (a == "--") return false;
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

argomenti analizza_argomenti(const comando& c, const std::vector<std::string>& args) {
  argomenti r;
  bool solo_posizionali = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (solo_posizionali || a == "-" || a.empty() || a[0] != '-') {
      r.posizionali.push_back(a);
      continue;
    }
    if (a == "--") {
      solo_posizionali = true;
      continue;
    }
    if (a.size() > 2 && a[1] != '-') {
      if (const opzione* o = trova(c, a.substr(0, 2)); o && o->valore) {
        r.aggiungi(o->lunga, a.substr(2));
        continue;
      }
    }
    const std::size_t uguale = a.rfind("--", 0) == 0 ? a.find('=') : std::string::npos;
    const std::string nome = a.substr(0, uguale);
    const opzione* o = trova(c, nome);
    if (!o) sbagliato(c, "unknown option " + nome + suggerimento(c, nome));
    if (!o->valore) {
      if (uguale != std::string::npos) sbagliato(c, std::string(o->lunga) + " takes no value");
      r.imposta(o->lunga, "");
    } else if (uguale != std::string::npos) {
      r.imposta(o->lunga, a.substr(uguale + 1));
    } else if (i + 1 < args.size()) {
      r.imposta(o->lunga, args[++i]);
    } else {
      sbagliato(c, std::string(o->lunga) + " needs a value: " + o->lunga + " " + o->valore);
    }
  }
  const int n = int(r.posizionali.size());
  if (n < c.min_posizionali) {
    const std::vector<std::string> nomi = posizionali_di(c);
    std::string mancanti;
    for (std::size_t i = std::size_t(n); i < std::size_t(c.min_posizionali) && i < nomi.size(); ++i) mancanti += " " + nomi[i];
    sbagliato(c, "missing" + (mancanti.empty() ? std::string(" arguments") : mancanti) + "; usage: scenario-compiler " + c.nome + " " +
                     c.sinossi);
  }
  if (n > c.max_posizionali) sbagliato(c, "too many arguments; usage: scenario-compiler " + std::string(c.nome) + " " + c.sinossi);
  return r;
}

std::string pagina_aiuto(const comando& c) {
  std::ostringstream r;
  r << "NAME\n    scenario-compiler " << c.nome << " - " << c.riassunto << "\n\n";
  r << "SYNOPSIS\n";
  sospeso(r, "    scenario-compiler " + std::string(c.nome) + " ", c.sinossi, 23 + std::string_view(c.nome).size());
  r << "\n";
  r << "DESCRIPTION\n";
  paragrafi(r, c.descrizione, 4);
  r << "\nOPTIONS\n";
  for (const opzione& o : c.opzioni) {
    r << "    " << forma_opzione(o) << "\n";
    paragrafo(r, o.aiuto, 8);
  }
  r << "    --help, -h\n        Shows this page.\n";
  r << "\nEXIT STATUS\n" << testo_stato_uscita << "\n";
  return r.str();
}

std::string pagina_generale() {
  std::ostringstream r;
  r << "NAME\n    scenario-compiler - compile train-driving scenarios for the simulator\n\n";
  r << "SYNOPSIS\n    scenario-compiler [--dir DIR]\n";
  for (const comando* c : comandi())
    sospeso(r, "    scenario-compiler " + std::string(c->nome) + " ", c->sinossi, 23 + std::string_view(c->nome).size());
  r << "    scenario-compiler help [COMMAND | ENTRY | format | cells | warnings]\n    scenario-compiler --version\n\n";
  r << "DESCRIPTION\n";
  paragrafi(r, descrizione_generale, 4);
  r << "\nCOMMANDS\n";
  for (const comando* c : comandi()) {
    std::string testa = "    " + std::string(c->nome);
    sospeso(r, testa + std::string(testa.size() < 16 ? 16 - testa.size() : 1, ' '), c->riassunto, 16);
  }
  r << "\n    Run \"scenario-compiler help COMMAND\" (or COMMAND --help) for the options of one.\n";
  r << "    \"scenario-compiler help format\" lists the entries of the descriptions, \"help stazione\"\n"
       "    (or any entry's key word) the fields of one, \"help cells\" the kinds of track cell and\n"
       "    \"help warnings\" the warnings, each with its name for -Wno-NAME.\n";
  r << "\nEXIT STATUS\n" << testo_stato_uscita << "\n";
  return r.str();
}

}  // namespace sc
