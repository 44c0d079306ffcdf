// State shared by the two stages of reading the descriptions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "model/modello.h"
#include "parsing/lettore_campi.h"

namespace sc {

class Disk;

// Where the reader stood when the last code was recorded; an empty file name
// when the code did not arise while a description was being read.
struct luogo_lettura {
  std::string file;
  int riga = 0;
};

// How a stage ended: the next stage runs, or reading is over.
enum class fine_fase { prosegui, termina };

struct contesto_lettura {
  modello& m;
  Disk& disk;
  // Sign texts take the service elements from 80 downwards; stations must
  // stay below the next free one.
  std::int32_t prossimo_testo = prima_voce_cartelli;
  // The description being read, if any.
  std::string file;
  std::optional<lettore_campi> lettore;
  luogo_lettura luogo;

  lettore_campi& apri(const std::string& nome, std::string testo) {
    file = nome;
    return lettore.emplace(std::move(testo));
  }
  void chiudi() {
    file.clear();
    lettore.reset();
  }

  // Records a code, and a position where the code has one, at the reader's
  // current line.
  void registra(std::int32_t codice, std::optional<std::int32_t> posizione = std::nullopt) {
    m.codice_errore = codice;
    if (posizione) m.posizione_errore = *posizione;
    segna_luogo();
  }
  void segna_luogo() { luogo = {file, lettore ? lettore->riga() : 0}; }

  // An item at p metres lies on the track.
  bool entra(std::int64_t p, std::int64_t margine = 100) const {
    return (double(p) + double(margine)) / 50 <= double(m.n_celle);
  }
};

fine_fase leggi_descrizione_linea(contesto_lettura& ctx);
void leggi_descrizione_servizio(contesto_lettura& ctx);

}  // namespace sc
