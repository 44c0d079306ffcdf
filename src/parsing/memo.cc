#include "parsing/memo.h"

#include <algorithm>
#include <array>
#include <limits>

#include "model/regole.h"
#include "model/codici.h"
#include "model/modello.h"
#include "parsing/guasto.h"

namespace sc {

namespace {

struct progressiva {
  std::int32_t primo = 0, secondo = 0, terzo = 0;
};

progressiva da_voce(const voce_servizio& v) { return {v.valore1, v.valore2, v.valore3}; }

void in_voce(voce_servizio& v, const progressiva& p) {
  v.valore1 = p.primo;
  v.valore2 = p.secondo;
  v.valore3 = p.terzo;
}

// Largest first value first; a tie for the top clears all three.
std::array<progressiva, 3> per_primo_valore(const progressiva& a, const progressiva& b,
                                            const progressiva& c) {
  if (a.primo > b.primo && a.primo > c.primo) return b.primo > c.primo ? std::array{a, b, c} : std::array{a, c, b};
  if (b.primo > a.primo && b.primo > c.primo) return a.primo > c.primo ? std::array{b, a, c} : std::array{b, c, a};
  if (c.primo > a.primo && c.primo > b.primo) return a.primo > b.primo ? std::array{c, a, b} : std::array{c, b, a};
  return {};
}

// With no first values, the entry with a positive second value leads; the
// last one tested wins.
std::array<progressiva, 3> per_secondo_valore(const progressiva& a, const progressiva& b,
                                              const progressiva& c) {
  std::array<progressiva, 3> r{};
  if (a.secondo > 0) r = {a, b, c};
  if (b.secondo > 0) r = {b, a, c};
  if (c.secondo > 0) r = {c, b, a};
  return r;
}

std::int16_t r16(double v) {
  double r = arrotonda(v);
  if (!(r >= -32768 && r <= 32767)) throw guasto_lettura(causa_guasto::indicatore_fuori_16, std::int64_t(r), -32768, 32767);
  return std::int16_t(r);
}

// The cell, refused with the code when something other than a mountain
// marker stands there.
esito_memo presa(const modello& m, std::int64_t i, std::int32_t codice) {
  const cella& c = m.celle[std::size_t(i)];
  if (libera(c)) return std::nullopt;
  return rifiuto{codice, i, c.tipo};
}

}  // namespace

void marca_approccio(modello& m, std::int64_t j, std::uint8_t valore) {
  std::uint8_t& v6 = m.celle[std::size_t(j)].val6;
  if (v6 != 0 && v6 != valore) m.osservatore->marca_sovrascritta(j, v6, valore);
  v6 = valore;
}

void progressive_ordina(modello& m) {
  auto& s = m.servizio;
  progressiva a = da_voce(s[voce_progressiva_tre]);
  progressiva b = da_voce(s[voce_progressiva_due]);
  progressiva c = da_voce(s[voce_progressiva_uno]);
  const std::int32_t somma = somma_32(somma_32(a.primo, b.primo), c.primo);
  auto r = somma != 0 ? per_primo_valore(a, b, c) : per_secondo_valore(a, b, c);
  for (int i = 0; i < 3; ++i) {
    voce_servizio& v = s[voce_progressiva_tre + i];
    in_voce(v, r[i]);
    if (v.valore3 == 1) v.valore2 = somma_32(v.valore2, regole::margine_elemento);
  }
}

std::int32_t memo_montagna(modello& m, std::int32_t inizio, std::int32_t fine, std::int32_t tipo) {
  bool segnata = false;
  if (tipo > regole::soglia_montagna_segnata) {
    tipo -= regole::soglia_montagna_segnata;
    segnata = true;
  }
  if (m.n_montagne >= regole::montagne_massime)
    throw guasto_lettura(causa_guasto::troppe_montagne, regole::montagne_massime);
  ++m.n_montagne;
  m.montagna_inizio[std::size_t(m.n_montagne)] = inizio;
  m.montagna_fine[std::size_t(m.n_montagne)] = fine;
  if (m.n_montagne > 1 && differenza_32(inizio, m.montagna_fine[std::size_t(m.n_montagne - 1)]) <= regole::distanza_montagna_vicina)
    tipo = regole::tipo_montagna_vicina;

  // The range is kept inside the track; the count of its cells still starts
  // at its first cell, so the markers fall where they would on a longer track.
  const std::int64_t primo = cella_fill(inizio);
  const std::int64_t ultimo = std::int64_t(arrotonda(double(fine) / regole::metri_cella - 1));
  const std::int64_t da = std::max<std::int64_t>(primo, 0);
  const std::int64_t a = std::min<std::int64_t>(ultimo, m.n_celle);
  for (std::int64_t i = da; i <= a; ++i) {
    cella& c = m.celle[std::size_t(i)];
    c.montagna = bassi8(tipo);
    if (segnata && (i - primo + 1) % regole::passo_marcatori_montagna == 0 && c.tipo == cella_vuota) c.tipo = cella_marcatore_montagna;
  }
  return tipo;
}

esito_memo memo_rallentamento(modello& m, rallentamento r) {
  const std::int64_t e = std::int64_t(r.x) + r.l;
  const std::int64_t w = std::int64_t(r.x) - regole::distanza_avviso;
  const bool con_avviso = r.x > regole::inizio_con_avviso;
  if (!con_avviso) r.f_ta = 0;
  const std::int64_t c_avviso = cella_di(w), c_inizio = cella_di(r.x), c_fine = cella_di(e);
  if (con_avviso) {
    cella_controllata(m, c_avviso);
    if (auto no = presa(m, c_avviso, codice::avviso_occupato)) return no;
  }
  cella& inizio = cella_controllata(m, c_inizio);
  if (auto no = presa(m, c_inizio, codice::inizio_occupato)) return no;
  cella& fine = cella_controllata(m, c_fine);
  if (auto no = presa(m, c_fine, codice::fine_occupata)) return no;
  // The end is written first, so a restriction inside one cell leaves a start.
  fine.tipo = cella_fine_rallentamento;
  if (r.d_v != 0) fine.val2 = bassi16(r.d_v);
  segna_occupata(m, c_fine);
  inizio.tipo = cella_inizio_rallentamento;
  if (r.d_v != 0) inizio.val2 = bassi16(r.d_v);
  segna_occupata(m, c_inizio);
  if (con_avviso) {
    cella& avviso = m.celle[std::size_t(c_avviso)];
    avviso.tipo = cella_avviso_rallentamento;
    if (r.d_v != 0) avviso.val2 = bassi16(r.d_v);
    avviso.val1 = bassi16(r.v);
    segna_occupata(m, c_avviso);
  }
  for (cella* c : {&inizio, &fine}) {
    c->val1 = bassi16(r.v);
    c->val3 = bassi16(r.f_tt);
  }
  if (r.f_ta == 0) return std::nullopt;
  const std::int64_t prima = cella_fill(w);
  for (int i = 0; i < regole::celle_sequenza; ++i) {
    cella_controllata(m, prima - i);
    if (auto no = presa(m, prima - i, codice::sequenza_occupata)) return no;
  }
  for (int i = 0; i < regole::celle_sequenza; ++i) {
    cella& c = m.celle[std::size_t(prima - i)];
    c.tipo = cella_sequenza_avviso;
    c.val1 = std::int16_t(i + 1);
    if (r.d_v != 0) c.val2 = std::int16_t(i + 1);
    segna_occupata(m, prima - i);
  }
  return std::nullopt;
}

esito_memo memo_segnale(modello& m, segnale s) {
  const std::int64_t k = cella_di(s.posizione);
  cella& c = cella_controllata(m, k);
  if (auto no = presa(m, k, codice::segnale_occupato)) return no;
  c.tipo = cella_segnale;
  segna_occupata(m, k);
  c.val4 = bassi16(std::int64_t(s.rapp) * 10 + std::int64_t(s.sx) * 3 + s.dx);
  c.val1 = bassi16(std::int64_t(s.s1) * 10 + s.d1);
  c.val2 = bassi16(std::int64_t(s.s2) * 10 + s.d2);
  c.val3 = bassi16(std::int64_t(s.s3) * 10 + s.d3);
  if (s.tempo >= 1 && s.tempo <= regole::tempo_minimo_sotto) s.tempo = regole::tempo_minimo;
  c.val5 = s.sx == regole::sx_con_tempo ? bassi8(s.tempo) : 0;
  // Approach cells before the start of the track are skipped.
  for (int b = 1; b <= regole::marche_segnale; ++b) {
    const std::int64_t j = k - regole::passo_marche_segnale * b;
    if (j >= 0) marca_approccio(m, j, bassi8((std::int64_t(s.sx) * 3 + s.dx) * 10 + b));
  }
  return std::nullopt;
}

esito_memo memo_indicatori_v_max(modello& m, indicatori t) {
  const std::int64_t k = cella_di(t.posizione);
  cella& c = cella_controllata(m, k);
  if (auto no = presa(m, k, codice::indicatore_occupato)) return no;
  c.tipo = cella_indicatore_vmax;
  segna_occupata(m, k);
  const double passo = regole::passo_velocita, fattore = regole::fattore_tabella;
  c.val1 = r16(double(t.vad) / passo + double(t.vas) * fattore);
  c.val2 = r16(double(t.vbd) / passo + double(t.vbs) * fattore);
  c.val3 = r16(double(t.vcd) / passo + double(t.vcs) * fattore);
  c.val4 = bassi16(std::int64_t(t.strisces) * 10 + t.strisced);
  return std::nullopt;
}

}  // namespace sc
