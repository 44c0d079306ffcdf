#include "model/nomi_file.h"

#include "model/modello.h"

namespace sc {

namespace {
std::string per_treno(const modello& m, const char* suffisso) {
  return m.nome_scenario + "_" + m.nome_treno + suffisso;
}
}  // namespace

std::string nome_linea_txt(const modello& m) { return m.nome_scenario + "_linea.txt"; }
std::string nome_treno_txt(const modello& m) { return per_treno(m, "-.txt"); }
std::string nome_note_txt(const modello& m) { return per_treno(m, "_note.txt"); }
std::string nome_rallentamenti_txt(const modello& m) { return per_treno(m, "_rallentamenti.txt"); }
std::string nome_scheda_txt(const modello& m) { return per_treno(m, "_scheda_treno.txt"); }
std::string nome_linea_dat(const modello& m) { return m.nome_scenario + "_linea.dat"; }
std::string nome_servizio_sim(const modello& m) { return per_treno(m, ".sim"); }
std::string nome_celle_dat(const modello& m) { return per_treno(m, ".dat"); }

}  // namespace sc
