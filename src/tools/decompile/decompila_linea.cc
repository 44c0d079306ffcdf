// The line description of a compiled scenario: general values, gradients,
// speed boards and sign boards.
#include <algorithm>
#include <array>
#include <limits>

#include "model/modello.h"
#include "parsing/memo.h"
#include "tools/decompile/decompila_parti.h"

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
