// State shared by the two stages of reading the descriptions.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "model/codici.h"
#include "model/disk.h"
#include "model/modello.h"
#include "model/regole.h"
#include "model/testo.h"
#include "model/voci.h"
#include "parsing/ascoltatore_lettura.h"
#include "parsing/guasto.h"
#include "parsing/lettore_campi.h"
#include "parsing/memo.h"

namespace sc {

// How a stage ended: the next stage runs, or reading is over.
enum class fine_fase { prosegui, termina };

struct contesto_lettura {
  contesto_lettura(modello& modello, Disk& d, ascoltatore_lettura& a, bool recupera)
      : m(modello), disk(d), ascolta(a), recupera(recupera) {}

  modello& m;
  Disk& disk;
  // Told what the reading meets; nobody in the built-in run.
  ascoltatore_lettura& ascolta;
  // Read on past an entry that would end the reading, dropping it, so that
  // independent problems are all found (check); the format stops.
  bool recupera;
  // Sign texts take the service elements from 80 downwards; stations must
  // stay below the next free one.
  std::int32_t prossimo_testo = prima_voce_cartelli;
  // A length entry asks for new arrays; they are created when first needed,
  // so that a run of length entries costs what its bytes cost.
  bool celle_in_sospeso = false;
  // The description being read, if any.
  std::optional<lettore_campi> lettore;

  lettore_campi& apri(const std::string& nome, std::string testo, parte_descrizione parte) {
    lettore_campi& r = lettore.emplace(std::move(testo));
    ascolta.apri(nome, r, parte);
    return r;
  }
  void chiudi() {
    ascolta.chiudi();
    lettore.reset();
  }

  // Creates the arrays the last length entry asked for, all cells and
  // points empty.
  void crea_celle() {
    if (!celle_in_sospeso) return;
    celle_in_sospeso = false;
    m.celle.assign(std::size_t(m.n_celle) + 1, cella{});
    if (m.genera_linea != 0) m.profilo.crea(m.lunghezza_metri);
  }

  // An item at p metres lies on the track.
  bool entra(std::int64_t p, std::int64_t margine = regole::margine_elemento) const { return sc::entra(p, m.n_celle, margine); }
};

// What an entry asks of the reading loop: go on; stop reading, the closing
// steps still running; leave at once; or, with recovery on, go on without
// the rest of this entry.
enum class dopo_voce { avanti, chiudi, lascia, scarta };

// What both description readers share: the open file, the reading of key
// fields and values, and the ways its reading ends. Every step tells the
// listener what it read; with recovery on, an entry that would end the
// reading is dropped instead.
class lettura_file {
 protected:
  lettura_file(contesto_lettura& ctx, lettore_campi& r, std::string nome)
      : ctx_(ctx), m_(ctx.m), r_(r), a_(ctx.ascolta), nome_(std::move(nome)) {}

  bool recupera() const { return ctx_.recupera; }

  // Reads the next key field into `campo`; a field holding "-" is disabled
  // and the next one read in its place, at most `saltati` times in a row.
  // False when the end test holds after a read: the last field of a file is
  // never interpreted.
  bool leggi_chiave(int saltati = 2) {
    for (int letture = 0;; ++letture) {
      m_.campo = r_.leggi_testo();
      if (r_.fine()) return false;
      if (letture == saltati || !contiene(m_.campo, "-")) break;
      a_.campo_disabilitato();
    }
    a_.chiave();
    return true;
  }

  // The values of an entry, each told to the listener.
  void voce(enum voce v) { a_.voce_iniziata(v); }
  std::int32_t i32() { return detto(r_.leggi_i32()); }
  std::int16_t i16() { return detto(r_.leggi_i16()); }
  std::uint8_t u8() { return detto(r_.leggi_u8()); }
  std::string testo() {
    std::string t = r_.leggi_testo();
    a_.valore_testo();
    return t;
  }

  // Closes and deletes the file and ends reading with a code.
  dopo_voce lascia(std::int32_t codice, std::optional<std::int32_t> posizione = std::nullopt, causa_codice causa = causa_codice::nessuna) {
    registra(codice, posizione, causa);
    if (recupera()) return scarta();
    chiudi_file();
    return dopo_voce::lascia;
  }
  // A store refused the entry at position p: the code it gives, and the
  // cell it found taken for whoever listens.
  dopo_voce rifiutata(const rifiuto& r, std::int32_t p) {
    a_.rifiutata(r);
    return lascia(r.codice, p);
  }
  // An item off the track stops reading; the closing steps still run.
  dopo_voce fuori_linea(std::int32_t p) {
    registra(codice::fuori_linea, p);
    return recupera() ? scarta() : dopo_voce::chiudi;
  }
  // Recovery drops the entry: reading resumes after its line.
  dopo_voce scarta() {
    r_.salta_riga();
    return dopo_voce::scarta;
  }
  // Records a code, and a position where the code has one. Recovery keeps
  // no code in the model, so that one problem does not stop later entries.
  void registra(std::int32_t codice, std::optional<std::int32_t> posizione = std::nullopt, causa_codice causa = causa_codice::nessuna) {
    m_.codice_errore = codice;
    if (posizione) m_.posizione_errore = *posizione;
    a_.codice(codice, posizione, causa);
    if (recupera()) m_.codice_errore = 0;
  }
  void chiudi_file() {
    ctx_.chiudi();
    ctx_.disk.remove(nome_);
  }

  // Runs, in table order, the entries whose tests the key field passes,
  // until one asks for more than going on. A null handler recognises its
  // entry without reading it. The listener hears of a field that no test
  // passes.
  template <typename Lettura>
  using entrata = dopo_voce (Lettura::*)();
  template <typename Lettura>
  dopo_voce voci_della_chiave(Lettura* lettura, std::initializer_list<std::pair<enum voce, entrata<Lettura>>> voci) {
    const std::string campo = m_.campo;
    dopo_voce d = dopo_voce::avanti;
    bool riconosciuta = false;
    for (auto [v, e] : voci) {
      if (d != dopo_voce::avanti || !riconosce(v, campo)) continue;
      riconosciuta = true;
      if (!e) continue;
      voce(v);
      d = (lettura->*e)();
    }
    if (!riconosciuta) a_.chiave_senza_voce();
    return d;
  }

  // Runs one key field's entries; with recovery on, a failure inside them
  // is told and reading goes on after the line where it happened.
  template <typename Voci>
  dopo_voce interpreta(Voci&& voci) {
    if (!recupera()) return voci();
    try {
      return voci();
    } catch (const guasto_lettura& g) {
      a_.guasto(g);
      return scarta();
    }
  }

  contesto_lettura& ctx_;
  modello& m_;
  lettore_campi& r_;
  ascoltatore_lettura& a_;
  std::string nome_;

 private:
  template <typename T>
  T detto(T v) {
    a_.valore(v);
    return v;
  }
};

fine_fase leggi_descrizione_linea(contesto_lettura& ctx);
void leggi_descrizione_servizio(contesto_lettura& ctx);

}  // namespace sc
