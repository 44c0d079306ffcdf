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
  if (!(r >= -32768 && r <= 32767)) throw guasto_lettura(causa_guasto::indicatore_fuori_16, "speed board value too large", std::int64_t(r), -32768, 32767);
  return std::int16_t(r);
}

}  // namespace

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
    if (v.valore3 == 1) {
      v.valore2 = somma_32(v.valore2, 100);
    }
  }
}

void memo_montagna(modello& m, std::int32_t& inizio, std::int32_t& fine, std::int32_t& tipo) {
  bool segnata = false;
  if (tipo > 10) {
    tipo -= 10;
    segnata = true;
  }
  if (m.n_montagne >= 80) throw guasto_lettura(causa_guasto::troppe_montagne, "more than 80 mountain ranges", 80);
  ++m.n_montagne;
  m.montagna_inizio[m.n_montagne] = inizio;
  m.montagna_fine[m.n_montagne] = fine;
  if (m.n_montagne > 1 && differenza_32(inizio, m.montagna_fine[m.n_montagne - 1]) <= 150) tipo = 3;

  // The range is kept inside the track; the count of its cells still starts
  // at its first cell, so the markers fall where they would on a longer track.
  std::int64_t primo = std::int64_t(arrotonda(double(inizio) / 50));
  std::int64_t ultimo = std::int64_t(arrotonda(double(fine) / 50 - 1));
  std::int64_t da = std::max<std::int64_t>(primo, 0);
  std::int64_t a = std::min<std::int64_t>(ultimo, m.n_celle);
  for (std::int64_t i = da; i <= a; ++i) {
    cella& c = m.celle[std::size_t(i)];
    c.montagna = bassi8(tipo);
    if (segnata && (i - primo + 1) % 4 == 0 && c.tipo == cella_vuota) c.tipo = cella_marcatore_montagna;
  }
}

void memo_rallentamento(modello& m, std::int32_t x, std::int32_t& v, std::int32_t& l,
                        std::int32_t& f_tt, std::int32_t f_ta, std::int32_t& d_v) {
  std::int64_t e = std::int64_t(x) + l;
  std::int64_t w = std::int64_t(x) - 1200;
  bool con_avviso = x > 1500;
  if (!con_avviso) f_ta = 0;
  if (con_avviso && !libera(cella_controllata(m, cella_di(w)))) {
    m.codice_errore = codice::avviso_occupato;
    return;
  }
  cella& inizio = cella_controllata(m, cella_di(x));
  if (!libera(inizio)) {
    m.codice_errore = codice::inizio_occupato;
    return;
  }
  cella& fine = cella_controllata(m, cella_di(e));
  if (!libera(fine)) {
    m.codice_errore = codice::fine_occupata;
    return;
  }
  // The end is written first, so a restriction inside one cell leaves a start.
  fine.tipo = cella_fine_rallentamento;
  if (d_v != 0) fine.val2 = bassi16(d_v);
  segna_occupata(m, cella_di(e));
  inizio.tipo = cella_inizio_rallentamento;
  if (d_v != 0) inizio.val2 = bassi16(d_v);
  segna_occupata(m, cella_di(x));
  if (con_avviso) {
    cella& avviso = cella_controllata(m, cella_di(w));
    avviso.tipo = cella_avviso_rallentamento;
    if (d_v != 0) avviso.val2 = bassi16(d_v);
    avviso.val1 = bassi16(v);
    segna_occupata(m, cella_di(w));
  }
  for (cella* c : {&inizio, &fine}) {
    c->val1 = bassi16(v);
    c->val3 = bassi16(f_tt);
  }
  if (f_ta == 0) return;
  std::int64_t prima = std::int64_t(arrotonda(double(w) / 50));
  bool occupata = false;
  for (int i = 0; i < 4; ++i) occupata = occupata || !libera(cella_controllata(m, prima - i));
  if (occupata) {
    m.codice_errore = codice::sequenza_occupata;
    return;
  }
  for (int i = 0; i < 4; ++i) {
    cella& c = cella_controllata(m, prima - i);
    c.tipo = cella_sequenza_avviso;
    c.val1 = std::int16_t(i + 1);
    if (d_v != 0) c.val2 = std::int16_t(i + 1);
    segna_occupata(m, prima - i);
  }
}

void memo_segnale(modello& m, std::int32_t posizione, std::int32_t& sx, std::int32_t& s1,
                  std::int32_t& s2, std::int32_t& s3, std::int32_t& rapp, std::int32_t& dx,
                  std::int32_t& d1, std::int32_t& d2, std::int32_t& d3, std::int32_t& tempo) {
  std::int64_t k = cella_di(posizione);
  cella& c = cella_controllata(m, k);
  if (!libera(c)) {
    m.codice_errore = codice::segnale_occupato;
    return;
  }
  c.tipo = cella_segnale;
  segna_occupata(m, k);
  c.val4 = bassi16(std::int64_t(rapp) * 10 + std::int64_t(sx) * 3 + dx);
  c.val1 = bassi16(std::int64_t(s1) * 10 + d1);
  c.val2 = bassi16(std::int64_t(s2) * 10 + d2);
  c.val3 = bassi16(std::int64_t(s3) * 10 + d3);
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  c.val5 = sx == 2 ? bassi8(tempo) : 0;
  // Approach cells before the start of the track are skipped.
  for (int b = 1; b <= 4; ++b) {
    std::int64_t j = k - 2 * b;
    if (j >= 0) m.celle[std::size_t(j)].val6 = bassi8((std::int64_t(sx) * 3 + dx) * 10 + b);
  }
}

void memo_indicatori_v_max(modello& m, std::int32_t posizione, std::int32_t& vas,
                           std::int32_t& vbs, std::int32_t& vcs, std::int32_t& strisces,
                           std::int32_t& vad, std::int32_t& vbd, std::int32_t& vcd,
                           std::int32_t& strisced) {
  const std::int64_t k = cella_di(posizione);
  cella& c = cella_controllata(m, k);
  if (!libera(c)) {
    m.codice_errore = codice::indicatore_occupato;
    return;
  }
  c.tipo = cella_indicatore_vmax;
  segna_occupata(m, k);
  c.val1 = r16(double(vad) / 5 + double(vas) * 20);
  c.val2 = r16(double(vbd) / 5 + double(vbs) * 20);
  c.val3 = r16(double(vcd) / 5 + double(vcs) * 20);
  c.val4 = bassi16(std::int64_t(strisces) * 10 + strisced);
}

}  // namespace sc
