#include "diagnostics/osservatore_diagnostiche.h"

#include "diagnostics/codici.h"
#include "diagnostics/lint.h"
#include "diagnostics/tabella.h"
#include "parsing/guasto.h"
#include "parsing/lettore_campi.h"
#include "parsing/profilo_griglia.h"

namespace sc {

// ---------------------------------------------------------------- shared state

void stato_diagnostiche::emetti(diagnostica d) {
  // The same event at the same place is said once (recovery may meet a
  // value in force again at the next entry).
  std::string chiave = std::to_string(int(d.id)) + '|' + d.dove.file + '|' + std::to_string(d.dove.inizio);
  for (const argomento& a : d.arg) chiave += '|' + a.s + ':' + std::to_string(a.a);
  if (!gia_.insert(std::move(chiave)).second) return;
  if (gravita_di(d.id) == gravita::errore) ++errori;
  ricevitore.riporta(d);
}

diagnostica stato_diagnostiche::evento(diag id, luogo_testo dove, std::vector<argomento> arg) const {
  return diagnostica{id, std::move(dove), std::nullopt, std::move(arg), {}};
}

luogo_testo stato_diagnostiche::luogo_chiave() const { return src.luogo(corrente.chiave.inizio, corrente.chiave.fine); }

luogo_testo stato_diagnostiche::luogo_valore(std::size_t i) const {
  if (i < corrente.valori.size()) return src.luogo(corrente.valori[i].inizio, corrente.valori[i].fine);
  return src.ultimo_campo();
}

std::string stato_diagnostiche::testo_valore(std::size_t i) const {
  return i < corrente.valori.size() ? src.grezzo(corrente.valori[i].inizio, corrente.valori[i].fine) : "";
}

std::string stato_diagnostiche::testo_chiave() const { return src.grezzo(corrente.chiave.inizio, corrente.chiave.fine); }

std::string stato_diagnostiche::nome_stazione() const {
  const std::size_t nome = formato(voce::stazione).campi.size() - 1;
  if (corrente.valori.size() > nome) return testo_valore(nome);
  lettore_campi* r = src.lettore();
  if (!r) return "";
  // The name is the last field; look ahead for it without moving on.
  const auto stato = r->salva();
  std::string trovato;
  try {
    for (std::size_t i = corrente.valori.size(); i < nome && !r->fine(); ++i) r->leggi_testo();
    if (!r->fine()) trovato = r->leggi_testo();
  } catch (const guasto_lettura&) {
  }
  r->ripristina(stato);
  return trovato;
}

oggetto_citato stato_diagnostiche::entita() const {
  oggetto_citato o;
  o.v = corrente.v.value_or(voce::segnale);
  o.metri = corrente.valore(0);
  if (o.v == voce::stazione) o.nome = nome_stazione();
  if (o.v == voce::cartello) o.nome = testo_valore(1);
  return o;
}

const std::vector<voce>& stato_diagnostiche::chiavi_della_parte() const {
  if (src.parte() == parte_descrizione::servizio) return chiavi_servizio();
  return sezione == sezione_lettura::generale ? chiavi_generali() : chiavi_linea();
}

// ---------------------------------------------------------------- the watcher

osservatore_diagnostiche::osservatore_diagnostiche(ricevitore_diagnostiche& ricevitore, modello& m)
    : s_(ricevitore, m), lint_(std::make_unique<lint_diagnostiche>(s_)), codici_(std::make_unique<codici_diagnostiche>(s_, *lint_)) {}

osservatore_diagnostiche::~osservatore_diagnostiche() = default;

void osservatore_diagnostiche::apri(const std::string& nome, lettore_campi& r, parte_descrizione parte) {
  s_.src.apri(nome, r, parte);
  s_.sezione = sezione_lettura::preambolo;
  s_.corrente = {};
  lint_->apri();
}

void osservatore_diagnostiche::chiudi() {
  lint_->fine_voce();
  s_.src.chiudi();
}

void osservatore_diagnostiche::sezione(sezione_lettura s) {
  if (s == sezione_lettura::voci) lint_->fine_generale();
  s_.sezione = s;
}

void osservatore_diagnostiche::campo_preambolo() { lint_->campo_preambolo(); }
void osservatore_diagnostiche::campo_disabilitato() { lint_->campo_disabilitato(); }

void osservatore_diagnostiche::chiave() {
  lint_->fine_voce();
  const lettore_campi& r = *s_.src.lettore();
  s_.corrente = {};
  s_.corrente.chiave = {r.inizio_campo(), r.fine_campo()};
  s_.corrente.fine_precedente = r.fine_campo();
}

void osservatore_diagnostiche::chiave_senza_voce() { lint_->chiave_senza_voce(); }
void osservatore_diagnostiche::voce_iniziata(voce v) { lint_->voce_iniziata(v); }

void osservatore_diagnostiche::valore(std::int64_t letto) {
  const lettore_campi& r = *s_.src.lettore();
  voce_letta& c = s_.corrente;
  c.valori.push_back({r.inizio_campo(), r.fine_campo(), r.era_numero(), r.era_vuoto(), r.era_decimale(), r.scritto(), letto});
  // What later messages need of a few entries.
  if (c.v == voce::lunghezza) s_.luogo_lunghezza = s_.luogo_valore(0);
  if ((c.v == voce::progressiva_tre || c.v == voce::progressiva_due || c.v == voce::progressiva_uno) && c.valori.size() == 3)
    s_.progressive[*c.v] = {{s_.luogo_valore(0), s_.luogo_valore(1)}, {c.valore(0), c.valore(1), c.valore(2)}};
  lint_->valore();
}

void osservatore_diagnostiche::valore_testo() {
  const lettore_campi& r = *s_.src.lettore();
  s_.corrente.valori.push_back({r.inizio_campo(), r.fine_campo(), true, false, false, 0, 0});
  lint_->valore();
}

void osservatore_diagnostiche::codice(std::int32_t codice, std::optional<std::int32_t> posizione, causa_codice causa) {
  codici_->codice(codice, posizione, causa);
}
void osservatore_diagnostiche::rifiutata(const rifiuto& r) { codici_->rifiutata(r); }
void osservatore_diagnostiche::guasto(const guasto_lettura& g) { codici_->guasto(g); }
void osservatore_diagnostiche::cambio(voce v, std::int64_t cella, std::int64_t prima, std::int64_t dopo) { lint_->cambio(v, cella, prima, dopo); }
void osservatore_diagnostiche::curva(const chiave_curva& k, std::int64_t prima, std::int64_t dopo) { lint_->curva(k, prima, dopo); }
void osservatore_diagnostiche::posizione(std::int64_t metri, bool fine) { lint_->posizione(metri, fine); }
void osservatore_diagnostiche::valore_cambiato(std::size_t campo, std::int64_t diventa) { lint_->valore_cambiato(campo, diventa); }
void osservatore_diagnostiche::ridotto(formula f, std::int64_t esatto, std::int64_t memorizzato, int bit) {
  lint_->ridotto(f, esatto, memorizzato, bit);
}
void osservatore_diagnostiche::montagna(std::int32_t tipo, std::int64_t distanza) { lint_->montagna(tipo, distanza); }

void osservatore_diagnostiche::stazione(std::int32_t k, std::int32_t prossimo_testo) {
  s_.stazione_k = k;
  s_.prossimo_testo = prossimo_testo;
  s_.stazioni[k] = s_.luogo_chiave();
}

void osservatore_diagnostiche::tempo_segnale(std::int32_t letto) { lint_->tempo_segnale(letto); }
void osservatore_diagnostiche::rallentamento_senza_avviso(std::int32_t f_ta) { lint_->rallentamento_senza_avviso(f_ta); }
void osservatore_diagnostiche::cella_sostituita(std::int64_t cella) { lint_->cella_sostituita(cella); }
void osservatore_diagnostiche::ora(std::int64_t ore, std::int64_t minuti, std::int64_t secondi, bool orologio) {
  lint_->ora(ore, minuti, secondi, orologio);
}
void osservatore_diagnostiche::servizio_senza_generale() { codici_->servizio_senza_generale(); }
void osservatore_diagnostiche::progressive_non_multiple() { codici_->progressive_non_multiple(); }

// ---------------------------------------------------------------- the compile

void osservatore_diagnostiche::cella_occupata(std::int64_t cella, std::int64_t per_cella) {
  using p = oggetto_citato::parte;
  if (per_cella >= 0) {
    // A mark of the walk, for the object in the cell it serves.
    oggetto_citato per = s_.celle.oggetto(per_cella, s_.m);
    if (per.p != p::anonimo) per.p = p::marca;
    s_.celle.segna(cella, s_.celle.luogo(per_cella), per);
    return;
  }
  oggetto_citato o = s_.entita();
  const int tipo = s_.m.celle[std::size_t(cella)].tipo;
  if (o.v == voce::rallentamento)
    o.p = tipo == cella_fine_rallentamento ? p::fine : tipo == cella_avviso_rallentamento ? p::avviso : tipo == cella_sequenza_avviso ? p::sequenza : p::inizio;
  else if (o.v == voce::stazione)
    o.p = p::fermata;
  s_.celle.segna(cella, s_.luogo_chiave(), o);
}

void osservatore_diagnostiche::marca_sovrascritta(std::int64_t cella, std::uint8_t prima, std::uint8_t dopo) {
  lint_->marca_sovrascritta(cella, prima, dopo);
}
void osservatore_diagnostiche::problema(const problema_cammino& p) { codici_->problema(p); }
void osservatore_diagnostiche::fine_compilazione(std::int32_t codice) { codici_->fine_compilazione(codice); }

}  // namespace sc
