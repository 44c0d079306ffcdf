#include "tools/readback/oggetti_linea.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "model/regole.h"
#include "model/testo.h"

namespace sc {

namespace {

constexpr int marcatore_celle = 5121, marcatore_servizio = 610;

// Division that rounds towards minus infinity, for values that may wrap negative.
int div_giu(int a, int b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

std::string testo(int v) { return std::to_string(v); }
std::string kmh(int v) { return std::to_string(v) + " km/h"; }
std::string metri(int m) { return std::to_string(m) + " m"; }

const voce_servizio* record(const std::vector<voce_servizio>& s, int k) {
  return k >= 0 && std::size_t(k) < s.size() ? &s[std::size_t(k)] : nullptr;
}

// A speed board's value: km/h times a factor plus a second speed in steps.
std::pair<int, int> velocita_tabella(int v) {
  const int alta = div_giu(v, regole::fattore_tabella);
  return {alta, (v - alta * regole::fattore_tabella) * regole::passo_velocita};
}

void segnale(oggetto_linea& o, const cella& c) {
  const int resto = ((c.val4 % 10) + 10) % 10;
  const int rapp = div_giu(c.val4, 10), sx = resto / 3, dx = resto % 3;
  auto aspetti = [](int a, int b, int d) {
    return std::to_string(div_giu(a, 10)) + "/" + std::to_string(div_giu(b, 10)) + "/" + std::to_string(div_giu(d, 10));
  };
  auto aspetti_dx = [](int a, int b, int d) {
    auto u = [](int v) { return std::to_string(v - div_giu(v, 10) * 10); };
    return u(a) + "/" + u(b) + "/" + u(d);
  };
  const std::string sinistra = aspetti(c.val1, c.val2, c.val3), destra = aspetti_dx(c.val1, c.val2, c.val3);
  o.valori = {{"left signal sx", testo(sx)}, {"left aspects s1/s2/s3", sinistra}, {"right signal dx", testo(dx)},
              {"right aspects d1/d2/d3", destra}, {"rapp", testo(rapp)}};
  if (sx == 2 || c.val5 != 0) o.valori.push_back({"time tempo", testo(c.val5)});
  o.etichetta = sinistra;
  if (dx != 0) o.etichetta += " | " + destra;
  if (sx == 2 || c.val5 != 0) o.etichetta += " t" + testo(c.val5);
}

void tabella_velocita(oggetto_linea& o, const cella& c) {
  const auto a = velocita_tabella(c.val1), b = velocita_tabella(c.val2), d = velocita_tabella(c.val3);
  auto coppia = [](std::pair<int, int> v) { return v.second ? kmh(v.first) + ", second " + kmh(v.second) : kmh(v.first); };
  o.valori = {{"speed a vas/vad", coppia(a)}, {"speed b vbs/vbd", coppia(b)}, {"speed c vcs/vcd", coppia(d)},
              {"stripes strisces/strisced", testo(div_giu(c.val4, 10)) + "/" + testo(c.val4 - div_giu(c.val4, 10) * 10)}};
  o.etichetta = a == b && b == d ? kmh(a.first) : testo(a.first) + "/" + testo(b.first) + "/" + kmh(d.first);
}

void rallentamento(oggetto_linea& o, const cella& c, const char* cosa) {
  o.valori = {{"speed v", kmh(c.val1)}};
  if (c.val2 != 0) o.valori.push_back({"second speed d_v", testo(c.val2)});
  if (c.tipo != cella_avviso_rallentamento) o.valori.push_back({"f_tt", testo(c.val3)});
  o.etichetta = std::string(cosa) + kmh(c.val1);
}

}  // namespace

std::string ore_minuti_secondi(int secondi) {
  const bool negativo = secondi < 0;
  long long s = negativo ? -(long long)secondi : secondi;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%s%02lld:%02lld:%02lld", negativo ? "-" : "", s / 3600, s / 60 % 60, s % 60);
  return buf;
}

std::int64_t nomi_dati::nominata(std::size_t i, const cella& c) {
  if ((c.tipo != cella_stazione && c.tipo != cella_cartello) || c.val1 < 0 || c.val1 >= voci_servizio) return -1;
  if (prima_.empty()) prima_.assign(std::size_t(voci_servizio), -1);
  std::int64_t& prima = prima_[std::size_t(c.val1)];
  if (prima >= 0) return prima;
  prima = std::int64_t(i);
  return -1;
}

oggetto_linea leggi_cella(std::size_t i, const cella& c, const std::vector<voce_servizio>& servizio, std::int64_t nominata) {
  oggetto_linea o;
  o.cella = i;
  o.tipo = c.tipo;
  const tipo_cella_info* info = info_tipo(c.tipo);
  const aggancio dove = info ? info->dove : aggancio::riempimento;
  const metri_mappati mm = mappati_in(std::int64_t(i), dove);
  o.mappati = {mm.da, mm.a};
  o.metri = posizione_di(std::int64_t(i), dove);
  switch (c.tipo) {
    case cella_vuota: break;
    case cella_segnale: segnale(o, c); break;
    case cella_indicatore_vmax: tabella_velocita(o, c); break;
    case cella_inizio_rallentamento: rallentamento(o, c, ""); break;
    case cella_fine_rallentamento: rallentamento(o, c, "end "); break;
    case cella_avviso_rallentamento: rallentamento(o, c, "warn "); break;
    case cella_sequenza_avviso:
      o.valori = {{"step before the warning board", testo(c.val1) + " of 4"}};
      if (c.val2 != 0) o.valori.push_back({"second step", testo(c.val2)});
      o.etichetta = testo(c.val1);
      break;
    case cella_stazione: {
      const voce_servizio* v = record(servizio, c.val1);
      o.voce = c.val1;
      o.valori = {{"station element", testo(c.val1)}};
      if (v) {
        o.metri = v->valore3;
        o.mappati = {v->valore1, v->valore2};
        o.etichetta = nominata >= 0 ? "of station " + testo(c.val1) : cp1252_a_utf8(v->nome);
        o.valori.push_back({"name", nominata >= 0 ? "as at cell " + std::to_string(nominata) : o.etichetta});
        o.valori.push_back({"station kind", testo(v->tipo_voce)});
        o.valori.push_back({"position", metri(v->valore3)});
        o.valori.push_back({"area", testo(v->valore1) + " to " + metri(v->valore2)});
        o.valori.push_back({"time", ore_minuti_secondi(v->codice)});
      }
      break;
    }
    case cella_marcatore_montagna:
      o.valori = {{"mountain type", testo(c.montagna)}};
      o.etichetta = "";
      break;
    case cella_abbattimento:
      o.valori = {{"value", testo(c.val1)}};
      o.etichetta = testo(c.val1);
      break;
    case cella_abbattimento_nullo:
      o.valori = {{"value", "0 or less"}};
      o.etichetta = "0";
      break;
    case cella_cartello: {
      const voce_servizio* v = record(servizio, c.val1);
      o.voce = c.val1;
      if (nominata >= 0) {
        o.etichetta = "text " + testo(c.val1);
        o.valori = {{"text", "as at cell " + std::to_string(nominata)}, {"text element", testo(c.val1)}};
      } else {
        o.etichetta = v ? cp1252_a_utf8(v->nome) : "";
        o.valori = {{"text", o.etichetta}, {"text element", testo(c.val1)}};
      }
      break;
    }
    default:
      o.valori = {{"val1", testo(c.val1)}, {"val2", testo(c.val2)}, {"val3", testo(c.val3)}, {"val4", testo(c.val4)}};
      o.etichetta = "kind " + testo(c.tipo);
  }
  return o;
}

namespace {

// Runs of equal values over the cells, in metres.
template <class F>
std::vector<tratto> tratti(const std::vector<cella>& celle, F valore) {
  std::vector<tratto> r;
  for (std::size_t i = 0; i < celle.size(); ++i) {
    const int v = valore(celle[i]);
    if (!r.empty() && r.back().valore == v) r.back().a = int(metro_cella(std::int64_t(i) + 1));
    else r.push_back({int(metro_cella(std::int64_t(i))), int(metro_cella(std::int64_t(i) + 1)), v});
  }
  return r;
}

std::vector<stazione_letta> stazioni(const std::vector<cella>& celle, const std::vector<voce_servizio>& servizio) {
  std::set<int> testi;
  for (const cella& c : celle)
    if (c.tipo == cella_cartello) testi.insert(c.val1);
  std::vector<stazione_letta> r;
  // The last stop cell of each station, in one pass.
  std::vector<int> fermata(std::size_t(voci_servizio), -1);
  for (std::size_t i = 0; i < celle.size(); ++i)
    if (celle[i].tipo == cella_stazione && celle[i].val1 >= 0 && celle[i].val1 < voci_servizio) fermata[std::size_t(celle[i].val1)] = int(i);
  for (int k = 1; k <= prima_voce_cartelli && std::size_t(k) < servizio.size(); ++k) {
    const voce_servizio& v = servizio[std::size_t(k)];
    if (v == voce_servizio{} || testi.count(k)) break;
    r.push_back({k, cp1252_a_utf8(v.nome), v.tipo_voce, v.valore3, v.valore1, v.valore2, v.codice, fermata[std::size_t(k)]});
  }
  return r;
}

void rallentamenti(linea_letta& l, const std::vector<cella>& celle) {
  // The next end from each cell on, from the last cell back.
  std::vector<std::size_t> prossima_fine(celle.size() + 1, celle.size());
  for (std::size_t i = celle.size(); i-- > 0;) prossima_fine[i] = celle[i].tipo == cella_fine_rallentamento ? i : prossima_fine[i + 1];
  for (std::size_t s = 0; s < celle.size(); ++s) {
    if (celle[s].tipo != cella_inizio_rallentamento) continue;
    std::size_t e = prossima_fine[s + 1];
    if (e == celle.size()) e = s;  // start and end in one cell, or no end
    rallentamento_letto r;
    r.cella_inizio = s;
    r.cella_fine = e;
    r.inizio = posizione_di(std::int64_t(s), aggancio::punto);
    r.fine = posizione_di(std::int64_t(e), aggancio::punto);
    r.velocita = celle[s].val1;
    r.d_v = celle[s].val2;
    r.f_tt = celle[s].val3;
    // The warning board stands a whole number of cells before the start.
    const std::size_t davanti = std::size_t(regole::distanza_avviso / regole::metri_cella);
    if (s >= davanti && celle[s - davanti].tipo == cella_avviso_rallentamento) r.avviso = r.inizio - regole::distanza_avviso;
    l.rallentamenti.push_back(r);
  }
  // The start's listing says where the restriction ends and where it is
  // announced. Objects and restrictions are both in the order of their cells.
  auto o = l.oggetti.begin();
  for (const rallentamento_letto& r : l.rallentamenti) {
    while (o != l.oggetti.end() && o->cella < r.cella_inizio) ++o;
    if (o == l.oggetti.end() || o->cella != r.cella_inizio) continue;
    o->valori.push_back({"ends at", metri(r.fine) + " (" + metri(r.fine - r.inizio) + " long)"});
    o->valori.push_back({"warning board", r.avviso >= 0 ? metri(r.avviso) : "none"});
  }
}

std::vector<montagna_letta> montagne(const std::vector<cella>& celle) {
  std::vector<montagna_letta> r;
  for (std::size_t i = 0; i < celle.size(); ++i) {
    const cella& c = celle[i];
    if (c.montagna == 0) continue;
    const int da = int(metro_cella(std::int64_t(i))), a = int(metro_cella(std::int64_t(i) + 1));
    if (!r.empty() && r.back().a == da && r.back().tipo == c.montagna) r.back().a = a;
    else r.push_back({da, a, c.montagna, false});
    if (c.tipo == cella_marcatore_montagna) r.back().segnalata = true;
  }
  return r;
}

}  // namespace

linea_letta leggi_linea(const std::vector<cella>& celle, const std::vector<voce_servizio>& servizio) {
  linea_letta l;
  const voce_servizio vuota;
  auto el = [&](int k) -> const voce_servizio& { return std::size_t(k) < servizio.size() ? servizio[std::size_t(k)] : vuota; };
  l.metri_celle = int(metro_cella(std::int64_t(celle.size())));
  l.lunghezza = std::clamp(el(voce_treno).valore2, 0, l.metri_celle);
  nomi_dati nomi;
  for (std::size_t i = 0; i < celle.size(); ++i)
    if (celle[i].tipo != cella_vuota) l.oggetti.push_back(leggi_cella(i, celle[i], servizio, nomi.nominata(i, celle[i])));
  l.pendenze = tratti(celle, [](const cella& c) { return int(c.val8) - regole::pendenza_piana; });
  l.velocita = tratti(celle, [](const cella& c) { return int(c.val7) * regole::passo_velocita; });
  l.aderenza = tratti(celle, [](const cella& c) { return int(c.val9); });
  l.montagne = montagne(celle);
  l.stazioni = stazioni(celle, servizio);
  rallentamenti(l, celle);
  const voce_servizio &treno = el(voce_treno), &corsa = el(voce_corsa);
  l.orologio = corsa.intero3 * 3600 + corsa.intero4 * 60 + corsa.intero5;
  l.dati_generali = {{"line length", metri(treno.valore2)},
                     {"cars", testo(treno.valore3)},
                     {"braked weight", testo(treno.valore1) + " %"},
                     {"sand", testo(corsa.intero1)},
                     {"clock at the start", ore_minuti_secondi(l.orologio)},
                     {"signal repetition", corsa.valore3 == 0 ? "none" : testo(corsa.valore3) + " codes, " + metri(corsa.valore1) + " and " + metri(corsa.valore2)}};
  return l;
}

std::optional<std::string> motivo_non_celle(const std::vector<cella>& celle) {
  if (celle.size() < 2) return "it holds " + std::to_string(celle.size()) + " cell, too few for a track";
  if (celle[1].val1 != marcatore_celle)
    return "cell 1 does not carry the format marker 5121 (it holds " + std::to_string(celle[1].val1) + ")";
  for (std::size_t i = 0; i < celle.size(); ++i)
    if (celle[i].tipo != cella_vuota && !info_tipo(celle[i].tipo))
      return "cell " + std::to_string(i) + " holds kind " + std::to_string(celle[i].tipo) + ", which no compiled track holds";
  return std::nullopt;
}

std::optional<std::string> motivo_non_servizio(const std::vector<voce_servizio>& servizio) {
  if (servizio.size() != std::size_t(voci_servizio)) return "it does not hold 87 records";
  if (servizio[voce_scenario].intero1 != marcatore_servizio)
    return "record 85 does not carry the format marker 610 (it holds " + std::to_string(servizio[voce_scenario].intero1) + ")";
  return std::nullopt;
}

std::optional<std::string> motivo_non_geometria(const std::vector<valore_profilo>& punti) {
  const std::size_t n = punti.size() / 2;
  if (punti.size() % 2 != 0 || n < 2) return "it does not hold two coordinates for at least two metres";
  // Seeded grids start with the integers (0, 0) and (0, 1), then doubles up to
  // where the computation stopped, then nothing.
  const bool vuota = std::all_of(punti.begin(), punti.end(), [](const valore_profilo& v) { return v.tag == valore_profilo::vuoto; });
  if (vuota) return std::nullopt;
  const valore_profilo zero = valore_profilo::da_intero(0), uno = valore_profilo::da_intero(1);
  if (!(punti[0] == zero && punti[1] == zero && punti[n] == zero && punti[n + 1] == uno))
    return "its first two metres are not the points (0, 0) and (0, 1) every plan starts with";
  for (std::size_t asse = 0; asse < 2; ++asse) {
    bool finito = false;
    for (std::size_t m = 2; m < n; ++m) {
      const valore_profilo::tag_t t = punti[asse * n + m].tag;
      if (t == valore_profilo::vuoto) finito = true;
      else if (t != valore_profilo::reale || finito)
        return "metre " + std::to_string(m) + " holds a value where a plan has " + (finito ? "none" : "a computed point");
    }
  }
  return std::nullopt;
}

}  // namespace sc
