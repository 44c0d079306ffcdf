// Names of every file of a run, built from the scenario and train names.
#pragma once

#include <string>

namespace sc {

struct modello;

std::string nome_linea_txt(const modello& m);
std::string nome_treno_txt(const modello& m);
std::string nome_note_txt(const modello& m);
std::string nome_rallentamenti_txt(const modello& m);
std::string nome_scheda_txt(const modello& m);
std::string nome_linea_dat(const modello& m);
std::string nome_servizio_sim(const modello& m);
std::string nome_celle_dat(const modello& m);

}  // namespace sc
