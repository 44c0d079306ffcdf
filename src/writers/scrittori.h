// The five writers of the built-in scenario's text files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sc {

class Disk;
struct modello;

// The names of the built-in scenario and its train.
inline constexpr const char* scenario_predefinito = "Vidaroz del Zavro";
inline constexpr const char* treno_predefinito = "Tersio";

// The file content of a table: every line before the first sentinel, as
// Windows-1252, each followed by CR LF.
std::string testo_tabella(const std::vector<std::string_view>& tabella);

void dati_linea(const modello& m, Disk& disk);
void dati_treno(const modello& m, Disk& disk);
void dati_note(const modello& m, Disk& disk);
void dati_rallentamenti(const modello& m, Disk& disk);
void dati_scheda(const modello& m, Disk& disk);

}  // namespace sc
