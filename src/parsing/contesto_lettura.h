// State shared by the two stages of reading the descriptions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "model/codici.h"
#include "model/disk.h"
#include "model/modello.h"
#include "model/testo.h"
#include "parsing/lettore_campi.h"

namespace sc {



// Where the reader stood when the last code was recorded; an empty file name
// when the code did not arise while a description was being read.
struct luogo_lettura {
  std::string file;
  int riga = 0;
};

// How a stage ended: the next stage runs, or reading is over.
enum class fine_fase { prosegui, termina };

struct contesto_lettura {
  contesto_lettura(modello& modello, Disk& d) : m(modello), disk(d) {}

  modello& m;
  Disk& disk;
  // Sign texts take the service elements from 80 downwards; stations must
  // stay below the next free one.
  std::int32_t prossimo_testo = prima_voce_cartelli;
  // A length entry asks for new arrays; they are created when first needed,
  // so that a run of length entries costs what its bytes cost.
  bool celle_in_sospeso = false;
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

  // Creates the arrays the last length entry asked for, all cells and
  // points empty.
  void crea_celle() {
    if (!celle_in_sospeso) return;
    celle_in_sospeso = false;
    m.celle.assign(std::size_t(m.n_celle) + 1, cella{});
    if (m.genera_linea != 0) m.profilo.crea(m.lunghezza_metri);
  }

  // An item at p metres lies on the track.
  bool entra(std::int64_t p, std::int64_t margine = 100) const {
    return (double(p) + double(margine)) / 50 <= double(m.n_celle);
  }
};

// Reads the next key field into `campo`; a field holding "-" is disabled and
// the next one read in its place, at most twice in a row. False when the end
// test holds after a read: the last field of a file is never interpreted.
inline bool leggi_chiave(lettore_campi& r, std::string& campo) {
  for (int letture = 1;; ++letture) {
    campo = r.leggi_testo();
    if (r.fine()) return false;
    if (letture == 3 || !contiene(campo, "-")) return true;
  }
}

// What an entry asks of the reading loop: go on; stop reading, the closing
// steps still running; or leave at once.
enum class dopo_voce { avanti, chiudi, lascia };

// What both description readers share: the open file and the ways its
// reading ends.
class lettura_file {
 protected:
  lettura_file(contesto_lettura& ctx, lettore_campi& r, std::string nome)
      : ctx_(ctx), m_(ctx.m), r_(r), nome_(std::move(nome)) {}

  // Closes and deletes the file and ends reading with a code.
  dopo_voce lascia(std::int32_t codice, std::optional<std::int32_t> posizione = std::nullopt) {
    ctx_.registra(codice, posizione);
    chiudi_file();
    return dopo_voce::lascia;
  }
  // An item off the track stops reading; the closing steps still run.
  dopo_voce fuori_linea(std::int32_t p) {
    ctx_.registra(codice::fuori_linea, p);
    return dopo_voce::chiudi;
  }
  void chiudi_file() {
    ctx_.chiudi();
    ctx_.disk.remove(nome_);
  }

  contesto_lettura& ctx_;
  modello& m_;
  lettore_campi& r_;
  std::string nome_;
};

fine_fase leggi_descrizione_linea(contesto_lettura& ctx);
void leggi_descrizione_servizio(contesto_lettura& ctx);

}  // namespace sc
