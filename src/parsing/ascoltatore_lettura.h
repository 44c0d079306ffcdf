// What the description readers tell whoever listens: the fields they read,
// the entries they take, how an entry ends the reading, and what they see
// along the way. Every method does nothing by default, so the built-in run
// listens to nothing and the readers never ask whether anyone does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "model/voci.h"

namespace sc {

class lettore_campi;
struct guasto_lettura;
struct rifiuto;
struct chiave_curva;

enum class sezione_lettura { preambolo, generale, voci };

// A value the stores work out from several fields.
enum class formula : unsigned char {
  aspetto_1,        // s1 x 10 + d1
  aspetto_2,        // s2 x 10 + d2
  aspetto_3,        // s3 x 10 + d3
  segnali,          // rapp x 10 + sx x 3 + dx
  marca_approccio,  // (sx x 3 + dx) x 10 + 4
  strisce,          // strisces x 10 + strisced
};

// Why a code was recorded, where the code alone does not say.
enum class causa_codice : unsigned char {
  nessuna,
  curva_senza_classe,  // 103: no class digit in the key word
  curva_oltre_limite,  // 103: the plan would pass its last metre
  codice_precedente,   // a code left by the line description stops the service description here
};

class ascoltatore_lettura {
 public:
  virtual ~ascoltatore_lettura() = default;

  // The description being read, with the reader over its text, and the
  // section the reading is in.
  virtual void apri(const std::string& /*nome*/, lettore_campi& /*r*/, parte_descrizione /*parte*/) {}
  virtual void chiudi() {}
  virtual void sezione(sezione_lettura /*s*/) {}

  // The reader's last field, by its role: read while looking for the
  // general section's marker; skipped for its "-"; taken as a key field;
  // a key field no entry takes.
  virtual void campo_preambolo() {}
  virtual void campo_disabilitato() {}
  virtual void chiave() {}
  virtual void chiave_senza_voce() {}
  // An entry begins; each of its values is then the reader's last field,
  // a number (as read into its target) or a text.
  virtual void voce_iniziata(voce /*v*/) {}
  virtual void valore(std::int64_t /*letto*/) {}
  virtual void valore_testo() {}

  // How the entry ends the reading: with a code (and a position where the
  // code has one), refused by a store, or with a failure.
  virtual void codice(std::int32_t /*codice*/, std::optional<std::int32_t> /*posizione*/, causa_codice /*causa*/) {}
  virtual void rifiutata(const rifiuto& /*r*/) {}
  virtual void guasto(const guasto_lettura& /*g*/) {}

  // What the reading sees along the way.
  // A fill (gradient, speed, adhesion) changes at a cell; the fill index
  // before and after shows an entry out of order.
  virtual void cambio(voce /*v*/, std::int64_t /*cella*/, std::int64_t /*indice_prima*/, std::int64_t /*indice_dopo*/) {}
  virtual void curva(const chiave_curva& /*k*/, std::int64_t /*prossimo_prima*/, std::int64_t /*prossimo_dopo*/) {}
  // The entry's object stands at these metres (or, with `fine`, ends there).
  virtual void posizione(std::int64_t /*metri*/, bool /*fine*/) {}
  // A value of the entry is stored other than as written: field `campo`
  // (counting the entry's fields from 0) becomes `diventa`, in its units.
  virtual void valore_cambiato(std::size_t /*campo*/, std::int64_t /*diventa*/) {}
  // A value the store works out from several fields comes to `esatto`,
  // and `bit` bits keep `memorizzato` of it.
  virtual void ridotto(formula /*f*/, std::int64_t /*esatto*/, std::int64_t /*memorizzato*/, int /*bit*/) {}
  virtual void montagna(std::int32_t /*tipo_memorizzato*/, std::int64_t /*distanza*/) {}
  virtual void stazione(std::int32_t /*k*/, std::int32_t /*prossimo_testo*/) {}
  virtual void tempo_segnale(std::int32_t /*letto*/) {}
  virtual void rallentamento_senza_avviso(std::int32_t /*f_ta*/) {}
  // The station's stop cell replaces what stood in the cell.
  virtual void cella_sostituita(std::int64_t /*cella*/) {}
  virtual void ora(std::int64_t /*ore*/, std::int64_t /*minuti*/, std::int64_t /*secondi*/, bool /*orologio*/) {}
  virtual void servizio_senza_generale() {}
  virtual void progressive_non_multiple() {}
};

// The listener of a reading nobody watches.
inline ascoltatore_lettura& nessun_ascoltatore() {
  static ascoltatore_lettura nessuno;
  return nessuno;
}

}  // namespace sc
