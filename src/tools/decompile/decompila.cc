#include "tools/decompile/decompila.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <memory>
#include <optional>

#include "compile/decodifica.h"
#include "compile/compila.h"
#include "compile/uscita_binaria.h"
#include "model/arrotonda.h"
#include "model/codici.h"
#include "model/disk.h"
#include "model/nomi_file.h"
#include "model/regole.h"
#include "diagnostics/osservatore_diagnostiche.h"
#include "tools/decompile/decompila_parti.h"
#include "tools/cli/resa_diagnostiche.h"

namespace sc {

namespace inverso {

std::string numero(std::int64_t v) { return std::to_string(v); }

std::string campo_testo(const std::string& t, bool* esatto) {
  auto bianco = [](char c) { return c == ' ' || c == '\t'; };
  const bool nudo = !t.empty() && !bianco(t.front()) && !bianco(t.back()) && t.front() != '"' && t.find_first_of(",\r\n") == std::string::npos;
  if (esatto) *esatto = nudo || t.find('"') == std::string::npos;
  return nudo ? t : "\"" + t + "\"";
}

std::string testo(const std::vector<sezione>& sezioni, bool senza_fine) {
  std::string r;
  for (const sezione& s : sezioni) {
    if (!s.titolo.empty()) r += s.titolo + "\r\n";
    for (const riga& x : s.righe) {
      r += x.chiave;
      for (const std::string& v : x.valori) r += ", " + v;
      r += "\r\n";
    }
  }
  return senza_fine ? r : r + "[fine]\r\n";
}

vista::vista(std::vector<cella> c, const std::vector<voce_servizio>& s, const std::vector<valore_profilo>& g)
    : celle(std::move(c)), servizio(s), geometria(g), n_celle(std::int32_t(celle.size()) - 1) {
  // The compile stamps these after reading; the readers left them 0.
  if (celle.size() > 1) celle[1].val1 = celle[1].val2 = 0;
}

}  // namespace inverso

namespace {

using namespace inverso;

// The line length: the one stored in the train data when the cells and the
// plan agree with it, else the one they give.
std::int32_t lunghezza_linea(const scenario_compilato& s, std::int64_t n) {
  auto celle_di_linea = [](std::int64_t l) { return std::int64_t(celle_di(std::int32_t(l + regole::coda_linea))); };
  auto piano_di = [&](std::int64_t l) { return s.geometria.empty() || std::int64_t(s.geometria.size() / 2) - 1 == l + regole::coda_linea; };
  std::vector<std::int64_t> candidate = {s.servizio[voce_treno].valore2};
  if (!s.geometria.empty()) candidate.push_back(std::int64_t(s.geometria.size() / 2) - 1 - regole::coda_linea);
  candidate.push_back(metro_cella(n) - regole::coda_linea);
  for (bool anche_piano : {true, false})
    for (std::int64_t l : candidate)
      if (l >= -regole::coda_linea && l <= regole::lunghezza_massima && celle_di_linea(l) == n && (!anche_piano || piano_di(l))) return std::int32_t(l);
  return s.servizio[voce_treno].valore2;
}

std::string descrizione_linea(const vista& v, std::int32_t lunghezza, bool con_piano) {
  std::vector<sezione> s;
  s.push_back({"[generale]", voci_generali(v, lunghezza)});
  // Nothing after the general section is read.
  if (v.fine.fase == fase_arresto::generale) return testo(s);
  bool oltre = false;
  sezione curve{"[curve]", con_piano ? voci_curve(v.geometria, v.n_celle, v.fine.fase != fase_arresto::voci_linea, &oltre) : std::vector<riga>{}};
  // A curve that stops the reading comes last.
  if (!oltre) s.push_back(std::move(curve));
  s.push_back({"[pendenze]", voci_pendenze(v)});
  s.push_back({"[montagne]", voci_montagne(v)});
  s.push_back({"[cartelli]", voci_indicatori(v)});
  s.push_back({"[indicazioni]", voci_cartelli(v)});
  if (oltre) s.push_back(std::move(curve));
  else if (v.fine.fase == fase_arresto::voci_linea) s.back().righe.push_back(voce_guasto(fase_arresto::voci_linea));
  return testo(s);
}

std::string descrizione_servizio(const vista& v) {
  std::vector<sezione> s;
  s.push_back({"[generale]", voci_treno(v)});
  s.push_back({"[aderenze]", voci_aderenza(v)});
  s.push_back({"[vel_limite]", voci_velocita(v)});
  // The usual layout: stations, restrictions and marks, signals, each
  // section there even when empty; where the order of the objects matters
  // their sections alternate. An entry that stops the reading is the last.
  std::vector<sezione> gruppi = sezioni_oggetti(v);
  auto ha = [&](const char* titolo) { return std::any_of(gruppi.begin(), gruppi.end(), [&](const sezione& g) { return g.titolo == titolo; }); };
  // After an entry that stops the reading nothing follows: missing
  // sections go before it.
  const bool fermo = v.fine.fase == fase_arresto::servizio;
  const bool ha_rallentamenti = ha("[rallentamenti]"), ha_segnali = ha("[segnali]");
  if (!ha("[stazioni]")) gruppi.insert(gruppi.begin(), {"[stazioni]", {}});
  if (!ha_rallentamenti) {
    auto dove = fermo ? gruppi.begin() : !gruppi.empty() && gruppi.back().titolo == "[segnali]" ? gruppi.end() - 1 : gruppi.end();
    gruppi.insert(dove, {"[rallentamenti]", {}});
  }
  if (!ha_segnali) gruppi.insert(fermo ? gruppi.begin() : gruppi.end(), {"[segnali]", {}});
  for (sezione& g : gruppi) s.push_back(std::move(g));
  if (v.fine.fine_file) return testo(s, true);
  s.push_back({"[codici]", {}});
  return testo(s);
}

// A directory in memory for the check: the geometry is compared point by
// point from the model, so its bytes are not kept.
class disco_verifica : public MemoryDisk {
 public:
  explicit disco_verifica(std::string scartato) : scartato_(std::move(scartato)) {}
  std::unique_ptr<Output> replace_stream(const std::string& name) override {
    if (name != scartato_) return MemoryDisk::replace_stream(name);
    struct scarto : Output {
      void write(std::string_view) override {}
      void close() override {}
      void commit() override {}
    };
    return std::make_unique<scarto>();
  }

 private:
  std::string scartato_;
};

// The grid of the compile against the stored points. The geometry file
// holds the points one after the other, tag and value, and nothing else, so
// equal points are equal bytes.
bool piano_uguale(const profilo_linea& p, const std::vector<valore_profilo>& g) {
  if (!p.creato()) return g.empty();
  const std::size_t metri = std::size_t(p.ultimo_metro()) + 1;
  if (g.size() != 2 * metri) return false;
  const std::size_t interi = std::size_t(p.interi()), calcolati = std::size_t(p.calcolati());
  for (int asse = 0; asse < 2; ++asse) {
    const valore_profilo* punto = g.data() + (asse == 0 ? 0 : metri);
    for (std::size_t m = 0; m < metri; ++m) {
      const auto tag = m < interi ? valore_profilo::intero : m < calcolati ? valore_profilo::reale : valore_profilo::vuoto;
      if (punto[m].tag != tag) return false;
      if (tag == valore_profilo::vuoto) continue;
      const double v = asse == 0 ? p.x(std::int32_t(m)) : p.y(std::int32_t(m));
      if (std::bit_cast<std::uint64_t>(v) != std::bit_cast<std::uint64_t>(punto[m].valore)) return false;
    }
  }
  return true;
}

std::vector<valore_profilo> punti(const profilo_linea& p) {
  std::vector<valore_profilo> r;
  if (!p.creato()) return r;
  for (int asse = 0; asse < 2; ++asse)
    for (std::int32_t m = 0; m <= p.ultimo_metro(); ++m) r.push_back(p(m, asse));
  return r;
}

modello modello_di(const scenario_compilato& s) {
  modello m;
  m.celle = s.celle;
  for (std::size_t i = 0; i < m.servizio.size() && i < s.servizio.size(); ++i) m.servizio[i] = s.servizio[i];
  return m;
}

}  // namespace

decompilazione decompila(const scenario_compilato& s) {
  // No line reaches past the cells of the longest one: the rest cannot come back.
  const std::int64_t piu_celle = celle_di(regole::lunghezza_massima + regole::coda_linea);
  std::vector<cella> celle(s.celle.begin(), s.celle.begin() + std::ptrdiff_t(std::min<std::int64_t>(std::int64_t(s.celle.size()), piu_celle + 1)));
  vista v(std::move(celle), s.servizio, s.geometria);
  const std::int32_t lunghezza = lunghezza_linea(s, v.n_celle);
  analizza(v, lunghezza);
  decompilazione d;
  d.con_piano = !s.geometria.empty();
  d.linea = descrizione_linea(v, lunghezza, d.con_piano);
  d.servizio = descrizione_servizio(v);
  if (v.fine.fase != fase_arresto::nessuna) {
    d.fermata = true;
    d.codice = v.fine.codice;
    d.codice_certo = v.fine.certo;
    d.codici_possibili = v.fine.possibili;
    d.dove_fermata = v.fine.fase == fase_arresto::generale     ? "the general section of the line description"
                     : v.fine.fase == fase_arresto::voci_linea ? "the line items of the line description"
                                                               : "the service description";
  }
  // Reading to the end, the compile checks the kilometre references.
  if (d.codice == 0 || v.fine.chiusura)
    for (int r = voce_progressiva_tre; r <= voce_progressiva_uno; ++r)
      if (s.servizio[std::size_t(r)].valore1 % regole::multiplo_posizione != 0 || s.servizio[std::size_t(r)].valore2 % regole::multiplo_posizione != 0)
        d.codice = codice::progressiva_non_multipla, d.codice_certo = true;
  d.con_problemi = d.codice != 0 || v.marche.problema;
  return d;
}

verifica verifica_decompilazione(const scenario_compilato& s, const decompilazione& d, ricevitore_diagnostiche* diagnostiche) {
  verifica r;
  modello m;
  m.nome_scenario = s.scenario;
  m.nome_treno = s.treno;
  disco_verifica disco(nome_linea_dat(m));
  disco.replace(nome_linea_txt(m), d.linea);
  disco.replace(nome_treno_txt(m), d.servizio);
  std::optional<osservatore_diagnostiche> diag;
  if (diagnostiche) diag.emplace(*diagnostiche, m);
  r.codice_mostrato = compila({s.scenario, s.treno, d.con_piano ? 1 : 0}, m, disco, diag ? &*diag : nullptr).codice_mostrato;
  if (r.codice_mostrato != 0) return r;
  r.codice_errore = m.codice_errore;
  r.posizione_errore = m.posizione_errore;
  r.stesso_esito = (m.codice_errore != 0) == d.con_problemi;
  const auto sim = disco.read(nome_servizio_sim(m));
  const auto dat = disco.read(nome_celle_dat(m));
  if (!sim || !dat) {
    r.scritto = false;
    return r;
  }
  const modello originale = modello_di(s);
  if (*sim != contenuto_servizio_sim(originale))
    r.differenze = differenze_servizio(s.servizio, decodifica_servizio(*sim).value_or(std::vector<voce_servizio>{}));
  if (*dat != contenuto_celle_dat(originale)) {
    const std::vector<voce_servizio> servizio(m.servizio.begin(), m.servizio.end());
    for (auto& x : differenze_celle(s.celle, decodifica_celle(*dat).value_or(std::vector<cella>{}), &s.servizio, &servizio))
      r.differenze.push_back(std::move(x));
  }
  if (!piano_uguale(m.profilo, s.geometria))
    for (auto& x : differenze_piano(s.geometria, punti(m.profilo))) r.differenze.push_back(std::move(x));
  return r;
}

diagnostica diagnostica_di(const scenario_compilato& s, const differenza& d) {
  std::string file, dove;
  std::optional<std::int32_t> metri;
  switch (d.dove) {
    case differenza::parte::servizio:
      file = s.nome_base + ".sim";
      dove = "record " + std::to_string(d.primo) + " (" + d.oggetto + ")";
      break;
    case differenza::parte::celle:
      file = s.nome_base + ".dat";
      dove = (d.primo == d.ultimo ? "cell " + std::to_string(d.primo) : "cells " + std::to_string(d.primo) + "-" + std::to_string(d.ultimo)) +
             " (metres " + std::to_string(metro_cella(d.primo)) + "-" + std::to_string(metro_cella(d.ultimo + 1) - 1) + ")";
      metri = std::int32_t(metro_cella(d.primo));
      break;
    case differenza::parte::oggetti:  // the check compares files, not objects; kept for completeness
      file = s.nome_base + ".dat";
      dove = d.oggetto;
      metri = std::int32_t(d.primo);
      break;
    case differenza::parte::piano:
      file = s.scenario + "_linea.dat";
      dove = "metres " + std::to_string(d.primo) + "-" + std::to_string(d.ultimo);
      metri = std::int32_t(d.primo);
      break;
  }
  const std::string testo = d.dove == differenza::parte::piano && d.testo.empty() ? "the plan of the line" : d.testo;
  diagnostica r;
  r.id = diag::non_riprodotto;
  r.dove.file = file;
  r.metri = metri;
  r.arg = {dove, testo};
  return r;
}

std::string riga_diagnostica(const scenario_compilato& s, const differenza& d) {
  const diagnostica x = diagnostica_di(s, d);
  return x.dove.file + ": " + messaggio(x);
}

}  // namespace sc
