#include "tools/cli/cli.h"

#include <iostream>
#include <string>
#include <vector>

#include "model/testo.h"
#include "platform/file.h"
#include "platform/platform.h"
#include "platform/terminale.h"
#include "tools/cli/comandi.h"
#include "tools/cli/opzioni.h"
#include "tools/cli/riferimento.h"

#ifndef SC_VERSION
#define SC_VERSION "unknown"
#endif

namespace sc {

namespace {

const comando* trova_comando(std::string_view nome) {
  for (const comando* c : comandi())
    if (nome == c->nome) return c;
  return nullptr;
}

std::string nomi_comandi() {
  std::string r;
  for (const comando* c : comandi()) r += std::string(r.empty() ? "" : ", ") + c->nome;
  return r;
}

[[noreturn]] void comando_sconosciuto(const std::string& nome) {
  if (nome.rfind("-", 0) == 0)
    throw errore_uso("unknown option " + nome + "; the options before a command are --help, --version and --dir DIR");
  std::vector<std::string> nomi;
  for (const comando* c : comandi()) nomi.emplace_back(c->nome);
  std::string vicino = piu_vicino(nome, nomi, 2);
  throw errore_uso("unknown command " + nome + (vicino.empty() ? "; the commands are " + nomi_comandi() : " (did you mean " + vicino + "?)"));
}

[[noreturn]] void tema_sconosciuto(const std::string& tema) {
  std::vector<std::string> temi = {"format", "cells", "warnings"};
  for (const comando* c : comandi()) temi.emplace_back(c->nome);
  for (const voce_formato& f : tabella_voci()) temi.emplace_back(f.chiave);
  const std::string vicino = piu_vicino(tema, temi, 3);
  throw errore_uso("no help on \"" + tema + "\"" + (vicino.empty() ? "" : " (did you mean " + vicino + "?)") + "; help takes " + argomenti_aiuto);
}

int esegui(const std::vector<std::string>& args, esecuzione_in predefinita) {
  const std::string& primo = args[0];
  const std::vector<std::string> resto(args.begin() + 1, args.end());
  if (primo == "--help" || primo == "-h") {
    std::cout << pagina_generale();
    return esito_ok;
  }
  if (primo == "--version") {
    std::cout << "scenario-compiler " SC_VERSION "\n";
    return esito_ok;
  }
  if (primo == "help") {
    if (resto.empty() || resto[0] == "help") {
      std::cout << pagina_generale();
      return esito_ok;
    }
    if (resto.size() > 1) throw errore_uso("help takes one topic: " + std::string(argomenti_aiuto));
    const std::string& tema = resto[0];
    if (const comando* c = trova_comando(tema)) std::cout << pagina_aiuto(*c);
    else if (tema == "format") std::cout << riferimento_formato();
    else if (tema == "cells") std::cout << riferimento_celle();
    else if (tema == "warnings") std::cout << riferimento_avvisi();
    else if (auto v = voce_da_nome(tema)) std::cout << riferimento_voce(*v);
    else tema_sconosciuto(tema);
    return esito_ok;
  }
  if (primo == "--dir" || primo.rfind("--dir=", 0) == 0) {
    if (primo == "--dir" && resto.size() != 1) throw errore_uso("--dir needs one directory");
    if (primo != "--dir" && !resto.empty()) throw errore_uso("--dir takes one directory and nothing else");
    return predefinita(piattaforma::percorso_di(primo == "--dir" ? resto[0] : primo.substr(6)));
  }
  const comando* c = trova_comando(primo);
  if (!c) comando_sconosciuto(primo);
  if (chiede_aiuto(resto)) {
    std::cout << pagina_aiuto(*c);
    return esito_ok;
  }
  return c->esegui(analizza_argomenti(*c, resto));
}

}  // namespace

const std::vector<const comando*>& comandi() {
  static const std::vector<const comando*> tutti = {&comando_compile, &comando_check,     &comando_ispeziona, &comando_plot,
                                                    &comando_view,    &comando_decompile, &comando_diff,
                                                    &comando_lsp};
  return tutti;
}

int esegui_riga_comando(int argc, char** argv, esecuzione_in predefinita) {
  const std::vector<std::string> args = piattaforma::argomenti(argc, argv);
  piattaforma::pulisci_a_interruzione();
  if (args.empty()) return predefinita(piattaforma::cartella_programma());
  piattaforma::prepara_terminale();
  int stato;
  try {
    stato = esegui(args, predefinita);
  } catch (const errore_uso& e) {
    std::cerr << "scenario-compiler: " << e.what() << "\n";
    stato = esito_uso;
  }
  // Output that never arrived (a full disk, a reader gone) is a failure too.
  const std::string perso = piattaforma::errore_uscita();
  if (perso.empty()) return stato;
  std::cerr << "scenario-compiler: cannot write to standard output: " << perso << "\n";
  return esito_uso;
}

}  // namespace sc
