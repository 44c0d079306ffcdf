#include "tools/lsp/analisi.h"

#include <algorithm>
#include <cstdio>

#include "compile/compila.h"
#include "diagnostics/osservatore_diagnostiche.h"
#include "model/disk.h"
#include "model/nomi_file.h"
#include "model/regole.h"
#include "model/testo.h"
#include "model/tipi_cella.h"
#include "parsing/lettore_campi.h"
#include "parsing/memo.h"
#include "tools/cli/descrizioni_utente.h"
#include "tools/cli/resa_diagnostiche.h"

namespace sc {

namespace {

// What stands in for a missing description: a line of the greatest length
// (no curves, so no plan is needed), or a service description with nothing.
std::string linea_sostituta() {
  return "[generale]\r\n" + std::string(formato(voce::lunghezza).chiave) + ", " + std::to_string(regole::lunghezza_massima) + "\r\n[fine]\r\n";
}
const std::string servizio_sostituto = "[generale]\r\n[fine]\r\n";

// check's watcher, also noting where each entry lies and what it placed.
class registro : public osservatore_diagnostiche {
 public:
  registro(ricevitore_diagnostiche& r, analisi& a) : osservatore_diagnostiche(r, a.m), a_(a) {}

  void apri(const std::string& nome, lettore_campi& r, parte_descrizione parte) override {
    osservatore_diagnostiche::apri(nome, r, parte);
    r_ = &r;
    parte_ = parte;
    corrente_.reset();
  }
  void chiudi() override {
    osservatore_diagnostiche::chiudi();
    r_ = nullptr;
    corrente_.reset();
  }
  void sezione(sezione_lettura s) override {
    osservatore_diagnostiche::sezione(s);
    if (r_) a_.sezioni.push_back({parte_, s, r_->inizio_campo(), r_->fine_campo()});
  }
  void chiave() override {
    osservatore_diagnostiche::chiave();
    chiave_ = {r_->inizio_campo(), r_->fine_campo()};
    corrente_.reset();
    const std::string_view t = r_->campo_grezzo();
    if (t.find('[') != std::string_view::npos && t.find(']') != std::string_view::npos)
      a_.intestazioni.push_back({parte_, chiave_.first, chiave_.second, std::string(t)});
  }
  void voce_iniziata(voce v) override {
    osservatore_diagnostiche::voce_iniziata(v);
    voce_documento d;
    d.parte = parte_;
    d.v = v;
    d.inizio = chiave_.first;
    d.fine = chiave_.second;
    a_.voci.push_back(std::move(d));
    corrente_ = a_.voci.size() - 1;
  }
  void valore(std::int64_t letto) override {
    osservatore_diagnostiche::valore(letto);
    if (corrente_) a_.voci[*corrente_].valori.push_back({r_->inizio_campo(), r_->fine_campo(), letto, false});
  }
  void valore_testo() override {
    osservatore_diagnostiche::valore_testo();
    if (corrente_) a_.voci[*corrente_].valori.push_back({r_->inizio_campo(), r_->fine_campo(), 0, true});
  }
  void rifiutata(const rifiuto& r) override {
    osservatore_diagnostiche::rifiutata(r);
    if (corrente_) a_.voci[*corrente_].cella_rifiutata = r.cella;
  }
  void cambio(voce v, std::int64_t cella, std::int64_t prima, std::int64_t dopo) override {
    osservatore_diagnostiche::cambio(v, cella, prima, dopo);
    if (corrente_) a_.voci[*corrente_].cella_effetto = cella;
  }
  void stazione(std::int32_t k, std::int32_t prossimo) override {
    osservatore_diagnostiche::stazione(k, prossimo);
    if (corrente_) a_.voci[*corrente_].elemento = k;
  }
  void ora(std::int64_t ore, std::int64_t minuti, std::int64_t secondi, bool orologio) override {
    osservatore_diagnostiche::ora(ore, minuti, secondi, orologio);
    if (corrente_) a_.voci[*corrente_].secondi = ore * 3600 + minuti * 60 + secondi;
  }
  void cella_occupata(std::int64_t cella, std::int64_t per_cella) override {
    osservatore_diagnostiche::cella_occupata(cella, per_cella);
    if (per_cella >= 0) {
      // A mark of the walk: it belongs to the entry of the object it serves.
      auto it = a_.occupanti.find(per_cella);
      if (it != a_.occupanti.end() && !it->second.empty()) a_.occupanti[cella].push_back(it->second.back());
      return;
    }
    if (!corrente_) return;
    a_.voci[*corrente_].celle.push_back(cella);
    a_.occupanti[cella].push_back(*corrente_);
  }

 private:
  analisi& a_;
  lettore_campi* r_ = nullptr;
  parte_descrizione parte_ = parte_descrizione::linea;
  std::pair<std::size_t, std::size_t> chiave_{0, 0};
  std::optional<std::size_t> corrente_;
};

modello nomi(const coppia_descrizioni& c) {
  modello m;
  m.nome_scenario = c.scenario;
  m.nome_treno = c.treno;
  return m;
}

// check's reading when it recovers, compile's otherwise; a stand-in line
// has no curves, so no plan.
richiesta_compilazione richiesta(const coppia_descrizioni& c, bool recupera) {
  richiesta_compilazione r;
  r.nome_scenario = c.scenario;
  r.nome_treno = c.treno;
  r.genera_linea = c.linea ? 1 : 0;
  r.recupera = recupera;
  return r;
}

}  // namespace

std::optional<std::int64_t> voce_documento::cella() const {
  if (cella_effetto) return cella_effetto;
  if (!celle.empty()) {
    if (valori.empty() || v == voce::stazione) return celle.front();
    const std::int64_t p = valori.front().valore;
    for (const tipo_cella_info& t : tabella_tipi_cella()) {
      if (t.da != v) continue;
      const std::int64_t c = t.dove == aggancio::punto ? cella_di(p) : t.dove == aggancio::riempimento ? cella_fill(p) : -1;
      if (std::find(celle.begin(), celle.end(), c) != celle.end()) return c;
      break;
    }
    return celle.front();
  }
  return cella_rifiutata;
}

const std::string& analisi::testo(parte_descrizione p) const {
  static const std::string vuoto;
  const auto& t = p == parte_descrizione::linea ? coppia.linea : coppia.servizio;
  return t ? *t : vuoto;
}

std::optional<parte_descrizione> analisi::parte_di(const std::string& file) const {
  if (file == nome_linea) return parte_descrizione::linea;
  if (file == nome_servizio) return parte_descrizione::servizio;
  return std::nullopt;
}

std::vector<const voce_documento*> analisi::voci_di(parte_descrizione p) const {
  std::vector<const voce_documento*> r;
  for (const voce_documento& v : voci)
    if (v.parte == p) r.push_back(&v);
  return r;
}

const voce_documento* analisi::voce_a(parte_descrizione p, std::size_t offset, int* campo) const {
  // Each part's entries are in reading order, which only moves forward.
  auto prima = std::find_if(voci.begin(), voci.end(), [&](const voce_documento& v) { return v.parte == p; });
  auto dopo = std::find_if(prima, voci.end(), [&](const voce_documento& v) { return v.parte != p; });
  auto it = std::upper_bound(prima, dopo, offset, [](std::size_t o, const voce_documento& v) { return o < v.inizio; });
  // Several entries may share one key field; the first one read answers.
  while (it != prima) {
    --it;
    if (it != prima && std::prev(it)->inizio == it->inizio) continue;
    if (offset >= it->inizio && offset <= it->fine) {
      if (campo) *campo = -1;
      return &*it;
    }
    for (std::size_t i = 0; i < it->valori.size(); ++i) {
      if (offset >= it->valori[i].inizio && offset <= it->valori[i].fine) {
        if (campo) *campo = int(i);
        return &*it;
      }
    }
    return nullptr;
  }
  return nullptr;
}

sezione_lettura analisi::sezione_a(parte_descrizione p, std::size_t offset) const {
  sezione_lettura s = sezione_lettura::preambolo;
  for (const confine_sezione& c : sezioni)
    if (c.parte == p && c.da <= offset) s = c.sezione;
  return s;
}

analisi analizza(coppia_descrizioni c) {
  analisi a;
  a.coppia = std::move(c);
  const modello n = nomi(a.coppia);
  a.nome_linea = nome_linea_txt(n);
  a.nome_servizio = nome_treno_txt(n);
  std::string linea = a.coppia.linea.value_or(linea_sostituta());
  std::string servizio = a.coppia.servizio.value_or(servizio_sostituto);

  // check's reading: the same encoding checks, then the compile in memory
  // reading on past each error, every default of the diagnostics.
  resa_diagnostiche resa({});
  resa.file(a.nome_linea, a.nome_linea, linea);
  resa.file(a.nome_servizio, a.nome_servizio, servizio);
  const bool ok_linea = codifica_descrizione(a.nome_linea, linea, false, resa);
  const bool ok_servizio = codifica_descrizione(a.nome_servizio, servizio, false, resa);
  if (ok_linea && ok_servizio) {
    MemoryDisk disk;
    a.m.nome_scenario = a.coppia.scenario;
    a.m.nome_treno = a.coppia.treno;
    disk.replace(a.nome_linea, linea);
    disk.replace(a.nome_servizio, servizio);
    registro r(resa, a);
    compila(richiesta(a.coppia, true), a.m, disk, &r);
  }
  // The plan is the bulk of the model and nothing here reads it.
  a.m.profilo = {};

  for (const diagnostica& d : resa.mostrate()) {
    if ((d.dove.file == a.nome_linea && !a.coppia.linea) || (d.dove.file == a.nome_servizio && !a.coppia.servizio)) continue;
    a.diagnostiche.push_back({d, resa.effettiva(d)});
  }
  if (!a.coppia.linea && a.coppia.servizio) {
    diagnostica d{diag::linea_mancante, {a.nome_servizio, 0, 0, 1, 1}, std::nullopt, {}, {}};
    a.diagnostiche.insert(a.diagnostiche.begin(), {d, gravita_di(d.id)});
  }
  return a;
}

uscita_compilata compila_coppia(const coppia_descrizioni& c) {
  modello m = nomi(c);
  MemoryDisk disk;
  disk.replace(nome_linea_txt(m), c.linea.value_or(linea_sostituta()));
  disk.replace(nome_treno_txt(m), c.servizio.value_or(servizio_sostituto));
  uscita_compilata u;
  u.mostrato = compila(richiesta(c, false), m, disk).codice_mostrato;
  u.codice = m.codice_errore;
  for (const auto& [nome, dati] : disk.files())
    if (nome != nome_linea_txt(m) && nome != nome_treno_txt(m)) u.file[nome] = dati;
  return u;
}

std::string chilometri(std::int64_t metri) {
  const std::int64_t assoluti = metri < 0 ? -metri : metri;
  char buf[48];
  std::snprintf(buf, sizeof buf, "km %s%lld.%03lld", metri < 0 ? "-" : "", static_cast<long long>(assoluti / 1000),
                static_cast<long long>(assoluti % 1000));
  return buf;
}

}  // namespace sc
