// Lints: what the format accepts but almost certainly drops or changes, and
// the rules that surprise. Key lints look at key fields (unknown, misspelt,
// disabled, in the wrong section or file); value lints at what an entry's
// values become (empty, decimal, run on, out of range, out of order, past
// the line's end).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "diagnostics/osservatore_diagnostiche.h"

namespace sc {

class lint_diagnostiche {
 public:
  explicit lint_diagnostiche(stato_diagnostiche& s) : s_(s) {}

  // The part being read begins or ends; an entry ends (at the next key).
  void apri();
  void fine_voce();

  // Key lints.
  void campo_preambolo();
  void campo_disabilitato();
  void chiave_senza_voce();
  void voce_iniziata(voce v);
  // The place of the field closest to the general section's marker, if
  // one was read before the reading gave up looking for it.
  std::optional<std::pair<luogo_testo, std::string>> quasi_generale() const { return quasi_generale_; }
  // A section header ends the general section: where, for messages.
  void fine_generale();

  // Value lints.
  void valore();
  void cambio(voce v, std::int64_t cella, std::int64_t indice_prima, std::int64_t indice_dopo);
  void curva(const chiave_curva& k, std::int64_t prossimo_prima, std::int64_t prossimo_dopo);
  void posizione(std::int64_t metri, bool fine);
  void valore_cambiato(std::size_t campo, std::int64_t diventa);
  void ridotto(formula f, std::int64_t esatto, std::int64_t memorizzato, int bit);
  void montagna(std::int32_t tipo_memorizzato, std::int64_t distanza);
  void tempo_segnale(std::int32_t letto);
  void rallentamento_senza_avviso(std::int32_t f_ta);
  void cella_sostituita(std::int64_t cella);
  void marca_sovrascritta(std::int64_t cella, std::uint8_t prima, std::uint8_t dopo);
  void ora(std::int64_t ore, std::int64_t minuti, std::int64_t secondi, bool orologio);

  // The speed limit in force and where it was written: a later fill may
  // fail on it.
  std::optional<luogo_testo> luogo_velocita() const { return luogo_velocita_; }

 private:
  void suggerisci(const std::string& campo);
  void a_capo(const campo_letto& c);
  void valori_stazione();

  stato_diagnostiche& s_;
  luogo_testo fine_generale_;  // the header that ended the general section
  std::string testo_fine_generale_;
  std::optional<std::pair<luogo_testo, std::string>> quasi_generale_;
  std::size_t distanza_quasi_generale_ = 0;
  std::optional<voce> ultima_voce_;
  int riga_ultima_voce_ = 0;  // line of the last entry's key
  int riga_ignorata_ = -1;    // line of the last key field reported as unknown
  int riga_in_piu_ = -1;      // line whose extra fields were reported
  std::map<voce, std::int64_t> ultima_posizione_;  // of gradient, speed and adhesion changes
  std::optional<luogo_testo> luogo_velocita_;
  std::vector<std::pair<std::int64_t, std::pair<std::uint8_t, std::uint8_t>>> marche_;  // this entry's, written over others
};

}  // namespace sc
