// The facts of a pair of descriptions, as check reads them: the diagnostics
// it reports, and what the reading and the compile did with each entry
// (where its fields lie, the cells its objects went into, where a fill takes
// effect, which entry put what in each cell), with the compiled model. A
// pure function of the two texts: the editor server answers from these
// facts, and the tests ask them without a client.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "diagnostics/diagnostica.h"
#include "diagnostics/tabella.h"
#include "model/modello.h"
#include "model/voci.h"
#include "parsing/ascoltatore_lettura.h"

namespace sc {

// The two descriptions, Windows-1252. A missing one is read as a stand-in
// whose own diagnostics are dropped: a service description alone is read
// against a line of the greatest length, a line description alone with an
// empty service description.
struct coppia_descrizioni {
  std::string scenario, treno;  // Windows-1252, as the model stores them
  std::optional<std::string> linea, servizio;
};

// A field of an entry as the reader took it: its bytes, and its number.
struct campo_documento {
  std::size_t inizio = 0, fine = 0;
  std::int64_t valore = 0;
  bool testo = false;
};

// One entry as the reader took it.
struct voce_documento {
  parte_descrizione parte = parte_descrizione::linea;
  voce v = voce::pendenza;
  std::size_t inizio = 0, fine = 0;  // the key field
  std::vector<campo_documento> valori;
  // Cells its objects went into, in order (a restriction: start, end,
  // warning board ...); the cell where a fill takes effect; the cell a
  // store refused it, already taken.
  std::vector<std::int64_t> celle;
  std::optional<std::int64_t> cella_effetto, cella_rifiutata;
  std::int32_t elemento = 0;            // a station's service record
  std::optional<std::int64_t> secondi;  // a time of day it gives

  // The end of its last field.
  std::size_t termine() const { return valori.empty() ? fine : valori.back().fine; }
  // The cell its position lands in, where the compile says.
  std::optional<std::int64_t> cella() const;
};

// A field holding "[" and "]" where a key field was due: a section header.
struct intestazione {
  parte_descrizione parte;
  std::size_t inizio, fine;
  std::string testo;
};

struct confine_sezione {
  parte_descrizione parte;
  sezione_lettura sezione;
  std::size_t inizio, da;  // the field that opened it; the section runs from its end
};

struct diagnostica_mostrata {
  diagnostica d;
  gravita g;  // as check shows it
};

struct analisi {
  coppia_descrizioni coppia;
  std::string nome_linea, nome_servizio;  // the file names the diagnostics carry
  modello m;                              // as compiled, without its plan
  std::vector<diagnostica_mostrata> diagnostiche;
  std::vector<voce_documento> voci;  // each part in reading order, the line first
  std::vector<intestazione> intestazioni;
  std::vector<confine_sezione> sezioni;
  // For every cell, the entries that put an object in it, in order; the
  // walk's marks count for the entry whose object they serve.
  std::map<std::int64_t, std::vector<std::size_t>> occupanti;

  const std::string& testo(parte_descrizione p) const;
  bool presente(parte_descrizione p) const { return p == parte_descrizione::linea ? coppia.linea.has_value() : coppia.servizio.has_value(); }
  // The part a diagnostic's file name stands for.
  std::optional<parte_descrizione> parte_di(const std::string& file) const;
  // The entry whose key field or values hold the offset, and which field
  // (-1: the key).
  const voce_documento* voce_a(parte_descrizione p, std::size_t offset, int* campo = nullptr) const;
  // The entries of a part, in order.
  std::vector<const voce_documento*> voci_di(parte_descrizione p) const;
  sezione_lettura sezione_a(parte_descrizione p, std::size_t offset) const;
  // The service table as the readers of compiled files take it.
  std::vector<voce_servizio> servizio() const { return {m.servizio.begin(), m.servizio.end()}; }
};

analisi analizza(coppia_descrizioni c);

// The files a plain compile of the pair writes (the compile command's
// reading, which stops at the first error), with the code it records.
struct uscita_compilata {
  std::map<std::string, std::string> file;
  std::int32_t codice = 0, mostrato = 0;
  bool operator==(const uscita_compilata&) const = default;
};
uscita_compilata compila_coppia(const coppia_descrizioni& c);

// Kilometres of a position, as posts show them: "km 2.600".
std::string chilometri(std::int64_t metri);

}  // namespace sc
