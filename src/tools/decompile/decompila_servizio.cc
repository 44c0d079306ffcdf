// The service description of a compiled scenario: train and run data, speed
// limits and adhesion, stations, signals and restrictions.
#include <algorithm>
#include <optional>
#include <queue>

#include "model/arrotonda.h"
#include "model/modello.h"
#include "tools/decompile/decompila_parti.h"

namespace sc::inverso {

namespace {

using marche = std::vector<std::pair<std::int32_t, std::uint8_t>>;  // approach marks: cell, value

// Something that writes approach marks: a station or a signal.
struct scrittore {
  bool stazione;
  riga voce;
  marche segni;
};

// Sign boards hold the text slots from 80 down; stations the records from 1
// up to the first of them.
std::int32_t stazioni_salvate(const vista& v) {
  std::int32_t limite = prima_voce_cartelli;
  for (const cella& c : v.celle)
    if (c.tipo == cella_cartello && c.val1 >= 1 && c.val1 <= prima_voce_cartelli) limite = std::min<std::int32_t>(limite, c.val1 - 1);
  std::int32_t k = 0;
  while (k + 1 <= limite && !(v.servizio[std::size_t(k) + 1] == voce_servizio{})) ++k;
  return k;
}

// A station record as its entry: the length comes back from the start, the
// end extension from the end, and the fields the reader clears are written
// as stored (0) unless they made the end longer.
scrittore stazione(const voce_servizio& s, std::int32_t k, std::int32_t n_celle) {
  const std::int64_t p = s.valore3;
  std::int64_t lunghezza;
  std::int32_t estensione = s.byte3;
  switch (s.tipo_voce) {
    case 5:
    case 6:
    case 7:
    case 8:
      lunghezza = p - s.valore1;
      estensione = 0;
      break;
    default:
      lunghezza = 2 * (p - s.valore1);
      if (k == 1) estensione = std::int64_t(s.valore2) - (p + lunghezza / 2) == 50 ? 1 : 0;
  }
  // Hours, minutes and seconds that add up to the time (each may be negative
  // with it).
  const std::int32_t ore = s.codice / 3600, minuti = s.codice % 3600 / 60, secondi = s.codice % 60;
  scrittore w{true,
              {"stazione",
               {numero(p), numero(s.tipo_voce), numero(lunghezza), numero(s.opzione), numero(s.byte4), numero(estensione),
                numero(s.intero1), numero(s.intero2), numero(s.byte1), numero(s.intero3), numero(s.intero4), numero(s.intero5),
                numero(s.byte2), numero(ore), numero(minuti), numero(secondi), campo_testo(s.nome)}},
              {}};
  if (s.tipo_voce < 25 && s.tipo_voce != 5 && s.tipo_voce != 6) {
    for (int i = 1; i <= 4; ++i) {
      const std::int64_t j = std::int64_t(arrotonda(double(s.valore2) / 50 - 1 - i));
      if (j > 1 && j <= n_celle) w.segni.push_back({std::int32_t(j), std::uint8_t(80 + i)});
    }
  }
  return w;
}

marche segni_segnale(std::int32_t c, std::int32_t codice) {
  marche m;
  for (int b = 1; b <= 4; ++b)
    if (c - 2 * b >= 0) m.push_back({c - 2 * b, bassi8(std::int64_t(codice) * 10 + b)});
  return m;
}

std::int32_t codice_semplice(std::int16_t val4) { return ((val4 % 10) + 10) % 10; }

// The approach code sx * 3 + dx of a signal: the last digit of val4 (the
// rest is rapp * 10), unless more tens make more of its stored marks agree,
// counting only marks that no other station or signal (with its plain
// code) explains. `spiegati` counts, for each cell, the writers whose mark
// there is the stored one.
std::int32_t codice_avvicinamento(const vista& v, std::int32_t c, const std::vector<std::uint8_t>& spiegati) {
  const std::int32_t base = codice_semplice(v.celle[std::size_t(c)].val4);
  auto segno = [&](std::int32_t codice, int b) { return bassi8(std::int64_t(codice) * 10 + b); };
  std::int32_t scelto = base;
  int migliori = -1;
  for (std::int32_t decine = 0; decine < 64; ++decine) {  // the marks repeat after 64 tens
    int uguali = 0;
    for (int b = 1; b <= 4 && c - 2 * b >= 0; ++b) {
      const std::size_t j = std::size_t(c - 2 * b);
      const std::uint8_t visto = v.celle[j].val6;
      const int altri = spiegati[j] - (segno(base, b) == visto);
      uguali += segno(base + 10 * decine, b) == visto && altri == 0;
    }
    if (uguali > migliori) migliori = uguali, scelto = base + 10 * decine;
  }
  return scelto;
}

scrittore segnale(const vista& v, std::int32_t c, std::int32_t codice) {
  const cella& x = v.celle[std::size_t(c)];
  const std::int32_t rapp = (x.val4 - codice) / 10;
  // Only sx = 2 keeps the time; a time of 1 to 100 would become 101.
  const std::int32_t sx = x.val5 != 0 ? 2 : std::min(codice / 3, 2);
  const std::int32_t tempo = sx != 2 ? 0 : x.val5 >= 1 && x.val5 <= 100 ? x.val5 + 256 : x.val5;
  return {false,
          {"segnale",
           {numero(posizione_punto(c)), numero(sx), numero(x.val1 / 10), numero(x.val2 / 10), numero(x.val3 / 10), numero(rapp),
            numero(codice - 3 * sx), numero(x.val1 % 10), numero(x.val2 % 10), numero(x.val3 % 10), numero(tempo)}},
          segni_segnale(c, codice)};
}

// The signals, each with the approach code its marks show.
std::vector<scrittore> segnali(const vista& v, const std::vector<scrittore>& stazioni) {
  std::vector<std::int32_t> celle;
  for (std::int32_t c = 0; c <= v.n_celle; ++c)
    if (v.celle[std::size_t(c)].tipo == cella_segnale && entra(posizione_punto(c), v.n_celle)) celle.push_back(c);
  std::vector<std::uint8_t> spiegati(v.celle.size(), 0);
  auto conta = [&](const marche& m) {
    for (auto [j, valore] : m) spiegati[std::size_t(j)] += valore == v.celle[std::size_t(j)].val6;
  };
  for (const scrittore& w : stazioni) conta(w.segni);
  for (std::int32_t c : celle) conta(segni_segnale(c, codice_semplice(v.celle[std::size_t(c)].val4)));
  std::vector<scrittore> r;
  for (std::int32_t c : celle) r.push_back(segnale(v, c, codice_avvicinamento(v, c, spiegati)));
  return r;
}

// The order of writing. It is built from the end: a writer can come last of
// those left when every cell it marks that no later writer has settled
// holds its value. Taking such a writer never keeps another from its turn,
// so this finds an order whenever one exists; among those that can come
// last the latest of the usual order (stations in their order, then
// signals by position) is taken, which gives the usual order back when
// nothing requires another.
std::vector<std::size_t> ordine_scrittura(const vista& v, const std::vector<scrittore>& w) {
  const std::size_t n = w.size();
  std::vector<std::vector<std::size_t>> per_cella(v.celle.size());
  for (std::size_t i = 0; i < n; ++i)
    for (auto [j, valore] : w[i].segni) per_cella[std::size_t(j)].push_back(i);
  auto giusto = [&](std::size_t i, std::size_t j) {
    for (auto [c, valore] : w[i].segni)
      if (std::size_t(c) == j) return valore == v.celle[j].val6;
    return true;
  };
  // A cell that no writer gives its value cannot be settled: it is left out.
  std::vector<bool> decisa(v.celle.size(), false);
  std::vector<int> contrari(n, 0);  // unsettled cells where the writer's value is not the stored one
  for (std::size_t j = 0; j < per_cella.size(); ++j) {
    const auto& chi = per_cella[j];
    decisa[j] = std::none_of(chi.begin(), chi.end(), [&](std::size_t i) { return giusto(i, j); });
    if (!decisa[j])
      for (std::size_t i : chi) contrari[i] += !giusto(i, j);
  }
  // Stations keep their order: only the last one left may be taken.
  std::size_t stazioni = 0;
  while (stazioni < n && w[stazioni].stazione) ++stazioni;
  std::priority_queue<std::size_t> pronti;  // writers that can come last, latest first
  std::vector<bool> fatto(n, false), in_coda(n, false);
  auto proponi = [&](std::size_t i) {
    if (!fatto[i] && !in_coda[i] && contrari[i] == 0 && (!w[i].stazione || i + 1 == stazioni)) pronti.push(i), in_coda[i] = true;
  };
  for (std::size_t i = 0; i < n; ++i) proponi(i);
  std::size_t riserva = n;  // when none fits (the marks contradict each other): the latest left
  std::vector<std::size_t> inverso;
  while (inverso.size() < n) {
    while (!pronti.empty() && fatto[pronti.top()]) pronti.pop();
    std::size_t i;
    if (!pronti.empty()) {
      i = pronti.top();
      pronti.pop();
    } else {
      while (fatto[riserva - 1] || (w[riserva - 1].stazione && riserva != stazioni)) --riserva;
      i = riserva - 1;
    }
    fatto[i] = true;
    inverso.push_back(i);
    if (w[i].stazione && --stazioni > 0) proponi(stazioni - 1);
    for (auto [c, valore] : w[i].segni) {
      const std::size_t j = std::size_t(c);
      if (decisa[j]) continue;
      decisa[j] = true;
      for (std::size_t k : per_cella[j])
        if (!giusto(k, j) && --contrari[k] == 0) proponi(k);
    }
  }
  return {inverso.rbegin(), inverso.rend()};
}

}  // namespace

std::vector<riga> voci_treno(const vista& v) {
  const voce_servizio& treno = v.servizio[voce_treno];
  const voce_servizio& corsa = v.servizio[voce_corsa];
  return {
      {"numero vetture", {numero(treno.valore3)}},
      {"percentuale massa frenata", {numero(treno.valore1)}},
      {"sabbia", {numero(corsa.intero1)}},
      {"orologio", {numero(corsa.intero3) + " " + numero(corsa.intero4) + " " + numero(corsa.intero5)}},
  };
}

std::vector<riga> voci_aderenza(const vista& v) {
  std::vector<int> valori;
  for (const cella& c : v.celle) valori.push_back(c.val9);
  std::vector<riga> r;
  for (auto [c, valore] : cambi_riempimento(valori)) r.push_back({"aderenza", {numero(50 * std::int64_t(c)), numero(valore)}});
  return r;
}

std::vector<riga> voci_velocita(const vista& v) {
  std::vector<int> valori;
  for (const cella& c : v.celle) valori.push_back(c.val7);
  std::vector<riga> r;
  for (auto [c, valore] : cambi_riempimento(valori)) r.push_back({"velocita", {numero(50 * std::int64_t(c)), numero(5 * valore)}});
  return r;
}

std::vector<sezione> sezioni_stazioni_segnali(const vista& v) {
  std::vector<scrittore> w;
  const std::int32_t k = stazioni_salvate(v);
  // A station off the track would stop the reading of everything after it.
  for (std::int32_t i = 1; i <= k; ++i)
    if (entra(v.servizio[std::size_t(i)].valore3, v.n_celle, 800)) w.push_back(stazione(v.servizio[std::size_t(i)], i, v.n_celle));
  for (scrittore& s : segnali(v, w)) w.push_back(std::move(s));
  std::vector<sezione> r;
  for (std::size_t i : ordine_scrittura(v, w)) {
    const char* titolo = w[i].stazione ? "[stazioni]" : "[segnali]";
    if (r.empty() || r.back().titolo != titolo) r.push_back({titolo, {}});
    r.back().righe.push_back(std::move(w[i].voce));
  }
  return r;
}

std::vector<riga> voci_rallentamenti(const vista& v) {
  const auto& celle = v.celle;
  auto stessi_valori = [&](std::int32_t a, std::int32_t b) {
    const cella &x = celle[std::size_t(a)], &y = celle[std::size_t(b)];
    return x.val1 == y.val1 && x.val2 == y.val2 && x.val3 == y.val3;
  };
  std::vector<std::int32_t> inizi, fini;
  for (std::int32_t c = 0; c <= v.n_celle; ++c) {
    if (celle[std::size_t(c)].tipo == cella_inizio_rallentamento) inizi.push_back(c);
    if (celle[std::size_t(c)].tipo == cella_fine_rallentamento) fini.push_back(c);
  }
  // Each start with the first free end after it that carries its values; an
  // end before its start, or none at all (a start and end in one cell), is
  // the rest.
  std::vector<bool> presa(fini.size(), false);
  std::vector<std::pair<std::int32_t, std::int32_t>> coppie;
  std::vector<std::int32_t> sole;
  for (std::int32_t s : inizi) {
    std::optional<std::size_t> f;
    for (std::size_t i = 0; i < fini.size() && !f; ++i)
      if (!presa[i] && fini[i] > s && stessi_valori(s, fini[i])) f = i;
    if (f) presa[*f] = true, coppie.push_back({s, fini[*f]});
    else sole.push_back(s);
  }
  for (std::int32_t s : sole) {
    std::int32_t e = s;
    for (std::size_t i = 0; i < fini.size(); ++i)
      if (!presa[i] && stessi_valori(s, fini[i])) {
        presa[i] = true, e = fini[i];
        break;
      }
    coppie.push_back({s, e});
  }
  std::sort(coppie.begin(), coppie.end());

  std::vector<riga> r;
  for (auto [s, e] : coppie) {
    const cella& inizio = celle[std::size_t(s)];
    std::int64_t x = posizione_punto(s);
    // A warning board comes with every start past 1500 m; in the cell of
    // 1500 m a start 10 m further on has one.
    const std::int32_t avviso = s - 24;
    auto e_avviso = [&] {
      const cella& a = celle[std::size_t(avviso)];
      return a.tipo == cella_avviso_rallentamento && a.val1 == inizio.val1 && a.val2 == inizio.val2;
    };
    if (x == 1500 && e_avviso()) x += 10;
    bool sequenza = x > 1500 && avviso >= 4;
    for (int i = 0; i < 4 && sequenza; ++i) {
      const cella& q = celle[std::size_t(avviso - 1 - i)];
      sequenza = q.tipo == cella_sequenza_avviso && q.val1 == i + 1;
    }
    if (!entra(x, v.n_celle)) continue;
    const std::int64_t lunghezza = posizione_punto(e) - x;
    r.push_back({"rallentamento", {numero(x), numero(inizio.val1), numero(lunghezza), numero(inizio.val3), numero(sequenza ? 1 : 0), numero(inizio.val2)}});
  }
  return r;
}

}  // namespace sc::inverso
