// The entries of the two descriptions, one row each: how the key field is
// recognised, where the entry belongs, and every field it reads with its
// plain name, the format's own name, unit, storage, checks and meaning.
// The readers dispatch on these rows; the diagnostics, help, inspect and the
// editor server read the same rows, so none of them can differ.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sc {

enum class voce : unsigned char {
  lunghezza, progressiva_tre, progressiva_due, progressiva_uno, sfondo_uno, sfondo_due, sfondo_tre, ripetizione,
  pendenza, curva, montagna, indicatori, cartello,
  frenata, vetture, velocita, aderenza, orologio, sabbia, segnale, rallentamento, abbattimento, stazione,
};

// Which description and which part of it reads the entry.
enum class parte_descrizione { linea, servizio };
enum class sezione_voce { generale, voci_linea, servizio };

// How the reader reads a field: a number into a target of that width, or text.
enum class lettura_campo : unsigned char { i32, i16, u8, testo };

// What a field is, for messages and hints: a position on the line gets the
// cell it lands in, a time of day its hh:mm:ss.
enum class genere_campo : unsigned char { posizione, lunghezza, numero, ora, minuto, secondo, testo };

struct campo_voce {
  const char* nome;          // plain words: "left aspect"
  const char* nome_formato;  // the format's own name, "sx"; nullptr where it has none
  const char* unita;         // "m", "km/h", "‰", "" for a pure number
  lettura_campo lettura;
  genere_campo genere;
  // The values the track keeps as written; outside them the stored value
  // changes (low bits kept) or the reading fails. Both ends included.
  std::int64_t minimo, massimo;
  std::string memoria;    // how it is stored: "one byte: gradient + 100"
  std::string controlli;  // what is checked: "multiple of 50 (error 8)", or ""
  // A blank field is the format's own convention here (read as 0, quietly).
  bool vuoto_convenzionale;
  std::string significato;  // what it means, or "passed to the simulator as stored"
};

struct voce_formato {
  voce tipo;
  const char* chiave;    // as the writer spells it
  const char* parole[2];  // the key words the field must contain
  bool maiuscole;         // the test is case-exact
  parte_descrizione parte;
  sezione_voce sezione;
  // What the entry places, in a sentence: "signal"; nullptr for the
  // general entries, which place nothing.
  const char* oggetto;
  std::string descrizione;  // one sentence
  std::vector<campo_voce> campi;
  const char* esempio;  // a line as an author writes it
  // Choices encoded in the key word itself, for completion: "d", "s" ...
  std::vector<std::string_view> scelte_chiave;
};

const voce_formato& formato(voce v);
// Every entry, in the order the readers test them.
const std::vector<voce_formato>& tabella_voci();

// Whether the key field triggers the entry.
bool riconosce(voce v, std::string_view campo);

// The entries of the general section, of the line items and of the service
// description, in the order their tests are applied.
const std::vector<voce>& chiavi_generali();
const std::vector<voce>& chiavi_linea();
const std::vector<voce>& chiavi_servizio();
const std::vector<voce>& chiavi_di(sezione_voce s);

// The entry whose writer's key word or short name is `nome` ("stazione",
// "segnale", "curva"...), for help.
std::optional<voce> voce_da_nome(std::string_view nome);

// The field's name as messages give it: "left aspect (sx)".
std::string nome_campo(const campo_voce& c);

// Where a value is the field n of the entry (0-based), the field; past
// the last, the last one (a station's name is its last field).
const campo_voce& campo_n(voce v, std::size_t n);

}  // namespace sc
