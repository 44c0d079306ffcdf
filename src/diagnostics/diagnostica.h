// Diagnostics: what the reader, the stores and the walk observe, as events
// with an id, a place in a description and typed values that explain them.
// The texts, severities, codes and warning names live in one table
// (diagnostics/tabella.h); whoever receives the events decides how they
// look. The built-in run receives none.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/voci.h"

namespace sc {

// Every kind of event; the table gives each its severity, code and text.
enum class diag : std::uint16_t {
  // Errors, each with the code the format records.
  lunghezza_eccessiva,        // 1
  progressiva_non_multipla,   // 2
  ripetizione_primo,          // 3
  ripetizione_secondo,        // 4
  ripetizione_codici,         // 5
  cartello_occupato,          // 6
  abbattimento_occupato,      // 7
  stazione_posizione,         // 8
  stazione_lunghezza,         // 9
  stazioni_troppe,            // 10
  segnale_senza_spazio,       // 11
  approccio_pieno,            // 12
  ripetizione_piena,          // 13
  rallentamento_senza_fine,   // 13
  uscita_piena,               // 13
  fuori_linea,                // 15
  fuori_linea_stazione,       // 15
  segnale_occupato,           // 16
  avviso_occupato,            // 17
  inizio_occupato,            // 18
  fine_occupata,              // 19
  sequenza_occupata,          // 20
  indicatore_occupato,        // 21
  stazioni_vicine,            // 22
  stazioni_fuori_ordine,      // 22: written before the previous one
  stazione_troppo_presto,     // 24
  numero_fuori_campo,         // 25: a value too large for its field
  velocita_fuori_byte,        // 25
  indicatore_fuori_16,        // 25
  valori_troncati,            // 25: values cut off by the end of the file
  file_finito_tra_disabilitati,  // 25
  file_vuoto,                 // 25
  senza_lunghezza,            // 25
  lunghezza_senza_pista,      // 25
  pista_senza_marcatori,      // 25
  troppi_cartelli,            // 25
  troppe_montagne,            // 25
  testo_troppo_lungo,         // 25
  cella_fuori_pista,          // 25
  somma_fuori_32,             // 25
  servizio_mancante,          // 25
  guasto_generico,            // 25
  linea_mancante,             // 101
  generale_mancante,          // 102
  generale_mancante_simile,   // 102, with a field close to the marker
  curva_senza_classe,         // 103
  curva_oltre_milione,        // 103
  slot_formato,               // 1250
  slot_gara,                  // 1251
  // Errors without a code of the format.
  servizio_senza_generale,
  servizio_senza_generale_simile,
  lunghezza_non_positiva,
  carattere_senza_cp1252,
  testo_utf16,
  non_testo,
  non_riprodotto,
  // Warnings: accepted by the format, almost certainly not meant.
  chiave_sconosciuta,
  chiave_sconosciuta_simile,
  commento,
  campo_in_piu,
  chiave_maiuscola,
  voce_generale_fuori_sezione,
  voce_linea_in_generale,
  chiave_altro_file,
  chiave_disabilitata,
  chiave_in_testo,
  chiave_multipla,
  testo_per_numero,
  campo_vuoto,
  valore_mancante,
  decimale,
  valori_a_capo,
  valori_a_capo_persa,
  lato_curva,
  lato_curva_con_s,
  classe_curva_ambigua,
  curva_sovrapposta,
  curva_nulla,
  curva_negativa,
  curva_tagliata,
  fuori_ordine,
  oltre_fine_linea,
  fine_oltre_fine_linea,
  fuori_intervallo,
  valore_ridotto,
  valore_ignorato,
  sequenza_senza_avviso,
  cella_sostituita,
  ora_impossibile,
  testo_utf8,
  bom_utf8,
  vuoto_convenzionale,
  // Notes: intended rules that surprise, and the places that explain an
  // error or a warning.
  voce_disabilitata,
  montagna_tipo_3,
  tempo_101,
  tempo_ignorato,
  rallentamento_senza_avviso,
  marche_sovrascritte,
  nome_da_file,
  lettura_interrotta,
  nota_occupante,
  nota_valore,
  nota_stazione_precedente,
  nota_voce,
  nota_non_testo,
};

// An object an event talks about, in the author's terms.
struct oggetto_citato {
  enum class parte : unsigned char {
    intero,       // the entry's object: "signal at 2600 m"
    inizio,       // "the start of the restriction at 2000 m"
    fine,         // "the end of the restriction at 2000 m"
    avviso,       // its warning board
    sequenza,     // its warning sequence
    fermata,      // a station's stop cell
    marca,        // the compiler's mark for the object
    anonimo,      // known by its cell only: "a signal"
  };
  parte p = parte::intero;
  voce v = voce::segnale;
  std::int64_t metri = 0;
  std::string nome;  // a station's name, a sign's text (Windows-1252)
  std::uint8_t tipo_cella = 0;  // for an anonymous object
};

// A value an event shows. Its kind tells the table how to write it, and
// JSON where metres are.
struct argomento {
  enum class genere : unsigned char {
    testo,      // bytes from a description (Windows-1252), shown safely
    parole,     // the diagnostics' own words, already safe: shown as they are
    numero,
    metri,      // a position or a length in metres
    intervallo, // metres from `a` to `b`, both included
    campo,      // field `a` of entry `v`: "left aspect 1 (s1)"
    chiave,     // entry `v`'s key word as the writer spells it
    oggetto,
    ora,        // a time as written: a:b:c
    secondi,    // a time of day from seconds after midnight
    valore,     // value `b` of field `a` of entry `v`, with its unit
    parte,      // a description: "line" or "service"
  };
  genere g = genere::testo;
  std::int64_t a = 0, b = 0, c = 0;
  voce v = voce::segnale;
  std::string s;
  oggetto_citato o;

  argomento() = default;
  argomento(std::string t) : s(std::move(t)) {}  // NOLINT: texts read naturally in lists
  argomento(const char* t) : s(t) {}             // NOLINT
  static argomento numero(std::int64_t n) { return con(genere::numero, n); }
  static argomento di_metri(std::int64_t m) { return con(genere::metri, m); }
  static argomento metri_da_a(std::int64_t da, std::int64_t a) { return con(genere::intervallo, da, a); }
  // A value of field `campo` of entry `v`, with its unit: "200 ‰".
  static argomento valore_di(voce v, std::size_t campo, std::int64_t valore) {
    argomento x = con(genere::valore, std::int64_t(campo), valore);
    x.v = v;
    return x;
  }
  static argomento di_parte(parte_descrizione p) { return con(genere::parte, std::int64_t(p)); }
  static argomento di_parole(std::string t) {
    argomento x = con(genere::parole);
    x.s = std::move(t);
    return x;
  }
  static argomento di_campo(voce v, std::size_t i) {
    argomento x = con(genere::campo, std::int64_t(i));
    x.v = v;
    return x;
  }
  static argomento di_chiave(voce v) {
    argomento x = con(genere::chiave);
    x.v = v;
    return x;
  }
  static argomento di_oggetto(oggetto_citato o) {
    argomento x = con(genere::oggetto);
    x.o = std::move(o);
    return x;
  }
  static argomento di_ora(std::int64_t h, std::int64_t m, std::int64_t s) { return con(genere::ora, h, m, s); }
  static argomento di_secondi(std::int64_t s) { return con(genere::secondi, s); }

 private:
  static argomento con(genere g, std::int64_t a = 0, std::int64_t b = 0, std::int64_t c = 0) {
    argomento x;
    x.g = g;
    x.a = a, x.b = b, x.c = c;
    return x;
  }
};

// A place in a description: the file's name as the reader knows it, the
// bytes of the field, and its 1-based line and column (0 when unknown).
struct luogo_testo {
  std::string file;
  std::size_t inizio = 0, fine = 0;
  int riga = 0, colonna = 0;

  bool noto() const { return !file.empty(); }
};

// A fix the event suggests: the bytes at `dove` become `testo`.
struct correzione {
  luogo_testo dove;
  std::string testo;  // Windows-1252
};

struct diagnostica {
  diag id;
  luogo_testo dove;
  std::optional<std::int32_t> metri;  // the position the event concerns
  std::vector<argomento> arg;         // the values the text shows, in order
  std::vector<diagnostica> note;      // places that explain it
  // Alternative fixes, the likeliest first, where the watcher knows them
  // (for an editor's quick fixes); most events have none.
  std::vector<correzione> correzioni = {};
};

class ricevitore_diagnostiche {
 public:
  virtual ~ricevitore_diagnostiche() = default;
  virtual void riporta(const diagnostica& d) = 0;
};

// Keeps every event, in order: for tests and for tools that sort or count.
class raccolta_diagnostiche : public ricevitore_diagnostiche {
 public:
  void riporta(const diagnostica& d) override { tutte.push_back(d); }
  std::vector<diagnostica> tutte;
};

}  // namespace sc
