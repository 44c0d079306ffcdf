// Mountains from the cells. A range gives its cells its type and, when
// flagged, a marker to its 4th, 8th ... cell where nothing stands yet; a
// later range takes over the type of the cells it covers but leaves the
// markers, and a range that starts within 150 m of the previous one's end
// (or before it) becomes type 3. The track is split, left to right, into
// the fewest ranges that give every cell its type and put every marker
// back: flagged ranges may run on beneath later ones, where only their
// markers show, and ranges of type 0 carry markers over cells that show no
// mountain. No range may start in the last two cells: ranges written first,
// over the last three, give those cells their types from below.
#include <algorithm>
#include <array>
#include <bit>
#include <limits>

#include "model/modello.h"
#include "tools/decompile/decompila_parti.h"

namespace sc::inverso {

namespace {

constexpr int passo = regole::passo_marcatori_montagna;  // 4
constexpr int infinito = std::numeric_limits<int>::max() / 4;
// A cell that cannot be given back costs more than any number of entries.
constexpr int errore = 1000;

// What a cell asks of the ranges: a marker, no marker, or either (another
// object stands there, written after the mountains).
enum class richiesta : std::uint8_t { marcatore, vuota, qualsiasi };

// Free cells after a range before the next one starts far enough from it
// to keep its type.
constexpr int celle_vicine = regole::distanza_montagna_vicina / regole::metri_cella;

// A state after a cell. With no range on top: how many cells since the last
// one ended (1 to celle_vicine, the last for more or none yet). With a range on top: whether it
// is flagged, and its phase (cells since its first, modulo 4; the phase 3
// takes a marker), and the phases of the flagged ranges beneath it.
constexpr int stati_liberi = celle_vicine + 1;
constexpr int stati = stati_liberi + 5 * 16;
// Free states by distance, the farthest first: on a tie the split keeps
// ranges apart rather than longer.
int libero(int g) { return celle_vicine - g; }
int distanza(int s) { return celle_vicine - s; }
int coperto(int cima, int sotto) { return stati_liberi + 16 * cima + sotto; }  // cima: 0 plain, 1 + phase flagged
bool e_libero(int s) { return s < stati_liberi; }
int cima(int s) { return (s - stati_liberi) / 16; }
int maschera(int s) { return (s - stati_liberi) % 16; }
int ruota(int m) { return ((m << 1) | (m >> 3)) & 15; }
constexpr int bit_marcatore = 8;  // the phase 3

struct scelta {
  std::int16_t da = -1;      // the state before
  bool nuova = false;        // a range starts in this cell
  bool sotto = false;        // the range on top before it runs on beneath
};

struct voce_montagna {
  std::int64_t inizio, fine;
  std::int32_t tipo;
  bool visibile = true;  // false for a separating entry of no cells
};

// The type field that stores mountain type t, flagged or not.
std::int32_t tipo_scritto(std::uint8_t t, bool segnato) {
  if (segnato) return t >= 1 ? t + 10 : 256 + 10;
  return t <= 10 ? t : std::int32_t(t) - 256;
}

class divisione {
 public:
  // g0: cells since the end of a range written before the first cell.
  divisione(const std::vector<cella>& celle, int g0) : celle_(celle), n_(std::int32_t(celle.size()) - 1), g0_(g0) {
    for (const cella& c : celle_)
      richieste_.push_back(c.tipo == cella_marcatore_montagna ? richiesta::marcatore : c.tipo == cella_vuota ? richiesta::vuota : richiesta::qualsiasi);
    base_.assign(celle_.size(), 0);
    scelte_.assign(celle_.size(), {});
  }

  // The cells before `fino`, which no range written first reaches.
  void prefisso(std::size_t fino) {
    costo_.fill(infinito);
    for (std::size_t i = 0; i < fino; ++i) passo_cella(i);
    prefisso_ = costo_;
    fino_ = fino;
  }

  // The rest, over what ranges written first leave: their types from
  // cell `da` on, and the markers they put. The cost of the cheapest split,
  // in entries and cells not given back.
  int coda(std::size_t da, const std::vector<int>& tipi, const std::vector<std::size_t>& marcatori) {
    std::fill(base_.begin() + std::ptrdiff_t(fino_), base_.end(), 0);
    std::copy(tipi.begin(), tipi.end(), base_.begin() + std::ptrdiff_t(da));
    std::vector<richiesta> salvate(richieste_.begin() + std::ptrdiff_t(fino_), richieste_.end());
    for (std::size_t m : marcatori) richieste_[m] = richiesta::qualsiasi;
    costo_ = prefisso_;
    for (std::size_t i = fino_; i < celle_.size(); ++i) passo_cella(i);
    std::copy(salvate.begin(), salvate.end(), richieste_.begin() + std::ptrdiff_t(fino_));
    fine_ = int(std::min_element(costo_.begin(), costo_.end()) - costo_.begin());
    return costo_[std::size_t(fine_)];
  }

 private:
  void passo_cella(std::size_t i) {
    std::array<int, stati> prossimo;
    prossimo.fill(infinito);
    std::array<scelta, stati>& da = scelte_[i];
    auto rilassa = [&](int s_da, int s, int c, bool nuova, bool sotto) {
      c += errore * violazione(i, s);
      if (c < prossimo[std::size_t(s)]) prossimo[std::size_t(s)] = c, da[std::size_t(s)] = {std::int16_t(s_da), nuova, sotto};
    };
    const int t = celle_[i].montagna;
    const bool puo_iniziare = std::int64_t(i) <= std::int64_t(n_) - 2;
    const int cuci = t == regole::tipo_montagna_vicina ? 0 : 1;  // a separating entry keeps a type other than 3
    auto nuove = [&](int s_da, int base_costo, int maschera_sotto, bool sotto) {
      rilassa(s_da, coperto(0, maschera_sotto), base_costo, true, sotto);
      // A flagged range; at the first cell it may have started before the track.
      for (int fase = 0; fase < (i == 0 ? passo : 1); ++fase) rilassa(s_da, coperto(1 + fase, maschera_sotto), base_costo, true, sotto);
    };
    if (i == 0) {
      if (t == base_[0]) rilassa(-1, libero(std::min(celle_vicine, g0_ + 1)), 0, false, false);
      // Flagged ranges may also start before the track beneath the first
      // one, written before it: they make it type 3 unless separated.
      for (int sotto = 0; sotto < 16 && puo_iniziare; ++sotto)
        nuove(-1, 1 + std::popcount(unsigned(sotto)) + (g0_ < celle_vicine || sotto != 0 ? cuci : 0), sotto, false);
      costo_ = prossimo;
      return;
    }
    const int t_prima = celle_[i - 1].montagna;
    for (int s = 0; s < stati; ++s) {
      const int c = costo_[std::size_t(s)];
      if (c >= infinito) continue;
      if (e_libero(s)) {
        if (t == base_[i]) rilassa(s, libero(std::min(celle_vicine, distanza(s) + 1)), c, false, false);
        if (puo_iniziare) nuove(s, c + 1 + (distanza(s) < celle_vicine ? cuci : 0), 0, false);
        continue;
      }
      const int alto = cima(s);
      int m = ruota(maschera(s));
      if (richieste_[i] == richiesta::vuota) m &= ~bit_marcatore;
      // A range of type 0 ends where it no longer carries a marker.
      if (t == 0 && t == base_[i]) rilassa(s, libero(1), c, false, false);
      if (t == t_prima) rilassa(s, coperto(alto == 0 ? 0 : 1 + alto % passo, m), c, false, false);
      if (t == base_[i]) rilassa(s, libero(1), c, false, false);
      if (!puo_iniziare) continue;
      // A range before this one always ends within 150 m of its start.
      nuove(s, c + 1 + cuci, m, false);
      if (alto != 0) {
        int sotto = m | (1 << (alto % passo));
        if (richieste_[i] == richiesta::vuota) sotto &= ~bit_marcatore;
        nuove(s, c + 1 + cuci, sotto, true);
      }
    }
    costo_ = prossimo;
  }

 public:
  // The ranges of the cheapest split, in the order they start.
  struct intervallo {
    std::int64_t primo, ultimo;
    std::uint8_t tipo;
    bool segnato;
    std::int64_t sotto_da = -1;     // the cell from which it runs beneath another
    std::int64_t ultimo_utile = -1;  // the last marker only it puts
  };

  std::vector<intervallo> intervalli() const {
    const std::size_t n = celle_.size();
    std::vector<int> st(n);
    st[n - 1] = fine_;
    for (std::size_t i = n - 1; i > 0; --i) st[i - 1] = scelte_[i][std::size_t(st[i])].da;
    std::vector<intervallo> r;
    std::int64_t in_cima = -1;
    std::vector<std::int64_t> sotto;
    auto fase = [&](std::int64_t k, std::size_t i) { return ((std::int64_t(i) - r[std::size_t(k)].primo) % passo + passo) % passo; };
    auto chiudi = [&](std::int64_t k, std::size_t i) { r[std::size_t(k)].ultimo = std::int64_t(i) - 1; };
    for (std::size_t i = 0; i < n; ++i) {
      const int s = st[i];
      const scelta& x = scelte_[i][std::size_t(s)];
      // Ranges beneath drop where their marker would fall on a free cell.
      if (richieste_[i] == richiesta::vuota) {
        for (auto it = sotto.begin(); it != sotto.end();) {
          if (fase(*it, i) == passo - 1) chiudi(*it, i), it = sotto.erase(it);
          else ++it;
        }
      }
      if (e_libero(s)) {
        if (in_cima >= 0) chiudi(in_cima, i);
        for (std::int64_t k : sotto) chiudi(k, i);
        in_cima = -1, sotto.clear();
      } else if (x.nuova) {
        // Ranges started before the track beneath the first: hidden, any type.
        for (int fase = 0; i == 0 && fase < passo; ++fase)
          if (maschera(s) & (1 << fase)) {
            r.push_back({-fase, std::int64_t(n) - 1, regole::tipo_montagna_vicina, true, 0});
            sotto.push_back(std::int64_t(r.size()) - 1);
          }
        if (in_cima >= 0) {
          if (x.sotto) {
            for (auto it = sotto.begin(); it != sotto.end();) {
              if (fase(*it, i) == fase(in_cima, i)) chiudi(*it, i), it = sotto.erase(it);
              else ++it;
            }
            r[std::size_t(in_cima)].sotto_da = std::int64_t(i);
            // Its marker would fall on a free cell: it ends here after all.
            if (richieste_[i] == richiesta::vuota && fase(in_cima, i) == passo - 1) chiudi(in_cima, i);
            else sotto.push_back(in_cima);
          } else {
            chiudi(in_cima, i);
          }
        }
        const int alto = cima(s);
        const std::int64_t primo = std::int64_t(i) - (alto == 0 ? 0 : alto - 1);
        r.push_back({primo, std::int64_t(n) - 1, celle_[i].montagna, alto != 0});
        in_cima = std::int64_t(r.size()) - 1;
      }
      if (richieste_[i] == richiesta::marcatore && !(in_cima >= 0 && r[std::size_t(in_cima)].segnato && fase(in_cima, i) == passo - 1))
        for (std::int64_t k : sotto)
          if (fase(k, i) == passo - 1) r[std::size_t(k)].ultimo_utile = std::int64_t(i);
    }
    // A range beneath ends with the last marker only it puts.
    for (intervallo& x : r)
      if (x.sotto_da >= 0) x.ultimo = std::min(x.ultimo, std::max(x.sotto_da - 1, x.ultimo_utile));
    return r;
  }

 private:
  // A marker where none stands, none where one must stand, a type the
  // state does not give.
  int violazione(std::size_t i, int s) const {
    const bool marcatore = !e_libero(s) && (cima(s) == passo || (maschera(s) & bit_marcatore) != 0);
    return (richieste_[i] == richiesta::marcatore && !marcatore) || (richieste_[i] == richiesta::vuota && marcatore);
  }

  const std::vector<cella>& celle_;
  std::int32_t n_;
  int g0_;
  std::vector<int> base_;  // the type under every range: 0, or what the ranges written first leave
  std::vector<std::array<scelta, stati>> scelte_;
  std::vector<richiesta> richieste_;
  std::array<int, stati> costo_{}, prefisso_{};
  std::size_t fino_ = 0;
  int fine_ = 0;
};

// Entries in order, with a separating entry of no cells in front of a range
// that would become type 3 and is not, unless a start a little later in its
// first cell takes it past 150 m.
void scrivi(std::vector<voce_montagna>& voci, std::int64_t inizio, std::int64_t fine, std::uint8_t tipo, bool segnato, std::int64_t massimo) {
  if (!voci.empty() && tipo != regole::tipo_montagna_vicina) {
    const std::int64_t distanza = inizio - voci.back().fine;
    // Less than half a cell on, the start stays in its cell (and on the track).
    const std::int64_t spinta = std::max<std::int64_t>(poco_dopo, regole::distanza_montagna_vicina + 1 - distanza);
    if (distanza <= regole::distanza_montagna_vicina && spinta < mezza_cella && inizio + spinta <= massimo) inizio += spinta;
    else if (distanza <= regole::distanza_montagna_vicina)
      voci.push_back({inizio, inizio - regole::distanza_montagna_vicina - regole::metri_cella, regole::tipo_montagna_vicina, false});
  }
  voci.push_back({inizio, fine, tipo_scritto(tipo, segnato)});
}


// Ranges written before all others over the last cells, which no range
// may start in: the last cell's type over the last three, then, where the
// cell before differs, its type over the two before the last. Flagged ones
// started a little earlier put a marker into one of the last three cells,
// each into its own.
struct coda_prima {
  std::vector<voce_montagna> voci;
  std::size_t da = 0;  // the first cell they cover
  std::vector<int> tipi;  // the types they leave from there on
  std::vector<std::size_t> marcatori;
};

std::vector<coda_prima> code_prima(const std::vector<cella>& celle) {
  const std::int64_t n = std::int64_t(celle.size()) - 1;
  const std::uint8_t ultimo = celle[std::size_t(n)].montagna, penultimo = celle[std::size_t(n) - 1].montagna;
  // The starts of one group: a plain range over the last three cells, or
  // flagged ones whose marker falls on a marker or an object.
  auto gruppi = [&](std::int64_t fine) {
    std::vector<std::int64_t> segnati;
    for (std::int64_t f = n - 5; f <= fine - 3; ++f)
      if (f >= 0 && celle[std::size_t(f + 3)].tipo != cella_vuota) segnati.push_back(f);
    std::vector<std::vector<std::int64_t>> r = {{n - 2}};
    for (unsigned scelti = 1; scelti < (1u << segnati.size()); ++scelti) {
      std::vector<std::int64_t> g;
      for (std::size_t k = 0; k < segnati.size(); ++k)
        if (scelti & (1u << k)) g.push_back(segnati[k]);
      r.push_back(std::move(g));
    }
    return r;
  };
  std::vector<coda_prima> r;
  const auto primi = gruppi(n);
  const auto secondi = penultimo != ultimo ? gruppi(n - 1) : std::vector<std::vector<std::int64_t>>{{}};
  for (const auto& a : primi)
    for (const auto& b : secondi) {
      coda_prima c;
      std::int64_t da = n - 2;
      for (std::int64_t f : a) da = std::min(da, f);
      for (std::int64_t f : b) da = std::min(da, f);
      c.da = std::size_t(da);
      c.tipi.assign(celle.size() - c.da, 0);
      auto copri = [&](std::int64_t f, std::int64_t ultima, std::uint8_t tipo) {
        const bool segnato = f < n - 2;
        scrivi(c.voci, metro_cella(f), metro_cella(ultima + 1), tipo, segnato, posizione_massima(n));
        for (std::int64_t i = f; i <= ultima; ++i) c.tipi[std::size_t(i) - c.da] = tipo;
        if (segnato) c.marcatori.push_back(std::size_t(f + 3));
      };
      for (std::int64_t f : a) copri(f, n, ultimo);
      // The second group over the first, on the cells before the last.
      for (std::int64_t f : b) copri(f, n - 1, penultimo);
      r.push_back(std::move(c));
    }
  return r;
}

}  // namespace

std::vector<riga> voci_montagne(const vista& v) {
  const std::int32_t n = v.n_celle;
  if (n < 3) return {};
  const auto& celle = v.celle;
  const std::size_t fino = std::size_t(std::max(0, n - 6));
  // Without ranges written first, or with them when the last cells differ.
  divisione libera(celle, celle_vicine), dopo_coda(celle, 0);
  libera.prefisso(fino);
  int migliore = libera.coda(fino, {}, {});
  const coda_prima nessuna;
  const coda_prima* scelta = &nessuna;
  std::vector<coda_prima> code;
  if (celle[std::size_t(n)].montagna != celle[std::size_t(n) - 1].montagna || celle[std::size_t(n) - 1].montagna != celle[std::size_t(n) - 2].montagna) {
    code = code_prima(celle);
    dopo_coda.prefisso(fino);
    for (const coda_prima& c : code) {
      const int costo = dopo_coda.coda(c.da, c.tipi, c.marcatori) + int(c.voci.size());
      if (costo < migliore) migliore = costo, scelta = &c;
    }
  }
  std::vector<voce_montagna> voci = scelta->voci;
  divisione& d = scelta == &nessuna ? libera : dopo_coda;
  if (scelta == &nessuna) libera.coda(fino, {}, {});
  else dopo_coda.coda(scelta->da, scelta->tipi, scelta->marcatori);
  for (const auto& x : d.intervalli()) scrivi(voci, metro_cella(x.primo), metro_cella(x.ultimo + 1), x.tipo, x.segnato, posizione_massima(n));
  // The readers keep no more ranges: an 81st would stop the reading.
  std::vector<riga> r;
  for (const voce_montagna& x : voci) {
    if (r.size() == std::size_t(regole::montagne_massime)) break;
    r.push_back({"montagna", {numero(x.inizio), numero(x.fine), numero(x.tipo)}});
  }
  return r;
}

}  // namespace sc::inverso
