#include "writers/scrittori.h"

#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "model/testo.h"
#include "writers/tabelle.h"

namespace sc {

std::string testo_tabella(const std::vector<std::string_view>& tabella) {
  std::string testo;
  for (std::string_view riga : tabella) {
    if (riga == sentinella) break;
    testo += utf8_a_cp1252(riga);
    testo += "\r\n";
  }
  return testo;
}

void dati_linea(const modello& m, Disk& disk) {
  disk.replace(nome_linea_txt(m), testo_tabella(tabella_linea()));
}

void dati_treno(const modello& m, Disk& disk) {
  disk.replace(nome_treno_txt(m), testo_tabella(tabella_treno()));
}

void dati_note(const modello& m, Disk& disk) {
  disk.replace(nome_note_txt(m), testo_tabella(tabella_note()));
}

void dati_rallentamenti(const modello& m, Disk& disk) {
  disk.replace(nome_rallentamenti_txt(m), testo_tabella(tabella_rallentamenti()));
}

void dati_scheda(const modello& m, Disk& disk) {
  disk.replace(nome_scheda_txt(m), testo_tabella(tabella_scheda()));
}

}  // namespace sc
