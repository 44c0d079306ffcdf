// What an editor asks about a description, answered from the facts of its
// pair (analisi.h) and the tables of the format: hover, completion,
// signature help, the outline, definitions, inlay hints, formatting and the
// line's page. Pure functions; places are byte offsets in the part asked
// about, texts are UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/lsp/analisi.h"

namespace sc {

struct risposta_hover {
  std::string markdown;
  std::size_t inizio = 0, fine = 0;  // the field hovered
};
std::optional<risposta_hover> hover(const analisi& a, parte_descrizione p, std::size_t offset);

struct proposta {
  enum class genere { chiave, sezione };
  genere g = genere::chiave;
  std::string etichetta, dettaglio, documentazione;
  std::string snippet;  // placeholders named after the fields, choices where the table lists them
  std::string testo;    // the same without placeholders, for clients without snippets
};
struct completamento {
  std::vector<proposta> proposte;
  std::size_t inizio = 0, fine = 0;  // what a proposal replaces: the key field typed so far
};
completamento completa(const analisi& a, parte_descrizione p, std::size_t offset);

struct firma {
  std::string etichetta;  // "segnale, posizione, sx, ..."
  std::string documentazione;
  // Each field's place in the label, in UTF-16 units, and its reference.
  std::vector<std::pair<std::size_t, std::size_t>> parametri;
  std::vector<std::string> riferimenti;
  int attivo = 0;
};
std::optional<firma> firma_a(const analisi& a, parte_descrizione p, std::size_t offset);

struct simbolo {
  enum class genere { sezione, stazione, segnale, rallentamento, tabella, cartello };
  genere g = genere::sezione;
  std::string nome, dettaglio;
  std::size_t inizio = 0, fine = 0;          // the whole entry or section
  std::size_t nome_inizio = 0, nome_fine = 0;  // its key field or header
  std::vector<simbolo> figli;
};
std::vector<simbolo> simboli(const analisi& a, parte_descrizione p);

struct luogo_parte {
  parte_descrizione parte;
  std::size_t inizio = 0, fine = 0;
  bool operator==(const luogo_parte&) const = default;
};
// From an entry to the entries it shares a cell with (conflicts included),
// from a diagnostic to its notes' places, and from a note to its diagnostic.
std::vector<luogo_parte> definizioni(const analisi& a, parte_descrizione p, std::size_t offset);

struct suggerimento_inlay {
  std::size_t offset = 0;  // after the position's field
  std::string testo;       // "km 2.600, cell 53"
};
std::vector<suggerimento_inlay> suggerimenti_inlay(const analisi& a, parte_descrizione p, std::size_t da, std::size_t a_offset);

// The part's text with the columns of each run of entries of one kind
// aligned, as the examples are; nothing when the result would compile to
// other bytes than the text does (or when an entry is not on a line of its
// own, so that the reading could change).
std::optional<std::string> formatta(const analisi& a, parte_descrizione p);

// The page of `view` for the pair, compiled as `compile` does; the reason
// when there is none.
std::optional<std::string> pagina_coppia(const coppia_descrizioni& c, std::string& motivo);

// The section headers a description's writer uses, from the built-in
// tables: "[generale]", "[curve]" ...
std::vector<std::string> intestazioni_note(parte_descrizione p);

}  // namespace sc
