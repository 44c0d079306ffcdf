// The diagnostics of a compile. The readers, the stores and the walk tell
// this watcher what they meet; it reports events (diagnostica.h) with the
// place in the description and the objects involved. It only watches: the
// model and the bytes compiled do not change because of it.
//
// It is split by job, over one shared state:
//   - source places (luoghi.h): where each field lies, the entry being read;
//   - cell provenance (provenienza.h): which entry put what in each cell;
//   - key and value lints (lint.cc): what the format accepts but drops or
//     changes, and the rules that surprise;
//   - translation of codes (codici.cc): each code, refusal, failure and
//     problem of the walk as an event at its entry.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "compile/percorso.h"
#include "diagnostics/diagnostica.h"
#include "diagnostics/luoghi.h"
#include "diagnostics/provenienza.h"
#include "model/modello.h"

namespace sc {

struct guasto_lettura;

// What the parts share.
struct stato_diagnostiche {
  stato_diagnostiche(ricevitore_diagnostiche& r, modello& modello) : ricevitore(r), m(modello) {}

  ricevitore_diagnostiche& ricevitore;
  modello& m;
  sorgenti src;
  provenienza celle;
  voce_letta corrente;
  sezione_lettura sezione = sezione_lettura::preambolo;
  int errori = 0;
  // The station being read, the first sign text's element, and where each
  // station's entry is; the place of the line length.
  std::int32_t stazione_k = 0, prossimo_testo = prima_voce_cartelli;
  std::map<std::int32_t, luogo_testo> stazioni;
  std::optional<luogo_testo> luogo_lunghezza;
  // The kilometre references as read: the places of their first two values,
  // and the three values.
  std::map<voce, std::pair<std::array<luogo_testo, 2>, std::array<std::int64_t, 3>>> progressive;

  // Reports an event, once: recovery may meet the same one twice.
  void emetti(diagnostica d);
  diagnostica evento(diag id, luogo_testo dove, std::vector<argomento> arg = {}) const;

  luogo_testo luogo_chiave() const;
  // The place of the entry's value i, or of the last field read.
  luogo_testo luogo_valore(std::size_t i) const;
  std::string testo_valore(std::size_t i) const;
  std::string testo_chiave() const;
  // The object the entry being read places, and the object in a sentence.
  oggetto_citato entita() const;
  argomento arg_entita() const { return argomento::di_oggetto(entita()); }
  // The entries the part and section being read take.
  const std::vector<voce>& chiavi_della_parte() const;

 private:
  std::string nome_stazione() const;
  std::set<std::string> gia_;
};

class lint_diagnostiche;
class codici_diagnostiche;

class osservatore_diagnostiche : public ascoltatore_compilazione {
 public:
  osservatore_diagnostiche(ricevitore_diagnostiche& ricevitore, modello& m);
  ~osservatore_diagnostiche() override;

  // Errors reported so far.
  int errori() const { return s_.errori; }

  // The readers.
  void apri(const std::string& nome, lettore_campi& r, parte_descrizione parte) override;
  void chiudi() override;
  void sezione(sezione_lettura s) override;
  void campo_preambolo() override;
  void campo_disabilitato() override;
  void chiave() override;
  void chiave_senza_voce() override;
  void voce_iniziata(voce v) override;
  void valore(std::int64_t letto) override;
  void valore_testo() override;
  void codice(std::int32_t codice, std::optional<std::int32_t> posizione, causa_codice causa) override;
  void rifiutata(const rifiuto& r) override;
  void guasto(const guasto_lettura& g) override;
  void cambio(voce v, std::int64_t cella, std::int64_t indice_prima, std::int64_t indice_dopo) override;
  void curva(const chiave_curva& k, std::int64_t prossimo_prima, std::int64_t prossimo_dopo) override;
  void posizione(std::int64_t metri, bool fine) override;
  void valore_cambiato(std::size_t campo, std::int64_t diventa) override;
  void ridotto(formula f, std::int64_t esatto, std::int64_t memorizzato, int bit) override;
  void montagna(std::int32_t tipo_memorizzato, std::int64_t distanza) override;
  void stazione(std::int32_t k, std::int32_t prossimo_testo) override;
  void tempo_segnale(std::int32_t letto) override;
  void rallentamento_senza_avviso(std::int32_t f_ta) override;
  void cella_sostituita(std::int64_t cella) override;
  void ora(std::int64_t ore, std::int64_t minuti, std::int64_t secondi, bool orologio) override;
  void servizio_senza_generale() override;
  void progressive_non_multiple() override;

  // The compile.
  void cella_occupata(std::int64_t cella, std::int64_t per_cella) override;
  void marca_sovrascritta(std::int64_t cella, std::uint8_t prima, std::uint8_t dopo) override;
  void problema(const problema_cammino& p) override;
  void fine_compilazione(std::int32_t codice) override;

 private:
  stato_diagnostiche s_;
  std::unique_ptr<lint_diagnostiche> lint_;
  std::unique_ptr<codici_diagnostiche> codici_;
};

}  // namespace sc
