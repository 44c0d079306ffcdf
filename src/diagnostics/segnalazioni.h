// The diagnostics of a compile: the readers, the stores and the walk tell
// this object what they meet, and it reports events (model/diagnostica.h)
// with the place in the description and the objects involved. It only
// watches: the model and the bytes compiled do not change because of it.
// With recovery on (the check command), the readers drop a faulty entry and
// go on instead of stopping, so that independent problems are all reported.
#pragma once

#include <cstdint>
#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "diagnostics/diagnostica.h"
#include "model/indice_righe.h"
#include "model/modello.h"
#include "model/osservatore.h"
#include "model/voci.h"

namespace sc {

class lettore_campi;
struct guasto_lettura;

enum class sezione_lettura { preambolo, generale, voci };

class segnalazioni : public osservatore_compilazione {
 public:
  segnalazioni(ricevitore_diagnostiche& ricevitore, modello& m, bool recupera);

  bool recupera() const { return recupera_; }
  int errori() const { return errori_; }

  // The file being read, its part and the section the reader is in.
  void apri(const std::string& nome, lettore_campi& r, parte_descrizione parte);
  void chiudi();
  void sezione(sezione_lettura s);

  // Key fields: the reader's last field, skipped for its "-"; kept as the
  // key; matched by no test; triggering an entry.
  void campo_disabilitato();
  void chiave_letta();
  void chiave_senza_voce();
  void inizia_voce(voce v);
  // The reader's last field is the entry's next value.
  void valore(std::int64_t numero);
  void valore_testo(const std::string& testo);

  // The entry ended reading with a code (with its position where it has
  // one), or the reading failed (code 25).
  void codice(std::int32_t codice, std::optional<std::int32_t> posizione);
  void guasto(const guasto_lettura& g);
  void progressive_non_multiple();

  // What the readers observe along the way.
  void cambio(voce v, std::int64_t posizione, std::int64_t cella, std::int64_t indice_prima, std::int64_t indice_dopo);
  void valore_in_vigore(voce v);
  void curva(std::int64_t prossimo_prima, std::int64_t prossimo_dopo);
  // An item, or with `fine` an item's end, past the line's end.
  void oltre_fine(std::int64_t posizione, bool fine = false);
  // A value kept to its low bits; `valore` is the entry's value it comes
  // from, when it is one value alone.
  void ridotto(const char* cosa, std::int64_t esatto, std::int64_t memorizzato, int bit, std::optional<std::size_t> valore = std::nullopt);
  void montagna(std::int32_t tipo_letto, std::int32_t tipo_memorizzato, std::int64_t distanza);
  void stazione(std::int32_t k, std::int32_t prossimo_testo);
  void tempo_segnale(std::int32_t letto);
  // A restriction at 1500 m or less, which gets no warning board.
  void rallentamento_senza_avviso(std::int32_t f_ta);
  // Approach marks written over others: the cells and their values before.
  void marche_sovrascritte(const std::vector<std::pair<std::int64_t, std::uint8_t>>& prima);
  // The current entry writes over the object in the cell without a check.
  void cella_sostituita(std::int64_t cella);
  // A time of day (hours, minutes, seconds) outside 00:00:00 to 23:59:59.
  void ora(std::int64_t ore, std::int64_t minuti, std::int64_t secondi, bool orologio);
  void servizio_senza_generale();

  // The compile's observer.
  void cella_occupata(std::int64_t cella, std::int64_t per_cella) override;
  void problema(const problema_cammino& p) override;
  void fine_compilazione(std::int32_t codice) override;

 private:
  struct campo_letto {
    std::size_t inizio = 0, fine = 0;
    std::string grezzo;
    bool numero = true;
    std::int64_t valore = 0;
  };
  struct file_letto {
    std::string nome;
    indice_righe righe;
  };
  // Who put an object into a cell: the entry, and what the object is.
  struct origine {
    luogo_testo dove;
    std::string cosa;    // the object: "the end of the restriction at 2000 m"
    std::string voce;    // its entry: "the restriction at 2000 m"
  };

  void emetti(diagnostica d);
  diagnostica evento(diag id, std::int32_t codice, luogo_testo dove, std::vector<std::string> arg = {}) const;
  luogo_testo luogo(std::size_t inizio, std::size_t fine) const;
  luogo_testo luogo_chiave() const;
  luogo_testo luogo_valore(std::size_t i) const;
  luogo_testo luogo_campo() const;  // the reader's last field
  bool stessa_riga(std::size_t a, std::size_t b) const;
  // The entries the current part and section read.
  const std::vector<voce>& chiavi_della_parte() const;

  std::int64_t valore_n(std::size_t i) const;
  std::string testo_n(std::size_t i) const;
  std::string entita() const;
  std::string nome_stazione() const;
  std::optional<diagnostica> nota_cella(std::int64_t cella) const;
  void aggiungi_note_celle(diagnostica& d, const std::vector<std::int32_t>& celle) const;
  std::string elenco_celle(const std::vector<std::int32_t>& celle) const;
  luogo_testo luogo_cella(std::int64_t cella) const;
  std::string cosa_cella(std::int64_t cella) const;
  std::string voce_cella(std::int64_t cella) const;

  diagnostica evento_codice(std::int32_t codice, std::optional<std::int32_t> posizione);
  diagnostica occupata(diag id, std::int32_t codice, std::int64_t cella, std::size_t valore_posizione);
  void suggerisci(const std::string& campo);

  ricevitore_diagnostiche& ricevitore_;
  modello& m_;
  bool recupera_;
  int errori_ = 0;

  std::vector<file_letto> file_;
  lettore_campi* lettore_ = nullptr;
  parte_descrizione parte_ = parte_descrizione::linea;
  sezione_lettura sezione_ = sezione_lettura::preambolo;
  luogo_testo fine_generale_;  // the header that ended the general section
  std::string testo_fine_generale_;

  // The key field and the entry being read.
  campo_letto chiave_;
  std::optional<voce> voce_;
  int voci_della_chiave_ = 0;
  std::vector<campo_letto> valori_;
  bool a_capo_segnalato_ = false;
  std::optional<voce> ultima_voce_;
  int riga_ultima_voce_ = 0;  // line of the last entry's key
  int riga_ignorata_ = -1;  // line of the last key field reported as unknown
  int riga_in_piu_ = -1;    // line whose extra fields were reported

  // Where each object came from.
  std::vector<std::int32_t> origine_cella_;
  std::vector<origine> origini_;
  std::map<std::int32_t, luogo_testo> stazioni_;  // by service element
  std::int32_t stazione_k_ = 0, prossimo_testo_ = 80;
  // The chainage entries as read: the place of each value, and the values.
  std::map<voce, std::pair<std::array<luogo_testo, 2>, std::array<std::int64_t, 3>>> progressive_;
  std::optional<luogo_testo> luogo_lunghezza_;
  std::map<voce, std::pair<luogo_testo, std::int64_t>> in_vigore_;  // speed and adhesion
  std::map<voce, std::int64_t> ultima_posizione_;  // of gradient, speed and adhesion changes

  std::set<std::string> gia_riportati_;
};

}  // namespace sc
