// The line description of a compiled scenario: general values, gradients,
// mountains, speed boards and sign boards.
#include <algorithm>
#include <array>
#include <limits>
#include <optional>

#include "model/modello.h"
#include "parsing/memo.h"
#include "tools/decompila_parti.h"

namespace sc::inverso {

namespace {

using terna = std::array<std::int32_t, 3>;

terna di(const voce_servizio& v) { return {v.valore1, v.valore2, v.valore3}; }

// The three kilometre references as written, tre, due and uno: the stored
// triples (with the 100 a third value of 1 adds taken off again) in the
// first order that the sorting of the reader puts back as stored.
std::array<terna, 3> progressive_scritte(const std::vector<voce_servizio>& s) {
  std::array<terna, 3> salvate, lette;
  for (int i = 0; i < 3; ++i) {
    salvate[i] = di(s[std::size_t(voce_progressiva_tre + i)]);
    lette[i] = salvate[i];
    if (lette[i][2] == 1 && lette[i][1] >= std::numeric_limits<std::int32_t>::min() + 100) lette[i][1] -= 100;
  }
  std::array<int, 3> ordine = {0, 1, 2};
  do {
    modello prova;
    for (int i = 0; i < 3; ++i) {
      voce_servizio& v = prova.servizio[std::size_t(voce_progressiva_tre + i)];
      const terna& t = lette[std::size_t(ordine[i])];
      v.valore1 = t[0], v.valore2 = t[1], v.valore3 = t[2];
    }
    try {
      progressive_ordina(prova);
    } catch (const std::exception&) {
      continue;
    }
    bool uguali = true;
    for (int i = 0; i < 3; ++i) uguali = uguali && di(prova.servizio[std::size_t(voce_progressiva_tre + i)]) == salvate[i];
    if (uguali) return {lette[std::size_t(ordine[0])], lette[std::size_t(ordine[1])], lette[std::size_t(ordine[2])]};
  } while (std::next_permutation(ordine.begin(), ordine.end()));
  return lette;
}

riga riga_terna(const char* chiave, const terna& t) { return {chiave, {numero(t[0]), numero(t[1]), numero(t[2])}}; }

// A flagged or plain range of mountain cells, to be one entry.
struct pezzo {
  std::int32_t primo, ultimo;
  bool segnato;
};

// States of a cell inside a run: 0 plain, 1 + k flagged with the cell k
// places after the range's first, counted modulo 4 (k = 3 takes a marker).
constexpr int stati = 5;

// Cost of a cell in a state: a marker where none falls, or a free cell where
// one must stand, cannot be given back.
int violazione(int stato, const cella& c) {
  if (stato == 4) return c.tipo == cella_vuota ? 1 : 0;
  return c.tipo == cella_marcatore_montagna ? 1 : 0;
}

// The fewest ranges that cover cells a to b of one mountain type and put
// every marker where a flagged range puts one (its 4th, 8th ... cell; other
// items may cover them since). Each further range of a type other than 3
// costs a separating entry as well.
std::vector<pezzo> dividi_serie(const std::vector<cella>& celle, std::int32_t a, std::int32_t b, bool tipo3) {
  constexpr int infinito = std::numeric_limits<int>::max() / 4, errore = 1000;
  const int nuovo = tipo3 ? 1 : 2;
  const std::size_t n = std::size_t(b - a + 1);
  std::vector<std::array<int, stati>> costo(n);
  std::vector<std::array<std::int8_t, stati>> da(n);  // previous state; + stati when a range starts here
  costo[0].fill(infinito);
  for (int s : {0, 1}) costo[0][std::size_t(s)] = 1 + errore * violazione(s, celle[std::size_t(a)]);
  for (std::size_t i = 1; i < n; ++i) {
    const auto& p = costo[i - 1];
    const int migliore = int(std::min_element(p.begin(), p.end()) - p.begin());
    for (int s = 0; s < stati; ++s) {
      const int continua = s == 0 ? 0 : s == 1 ? 4 : s - 1;
      int c = p[std::size_t(continua)];
      std::int8_t origine = std::int8_t(continua);
      if ((s == 0 || s == 1) && p[std::size_t(migliore)] + nuovo < c) {
        c = p[std::size_t(migliore)] + nuovo;
        origine = std::int8_t(migliore + stati);
      }
      costo[i][std::size_t(s)] = c >= infinito ? infinito : c + errore * violazione(s, celle[std::size_t(a) + i]);
      da[i][std::size_t(s)] = origine;
    }
  }
  int s = int(std::min_element(costo[n - 1].begin(), costo[n - 1].end()) - costo[n - 1].begin());
  std::vector<pezzo> pezzi;
  std::int32_t ultimo = b;
  for (std::size_t i = n - 1; i > 0; --i) {
    const int o = da[i][std::size_t(s)];
    if (o >= stati) {
      pezzi.push_back({a + std::int32_t(i), ultimo, s != 0});
      ultimo = a + std::int32_t(i) - 1;
    }
    s = o % stati;
  }
  pezzi.push_back({a, ultimo, s != 0});
  std::reverse(pezzi.begin(), pezzi.end());
  return pezzi;
}

// The type field that stores mountain type t, flagged or not.
std::int32_t tipo_scritto(std::uint8_t t, bool segnato) {
  if (segnato) return t >= 1 ? t + 10 : 256 + 10;
  return t <= 10 ? t : std::int32_t(t) - 256;
}

}  // namespace

std::vector<riga> voci_generali(const vista& v, std::int32_t lunghezza) {
  const auto& s = v.servizio;
  const auto [tre, due, uno] = progressive_scritte(s);
  const voce_servizio& scenario = s[voce_scenario];
  const voce_servizio& corsa = s[voce_corsa];
  return {
      {"lunghezza percorso", {numero(lunghezza)}},
      riga_terna("progressiva chilometrica uno", uno),
      riga_terna("progressiva chilometrica due", due),
      riga_terna("progressiva chilometrica tre", tre),
      {"sfondo uno", {numero(scenario.valore1)}},
      {"sfondo due", {numero(scenario.valore3)}},
      {"sfondo tre", {numero(scenario.valore2)}},
      {corsa.valore3 == 9 ? "ripetizione segnali 9 codici" : "ripetizione segnali 4 codici", {numero(corsa.valore1), numero(corsa.valore2)}},
  };
}

std::vector<std::pair<std::int32_t, int>> cambi_riempimento(const std::vector<int>& valori) {
  const std::int32_t n = std::int32_t(valori.size()) - 1;
  const std::int32_t coda = std::max(n - 2, 0);
  std::vector<std::pair<std::int32_t, int>> cambi = {{0, valori[0]}};
  for (std::int32_t c = 1; c < coda; ++c)
    if (valori[std::size_t(c)] != valori[std::size_t(c) - 1]) cambi.push_back({c, valori[std::size_t(c)]});
  // Each further entry at the last position fills one more cell of the tail.
  std::int32_t ultima = -1;
  for (std::int32_t c = coda; c <= n; ++c)
    if (valori[std::size_t(c)] != 0) ultima = c;
  for (std::int32_t c = coda; c <= ultima; ++c) cambi.push_back({coda, valori[std::size_t(c)]});
  return cambi;
}

std::vector<riga> voci_pendenze(const vista& v) {
  std::vector<int> valori;
  for (const cella& c : v.celle) valori.push_back(c.val8);
  std::vector<riga> r;
  for (auto [c, valore] : cambi_riempimento(valori)) r.push_back({"pendenza", {numero(50 * std::int64_t(c)), numero(valore - 100)}});
  return r;
}

std::vector<riga> voci_montagne(const vista& v) {
  constexpr std::size_t massimo_voci = 80;  // the readers keep no more ranges
  const auto& celle = v.celle;
  std::vector<riga> r;
  std::optional<std::int64_t> fine_precedente;
  auto aggiungi = [&](std::int64_t inizio, std::int64_t fine, std::int32_t tipo) {
    if (r.size() < massimo_voci) r.push_back({"montagna", {numero(inizio), numero(fine), numero(tipo)}});
    fine_precedente = fine;
  };
  for (std::int32_t a = 0; a <= v.n_celle;) {
    const std::uint8_t t = celle[std::size_t(a)].montagna;
    std::int32_t b = a;
    while (b < v.n_celle && celle[std::size_t(b) + 1].montagna == t) ++b;
    if (t != 0) {
      for (const pezzo& p : dividi_serie(celle, a, b, t == 3)) {
        std::int64_t inizio = 50 * std::int64_t(p.primo);
        const std::int64_t fine = 50 * (std::int64_t(p.ultimo) + 1);
        if (!entra(inizio, v.n_celle)) continue;
        // A range starting within 150 m of the previous one's end becomes
        // type 3: a little later start or a range of no cells avoids it.
        if (fine_precedente && inizio - *fine_precedente <= 150 && t != 3) {
          if (inizio - *fine_precedente == 150) inizio += 10;
          else aggiungi(inizio, inizio - 200, 3);
        }
        aggiungi(inizio, fine, tipo_scritto(t, p.segnato));
      }
    }
    a = b + 1;
  }
  return r;
}

std::vector<riga> voci_indicatori(const vista& v) {
  // vas * 20 + vad / 5: the whole twenties as the speed, the rest in fifths.
  auto parti = [](std::int16_t val) {
    const std::int32_t alta = std::int32_t(val) >= 0 ? val / 20 : -((19 - std::int32_t(val)) / 20);
    const std::int32_t resto = val - 20 * alta;
    return std::pair{numero(alta), resto == 0 ? std::string() : numero(5 * resto)};
  };
  std::vector<riga> r;
  for (std::int32_t c = 0; c <= v.n_celle; ++c) {
    const cella& x = v.celle[std::size_t(c)];
    if (x.tipo != cella_indicatore_vmax || !entra(posizione_punto(c), v.n_celle)) continue;
    auto [vas, vad] = parti(x.val1);
    auto [vbs, vbd] = parti(x.val2);
    auto [vcs, vcd] = parti(x.val3);
    r.push_back({"indicatori_vmax", {numero(posizione_punto(c)), vas, vbs, vcs, numero(x.val4 / 10), vad, vbd, vcd, numero(x.val4 % 10)}});
  }
  return r;
}

std::vector<riga> voci_cartelli(const vista& v) {
  // Boards take the text slots from 80 down in file order.
  std::vector<std::pair<std::int16_t, std::int32_t>> cartelli;  // slot, cell
  for (std::int32_t c = 0; c <= v.n_celle; ++c)
    if (v.celle[std::size_t(c)].tipo == cella_cartello && entra(posizione_punto(c), v.n_celle)) cartelli.push_back({v.celle[std::size_t(c)].val1, c});
  std::stable_sort(cartelli.begin(), cartelli.end(), [](const auto& x, const auto& y) { return x.first > y.first; });
  std::vector<riga> r;
  for (auto [slot, c] : cartelli) {
    const std::string testo = slot >= 1 && slot < voci_servizio ? v.servizio[std::size_t(slot)].nome : "";
    r.push_back({"cartello_indicatore", {numero(posizione_punto(c)), campo_testo(testo)}});
  }
  return r;
}

}  // namespace sc::inverso
