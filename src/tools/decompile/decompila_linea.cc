// The line description of a compiled scenario: general values, gradients,
// speed boards and sign boards.
#include <algorithm>
#include <array>
#include <limits>
#include <optional>

#include "model/codici.h"

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
std::optional<std::array<terna, 3>> progressive_scritte(const std::vector<voce_servizio>& s) {
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
    if (uguali) return std::array<terna, 3>{lette[std::size_t(ordine[0])], lette[std::size_t(ordine[1])], lette[std::size_t(ordine[2])]};
  } while (std::next_permutation(ordine.begin(), ordine.end()));
  return std::nullopt;
}

riga riga_terna(const char* chiave, const terna& t) { return {chiave, {numero(t[0]), numero(t[1]), numero(t[2])}}; }

}  // namespace

bool progressive_ordinabili(const std::vector<voce_servizio>& servizio) { return progressive_scritte(servizio).has_value(); }

riga voce_guasto(fase_arresto fase) {
  // A number no 32-bit or 16-bit field takes: the reading fails before it stores anything.
  switch (fase) {
    case fase_arresto::generale: return {"sfondo uno", {"2147483648"}};
    case fase_arresto::voci_linea: return {"pendenza", {"2147483648", "0"}};
    default: return {"sabbia", {"32768"}};
  }
}

std::vector<riga> voci_generali(const vista& v, std::int32_t lunghezza) {
  const auto& s = v.servizio;
  const bool fermo = v.fine.fase == fase_arresto::generale;
  // The general section stopped before the reader sorted the references.
  std::array<terna, 3> ordinate;
  if (auto p = progressive_scritte(s); p && !fermo) ordinate = *p;
  else ordinate = {di(s[voce_progressiva_tre]), di(s[voce_progressiva_due]), di(s[voce_progressiva_uno])};
  const auto [tre, due, uno] = ordinate;
  const voce_servizio& scenario = s[voce_scenario];
  const voce_servizio& corsa = s[voce_corsa];
  std::vector<riga> r = {
      {"lunghezza percorso", {numero(lunghezza)}},
      riga_terna("progressiva chilometrica uno", uno),
      riga_terna("progressiva chilometrica due", due),
      riga_terna("progressiva chilometrica tre", tre),
      {"sfondo uno", {numero(scenario.valore1)}},
      {"sfondo due", {numero(scenario.valore3)}},
      {"sfondo tre", {numero(scenario.valore2)}},
  };
  const char* chiave = corsa.valore3 == 9 ? "ripetizione segnali 9 codici" : "ripetizione segnali 4 codici";
  const std::int32_t codice = fermo ? v.fine.codice : 0;
  auto ripetizione = [&](const char* k) { return riga{k, {numero(corsa.valore1), numero(corsa.valore2)}}; };
  switch (codice) {
    case codice::lunghezza_eccessiva:
    case codice::lettura_fallita:
      r.push_back(ripetizione(chiave));
      // The length that stopped it, or a value no field takes.
      r.push_back(s[voce_treno].valore2 != lunghezza ? riga{"lunghezza percorso", {numero(s[voce_treno].valore2)}} : voce_guasto(fase_arresto::generale));
      break;
    case codice::ripetizione_primo_valore:
    case codice::ripetizione_secondo_valore:
    case codice::ripetizione_codici:
      // The codes stay as an earlier entry left them.
      if (corsa.valore3 != 0) r.push_back({chiave, {"0", numero(regole::multiplo_posizione)}});
      r.push_back(ripetizione(codice == codice::ripetizione_codici ? "ripetizione segnali" : chiave));
      break;
    default: {
      // Values no entry stores come back as the nearest that one does.
      riga x = ripetizione(chiave);
      const std::int32_t a = corsa.valore1 - corsa.valore1 % regole::multiplo_posizione, b = corsa.valore2 - corsa.valore2 % regole::multiplo_posizione;
      x.valori = {numero(a), numero(b)};
      r.push_back(std::move(x));
    }
  }
  return r;
}

std::vector<std::pair<std::int32_t, int>> cambi_riempimento(const std::vector<int>& valori, bool chiusura, tipo_riempimento tipo) {
  const std::int32_t n = std::int32_t(valori.size()) - 1;
  const std::int32_t coda = std::max(n - 2, 0);
  std::vector<std::pair<std::int32_t, int>> cambi = {{0, valori[0]}};
  // The last cell an entry or the closing fill writes; entries never write
  // a speed limit into the last cell.
  std::int32_t ultima = -1;
  for (std::int32_t c = chiusura ? coda : 0; c <= n; ++c)
    if (valori[std::size_t(c)] != 0) ultima = c;
  if (!chiusura && tipo == tipo_riempimento::velocita) ultima = std::min(ultima, n - 1);
  const std::int32_t fine_cambi = chiusura ? coda : std::min(coda, ultima + 1);
  for (std::int32_t c = 1; c < fine_cambi; ++c)
    if (valori[std::size_t(c)] != valori[std::size_t(c) - 1]) cambi.push_back({c, valori[std::size_t(c)]});
  if (!chiusura && ultima < coda) {
    // One entry after the last value writes it.
    if (ultima >= 0) cambi.push_back({ultima + 1, 0});
    return cambi;
  }
  // Each further entry at the last position fills one more cell of the tail.
  for (std::int32_t c = coda; c <= ultima; ++c) cambi.push_back({coda, valori[std::size_t(c)]});
  if (!chiusura) cambi.push_back({coda, 0});
  return cambi;
}

std::vector<riga> voci_pendenze(const vista& v) {
  std::vector<int> valori;
  for (const cella& c : v.celle) valori.push_back(c.val8);
  std::vector<riga> r;
  const bool chiusura = v.fine.fase != fase_arresto::voci_linea && v.fine.fase != fase_arresto::generale;
  for (auto [c, valore] : cambi_riempimento(valori, chiusura)) r.push_back({"pendenza", {numero(metro_cella(c)), numero(valore - 100)}});
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
    const bool sotto = v.sotto[std::size_t(c)] == sotto_fermata::indicatore;
    if ((x.tipo != cella_indicatore_vmax && !sotto) || !entra(posizione_punto(c), v.n_celle)) continue;
    // Under a stop cell the first value is lost: any will do.
    auto [vas, vad] = parti(sotto ? std::int16_t(0) : x.val1);
    auto [vbs, vbd] = parti(x.val2);
    auto [vcs, vcd] = parti(x.val3);
    r.push_back({"indicatori_vmax", {numero(posizione_punto(c)), vas, vbs, vcs, numero(x.val4 / 10), vad, vbd, vcd, numero(x.val4 % 10)}});
  }
  return r;
}

std::vector<riga> voci_cartelli(const vista& v) {
  // Boards take the text slots from 80 down in file order.
  std::vector<std::pair<std::int16_t, std::int32_t>> cartelli;  // slot, cell
  for (std::int32_t c = 0; c <= v.n_celle; ++c) {
    if (!entra(posizione_punto(c), v.n_celle)) continue;
    if (v.celle[std::size_t(c)].tipo == cella_cartello) cartelli.push_back({v.celle[std::size_t(c)].val1, c});
    else if (v.cartello_sotto[std::size_t(c)] != 0) cartelli.push_back({std::int16_t(v.cartello_sotto[std::size_t(c)]), c});
  }
  std::stable_sort(cartelli.begin(), cartelli.end(), [](const auto& x, const auto& y) { return x.first > y.first; });
  std::vector<riga> r;
  for (auto [slot, c] : cartelli) {
    const std::string testo = slot >= 1 && slot < voci_servizio ? v.servizio[std::size_t(slot)].nome : "";
    r.push_back({"cartello_indicatore", {numero(posizione_punto(c)), campo_testo(testo)}});
  }
  return r;
}

}  // namespace sc::inverso
