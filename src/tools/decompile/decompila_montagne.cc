// Mountains from the cells. A range gives its cells its type and, when
// flagged, a marker to its 4th, 8th ... cell where nothing stands yet; a
// later range takes over the type of the cells it covers but leaves the
// markers, and a range that starts within 150 m of the previous one's end
// becomes type 3. Each stretch of mountain cells is split into the fewest
// ranges that put every marker back: a range may run on beneath the next
// one, where only its markers still show.
#include <algorithm>
#include <array>
#include <limits>
#include <optional>

#include "model/modello.h"
#include "tools/decompile/decompila_parti.h"

namespace sc::inverso {

namespace {

// Where a cell stands in a range: 0 plain, 1 + k flagged, k being the
// cell's place after the range's first, modulo 4; k = 3 takes a marker.
constexpr int fasi = 5;
int avanza(int f) { return f == 0 ? 0 : 1 + f % 4; }

// A state: the phase of the range whose type the cell shows, and the phase
// of the flagged range before it that runs on beneath it (0: none).
constexpr int stati = fasi * fasi;
int corrente(int s) { return s % fasi; }
int sotto(int s) { return s / fasi; }
int stato(int c, int h) { return c + fasi * h; }

// A marker where no range puts one, or a free cell where one must stand,
// cannot be given back.
int violazione(int s, const cella& x) {
  const bool marcatore = corrente(s) == 4 || sotto(s) == 4;
  return (x.tipo == cella_marcatore_montagna && !marcatore) || (marcatore && x.tipo == cella_vuota);
}

struct pezzo {
  std::int32_t primo, ultimo;  // ultimo reaches beneath the next range
  bool segnato;
  std::uint8_t tipo;
};

// The ranges of cells a to b, all of a type other than 0. Each range after
// the first costs one entry, and one more (a separating entry) unless it is
// of type 3; a cell that cannot be given back costs more than any split.
std::vector<pezzo> dividi_tratto(const std::vector<cella>& celle, std::int32_t a, std::int32_t b) {
  constexpr int infinito = std::numeric_limits<int>::max() / 4, errore = 1000;
  const std::size_t n = std::size_t(b - a + 1);
  std::vector<std::array<int, stati>> costo(n);
  std::vector<std::array<std::int8_t, stati>> da(n);  // previous state, + stati when a range starts here
  for (auto& c : costo) c.fill(infinito);
  for (int c : {0, 1}) costo[0][std::size_t(stato(c, 0))] = 1 + errore * violazione(stato(c, 0), celle[std::size_t(a)]);
  for (std::size_t i = 1; i < n; ++i) {
    const cella& x = celle[std::size_t(a) + i];
    const bool cambia_tipo = x.montagna != celle[std::size_t(a) + i - 1].montagna;
    const int nuovo = x.montagna == 3 ? 1 : 2;
    auto rilassa = [&](int da_stato, int verso, int aggiunta, bool inizia) {
      const int c = costo[i - 1][std::size_t(da_stato)] + aggiunta + errore * violazione(verso, x);
      if (c < costo[i][std::size_t(verso)]) {
        costo[i][std::size_t(verso)] = c;
        da[i][std::size_t(verso)] = std::int8_t(da_stato + (inizia ? stati : 0));
      }
    };
    for (int s = 0; s < stati; ++s) {
      if (costo[i - 1][std::size_t(s)] >= infinito) continue;
      const int c = corrente(s), h = sotto(s);
      if (!cambia_tipo) {
        rilassa(s, stato(avanza(c), 0), 0, false);
        if (h != 0) rilassa(s, stato(avanza(c), avanza(h)), 0, false);
      }
      for (int nuova : {0, 1}) {
        rilassa(s, stato(nuova, 0), nuovo, true);
        if (c != 0) rilassa(s, stato(nuova, avanza(c)), nuovo, true);
      }
    }
  }
  // The states back from the cheapest end.
  std::vector<int> st(n);
  std::vector<bool> inizio(n, false);
  st[n - 1] = int(std::min_element(costo[n - 1].begin(), costo[n - 1].end()) - costo[n - 1].begin());
  for (std::size_t i = n - 1; i > 0; --i) {
    const int o = da[i][std::size_t(st[i])];
    inizio[i] = o >= stati;
    st[i - 1] = o % stati;
  }
  inizio[0] = true;
  std::vector<std::size_t> inizi;
  for (std::size_t i = 0; i < n; ++i)
    if (inizio[i]) inizi.push_back(i);
  std::vector<pezzo> pezzi;
  for (std::size_t k = 0; k < inizi.size(); ++k) {
    const std::size_t prossimo = k + 1 < inizi.size() ? inizi[k + 1] : n;
    const std::size_t dopo = k + 2 < inizi.size() ? inizi[k + 2] : n;
    std::size_t ultimo = prossimo - 1;
    while (ultimo + 1 < dopo && sotto(st[ultimo + 1]) != 0) ++ultimo;
    pezzi.push_back({a + std::int32_t(inizi[k]), a + std::int32_t(ultimo), corrente(st[inizi[k]]) == 1, celle[std::size_t(a) + inizi[k]].montagna});
  }
  return pezzi;
}

// The type field that stores mountain type t, flagged or not.
std::int32_t tipo_scritto(std::uint8_t t, bool segnato) {
  if (segnato) return t >= 1 ? t + 10 : 256 + 10;
  return t <= 10 ? t : std::int32_t(t) - 256;
}

}  // namespace

std::vector<riga> voci_montagne(const vista& v) {
  constexpr std::size_t massimo_voci = 80;  // the readers keep no more ranges
  const auto& celle = v.celle;
  std::vector<riga> r;
  std::optional<std::int64_t> fine_precedente;
  auto aggiungi = [&](std::int64_t inizio, std::int64_t fine, std::int32_t tipo) {
    if (r.size() < massimo_voci) r.push_back({"montagna", {numero(inizio), numero(fine), numero(tipo)}});
    fine_precedente = fine;
  };
  for (std::int32_t a = 0; a <= v.n_celle; ++a) {
    if (celle[std::size_t(a)].montagna == 0) continue;
    std::int32_t b = a;
    while (b < v.n_celle && celle[std::size_t(b) + 1].montagna != 0) ++b;
    for (const pezzo& p : dividi_tratto(celle, a, b)) {
      std::int64_t inizio = 50 * std::int64_t(p.primo);
      const std::int64_t fine = 50 * (std::int64_t(p.ultimo) + 1);
      if (!entra(inizio, v.n_celle)) continue;
      // A range starting within 150 m of the previous one's end becomes
      // type 3: a little later start, or a range of no cells, avoids it.
      if (fine_precedente && inizio - *fine_precedente <= 150 && p.tipo != 3) {
        if (inizio - *fine_precedente == 150) inizio += 10;
        else aggiungi(inizio, inizio - 200, 3);
      }
      aggiungi(inizio, fine, tipo_scritto(p.tipo, p.segnato));
    }
    a = b;
  }
  return r;
}

}  // namespace sc::inverso
