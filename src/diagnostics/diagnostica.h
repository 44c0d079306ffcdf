// Diagnostics: what the reader, the stores and the walk observe, as events
// with an id, a place in a description and the values that explain them. The
// core reports them to a sink it is handed (the built-in run hands none); the
// tools hold the texts and decide how they look.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sc {

// Every kind of event. The texts, severities and codes live in one table in
// the tools, keyed by these ids.
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
  segnale_occupato,           // 16
  avviso_occupato,            // 17
  inizio_occupato,            // 18
  fine_occupata,              // 19
  sequenza_occupata,          // 20
  indicatore_occupato,        // 21
  stazioni_vicine,            // 22
  stazione_troppo_presto,     // 24
  numero_fuori_campo,         // 25: a value too large for its field
  velocita_fuori_byte,        // 25
  indicatore_fuori_16,        // 25
  valori_troncati,            // 25: values cut off by the end of the file
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
  curva_senza_classe,         // 103
  curva_oltre_milione,        // 103
  slot_formato,               // 1250
  slot_gara,                  // 1251
  carattere_senza_cp1252,     // no code: the file cannot be converted
  non_riprodotto,             // no code: a decompile's round trip is not exact
  // Warnings: accepted by the format, almost certainly not meant.
  chiave_sconosciuta,
  campo_in_piu,
  chiave_maiuscola,
  chiave_fuori_sezione,
  chiave_altro_file,
  chiave_disabilitata,
  chiave_in_testo,
  chiave_multipla,
  testo_per_numero,
  valori_a_capo,
  lato_curva,
  classe_curva_ambigua,
  curva_sovrapposta,
  curva_nulla,
  curva_tagliata,
  fuori_ordine,
  oltre_fine_linea,
  valore_ridotto,
  sequenza_senza_avviso,
  cella_sostituita,
  ora_impossibile,
  testo_utf8,
  servizio_senza_generale,
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
};

// A place in a description: the file's name as the reader knows it, the
// bytes of the field, and its 1-based line and column (0 when unknown).
struct luogo_testo {
  std::string file;
  std::size_t inizio = 0, fine = 0;
  int riga = 0, colonna = 0;

  bool noto() const { return !file.empty(); }
};

struct diagnostica {
  diag id;
  std::int32_t codice = 0;  // the format's code, 0 for warnings and notes
  luogo_testo dove;
  std::optional<std::int32_t> metri;  // the position the event concerns
  std::vector<std::string> arg;       // the values the text shows, in order
  std::vector<diagnostica> note;      // places that explain it
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
