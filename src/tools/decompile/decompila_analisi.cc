// What the cells show beyond each object on its own: which records are
// stations and which sign texts, what a station's stop cell was written
// over, which cells make up each restriction, and where the reading of the
// descriptions stopped.
#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <tuple>
#include <limits>
#include <optional>

#include "model/arrotonda.h"
#include "model/codici.h"
#include "tools/decompile/decompila_parti.h"

namespace sc::inverso {

namespace {

bool solo_nome(const voce_servizio& v) {
  voce_servizio n;
  n.nome = v.nome;
  return v == n;
}

// Stations fill the records from 1 up to the first sign text; sign boards
// take the slots from 80 down, in file order, so every slot from 80 to the
// lowest one a board or a text shows was a board's.
void stazioni_e_cartelli(vista& v) {
  std::int32_t limite = prima_voce_cartelli;
  for (const cella& c : v.celle)
    if (c.tipo == cella_cartello && c.val1 >= 1 && c.val1 <= prima_voce_cartelli) limite = std::min<std::int32_t>(limite, c.val1 - 1);
  // A record with a name and nothing else is a sign text whose board a
  // stop cell covers.
  std::int32_t k = 0;
  while (k + 1 <= limite && !(v.servizio[std::size_t(k) + 1] == voce_servizio{}) && !solo_nome(v.servizio[std::size_t(k) + 1])) ++k;
  v.stazioni = k;
  v.ultimo_cartello = limite + 1;
  for (std::int32_t r = k + 1; r < v.ultimo_cartello; ++r)
    if (solo_nome(v.servizio[std::size_t(r)]) && !v.servizio[std::size_t(r)].nome.empty()) {
      v.ultimo_cartello = r;
      break;
    }
}

// Stop cells searched from an end whose start is not in sight.
constexpr int fermate_cercate = 80;

// The leftover values of a stop cell: what the object under it kept.
struct resto {
  std::int16_t val2, val3, val4;
  std::uint8_t val5;
};

class analisi {
 public:
  explicit analisi(vista& v) : v_(v), n_(v.n_celle) {
    v_.sotto.assign(v_.celle.size(), sotto_fermata::nulla);
    v_.cartello_sotto.assign(v_.celle.size(), 0);
    v_.codice_sotto.assign(v_.celle.size(), 0);
    v_.fermate.assign(std::size_t(v_.stazioni) + 1, -1);
    v_.prima_fermata.assign(v_.celle.size(), 0);
    for (std::int32_t k = 1; k <= v_.stazioni; ++k) {
      const std::int32_t j = cella_fermata(v_.servizio[std::size_t(k)], v_.n_celle);
      // A later station's stop cell in the same cell writes over the first.
      if (j >= 0 && v_.prima_fermata[std::size_t(j)] == 0) v_.prima_fermata[std::size_t(j)] = k;
      if (j >= 0 && tipo(j) == cella_stazione && v_.celle[std::size_t(j)].val1 == k) v_.fermate[std::size_t(k)] = j;
    }
  }

  void esegui() {
    rallentamenti();
    segnali_sotto();
    indicatori_sotto();
    cartelli_sotto();
  }

 private:
  std::uint8_t tipo(std::int64_t c) const { return c >= 0 && c <= n_ ? v_.celle[std::size_t(c)].tipo : 255; }
  const cella& at(std::int64_t c) const { return v_.celle[std::size_t(c)]; }
  // A stop cell that nothing has been found under yet.
  bool fermata_libera(std::int64_t c) const {
    return tipo(c) == cella_stazione && v_.sotto[std::size_t(c)] == sotto_fermata::nulla;
  }
  resto resto_di(std::int64_t c) const { return {at(c).val2, at(c).val3, at(c).val4, at(c).val5}; }
  bool resto_vale(std::int64_t c, std::int16_t val2, std::int16_t val3) const {
    const resto r = resto_di(c);
    return r.val2 == val2 && r.val3 == val3 && r.val4 == 0 && r.val5 == 0;
  }

  // The warning sequence of a start in cell s with second speed d: four
  // cells in front of the board, from the cell before it, or from the one
  // before that for a start at a position ending in 25 (mod 100), where the
  // halves round apart. A step under a stop cell keeps its second value only.
  std::int32_t sequenza(std::int32_t s, std::int16_t d) {
    for (std::int32_t q : {s - celle_avviso - 1, s - celle_avviso - 2}) {
      if (q == s - celle_avviso - 2 && s % 2 != 0) continue;
      if (q - 3 < 0) continue;
      int visti = 0;
      bool va = true;
      for (int i = 0; i < regole::celle_sequenza && va; ++i) {
        const std::int32_t c = q - i;
        const std::int16_t passo = std::int16_t(i + 1), secondo = d != 0 ? passo : std::int16_t(0);
        if (sequenza_presa_[std::size_t(c)]) va = false;
        else if (tipo(c) == cella_sequenza_avviso && at(c).val1 == passo && at(c).val2 == secondo) ++visti;
        else va = fermata_libera(c) && resto_vale(c, secondo, 0);
      }
      if (!va || visti == 0) continue;
      for (int i = 0; i < regole::celle_sequenza; ++i)
        if (tipo(q - i) == cella_stazione) v_.sotto[std::size_t(q - i)] = sotto_fermata::sequenza;
      for (int i = 0; i < regole::celle_sequenza; ++i) sequenza_presa_[std::size_t(q - i)] = true;
      return q;
    }
    return -1;
  }

  // Cell b holds a free warning board with these values in sight ...
  bool avviso_in_vista(std::int32_t b, std::int16_t v, std::int16_t d) const {
    return tipo(b) == cella_avviso_rallentamento && at(b).val1 == v && at(b).val2 == d && !avviso_preso_[std::size_t(b)];
  }
  // ... or a free stop cell that one with these values may stand under.
  bool avviso_sotto(std::int32_t b, std::int16_t d) const { return fermata_libera(b) && resto_vale(b, d, 0); }

  // A start in cell s can have its board: one is there, in sight or under a
  // stop cell, when the start lies past 1500 m, and none is nearer.
  bool avviso_possibile(std::int32_t s, std::int16_t v, std::int16_t d) const {
    const std::int32_t b = s - celle_avviso;
    const bool c_e = b >= 0 && (avviso_in_vista(b, v, d) || avviso_sotto(b, d));
    const std::int64_t x = posizione_punto(s);
    return x > regole::inizio_con_avviso + mezza_cella ? c_e : x < regole::inizio_con_avviso - mezza_cella ? !c_e || tipo(b) == cella_stazione : true;
  }

  // Where the warning board of a start in cell s is: none (no start in the
  // cells up to 1500 m has one), in sight, or under a stop cell.
  enum class dove_avviso { nessuno, in_vista, sotto_fermata };
  dove_avviso avviso_di(std::int32_t s, std::int16_t v, std::int16_t d) const {
    const std::int32_t b = s - celle_avviso;
    if (b < 0 || posizione_punto(s) + mezza_cella <= regole::inizio_con_avviso) return dove_avviso::nessuno;
    if (avviso_in_vista(b, v, d)) return dove_avviso::in_vista;
    return avviso_sotto(b, d) ? dove_avviso::sotto_fermata : dove_avviso::nessuno;
  }

  // The warning board of a start in cell s, taken where it is.
  bool avviso(std::int32_t s, std::int16_t v, std::int16_t d) {
    const std::int32_t b = s - celle_avviso;
    switch (avviso_di(s, v, d)) {
      case dove_avviso::nessuno: return false;
      case dove_avviso::in_vista: avviso_preso_[std::size_t(b)] = true; break;
      case dove_avviso::sotto_fermata: v_.sotto[std::size_t(b)] = sotto_fermata::avviso; break;
    }
    return true;
  }

  bool fine_libera(std::int64_t c, std::int16_t v, std::int16_t d, std::int16_t f) const {
    return tipo(c) == cella_fine_rallentamento && !fine_presa_[std::size_t(c)] && at(c).val1 == v && at(c).val2 == d && at(c).val3 == f;
  }

  // The nearest free end in sight after cell s with these values, -1 for none.
  std::int32_t fine_dopo(std::int32_t s, std::int16_t v, std::int16_t d, std::int16_t f) {
    auto it = fini_.find({v, d, f});
    if (it == fini_.end()) return -1;
    fini_libere& x = it->second;
    const std::size_t k = x.prima_libera(std::size_t(std::upper_bound(x.celle.begin(), x.celle.end(), s) - x.celle.begin()));
    if (k == x.celle.size()) return -1;
    x.prendi(k);
    fine_presa_[std::size_t(x.celle[k])] = true;
    return x.celle[k];
  }

  void aggiungi(std::int32_t s, std::int32_t e, std::int16_t v, std::int16_t d, std::int16_t f) {
    rallentamento_celle r{s, e, v, d, f, avviso(s, v, d), -1};
    if (r.avviso) r.sequenza = sequenza(s, d);
    v_.rallentamenti.push_back(r);
  }

  // Each start in sight with the nearest end after it; a start with none
  // has its end in its own cell (an end under a stop cell gives the same
  // cells). What is left in sight was written under stop cells: the start
  // of a board 24 cells on, the start of an end before it.
  void rallentamenti() {
    fine_presa_.assign(v_.celle.size(), false);
    avviso_preso_.assign(v_.celle.size(), false);
    sequenza_presa_.assign(v_.celle.size(), false);
    for (std::int32_t c = 0; c <= n_; ++c)
      if (tipo(c) == cella_fine_rallentamento) {
        fini_libere& x = fini_[{at(c).val1, at(c).val2, at(c).val3}];
        x.dopo.push_back(x.celle.size());
        x.celle.push_back(c);
      }
    for (std::int32_t s = 0; s <= n_; ++s) {
      if (tipo(s) != cella_inizio_rallentamento) continue;
      const cella& x = at(s);
      const std::int32_t e = fine_dopo(s, x.val1, x.val2, x.val3);
      aggiungi(s, e < 0 ? s : e, x.val1, x.val2, x.val3);
    }
    for (std::int32_t b = 0; b + celle_avviso <= n_; ++b) {
      if (tipo(b) != cella_avviso_rallentamento || avviso_preso_[std::size_t(b)]) continue;
      const std::int32_t s = b + celle_avviso;
      const cella& w = at(b);
      if (!fermata_libera(s) || at(s).val2 != w.val2 || at(s).val4 != 0 || at(s).val5 != 0) continue;
      v_.sotto[std::size_t(s)] = sotto_fermata::inizio;
      const std::int32_t e = fine_dopo(s, w.val1, w.val2, at(s).val3);
      aggiungi(s, e < 0 ? s : e, w.val1, w.val2, at(s).val3);
    }
    // A warning sequence whose board and start stop cells cover: the end
    // in sight after them with their values gives the speed.
    for (std::int32_t q = 3; q <= n_; ++q) {
      if (tipo(q) != cella_sequenza_avviso || at(q).val1 != 1 || sequenza_presa_[std::size_t(q)]) continue;
      for (std::int32_t b : {q + 1, q + 2}) {
        const std::int32_t s = b + celle_avviso;
        if (s > n_ || (b == q + 2 && s % 2 != 0) || !fermata_libera(b) || !fermata_libera(s)) continue;
        const std::int16_t d = at(b).val2;
        if ((d != 0) != (at(q).val2 != 0) || !resto_vale(b, d, 0) || at(s).val2 != d || at(s).val4 != 0 || at(s).val5 != 0) continue;
        const std::int16_t f = at(s).val3;
        std::int16_t v = 0;
        std::int32_t e = -1;
        for (auto& [chiave, x] : fini_) {
          if (std::get<1>(chiave) != d || std::get<2>(chiave) != f) continue;
          const std::size_t k = x.prima_libera(std::size_t(std::upper_bound(x.celle.begin(), x.celle.end(), s) - x.celle.begin()));
          if (k < x.celle.size() && (e < 0 || x.celle[k] < e)) e = x.celle[k], v = std::get<0>(chiave);
        }
        if (e >= 0) e = fine_dopo(s, v, d, f);
        v_.sotto[std::size_t(s)] = sotto_fermata::inizio;
        aggiungi(s, e < 0 ? s : e, v, d, f);
        break;
      }
    }
    // An end left over belongs to the nearest start after it with its
    // values that found none (a negative length), or else to a start a
    // station's stop cell covers.
    std::map<std::tuple<std::int16_t, std::int16_t, std::int16_t>, std::deque<std::size_t>> sole;  // by values, in order
    std::vector<std::size_t> senza_fine;
    for (std::size_t k = 0; k < v_.rallentamenti.size(); ++k)
      if (v_.rallentamenti[k].fine == v_.rallentamenti[k].inizio) senza_fine.push_back(k);
    std::sort(senza_fine.begin(), senza_fine.end(), [&](std::size_t a, std::size_t b) { return v_.rallentamenti[a].inizio < v_.rallentamenti[b].inizio; });
    for (std::size_t k : senza_fine) {
      const rallentamento_celle& r = v_.rallentamenti[k];
      sole[{r.v, r.d_v, r.f_tt}].push_back(k);
    }
    for (std::int32_t e = 0; e <= n_ && !sole.empty(); ++e) {
      if (tipo(e) != cella_fine_rallentamento || fine_presa_[std::size_t(e)]) continue;
      auto it = sole.find({at(e).val1, at(e).val2, at(e).val3});
      if (it == sole.end()) continue;
      auto& inizi = it->second;
      while (!inizi.empty() && v_.rallentamenti[inizi.front()].inizio <= e) inizi.pop_front();
      if (inizi.empty()) continue;
      v_.rallentamenti[inizi.front()].fine = e;
      fine_presa_[std::size_t(e)] = true;
      inizi.pop_front();
    }
    std::int32_t fermata = -1;  // the nearest stop cell before the cell in hand
    precedente_.assign(v_.celle.size(), -1);
    std::vector<std::int32_t> fermate_in_ordine;
    for (std::int32_t c = 0; c <= n_; ++c)
      if (tipo(c) == cella_stazione) fermate_in_ordine.push_back(c);
    for (std::int32_t e = 0; e <= n_; ++e) {
      if (tipo(e) == cella_fine_rallentamento && !fine_presa_[std::size_t(e)]) {
        const cella& x = at(e);
        // The nearest free stop cell before it whose leftovers fit, among
        // the few nearest.
        auto adatta = [&](std::int32_t c) { return fermata_libera(c) && resto_vale(c, x.val2, x.val3) && avviso_possibile(c, x.val1, x.val2); };
        // One whose board would take a second stop cell only when no other
        // fits: another object may stand under that one.
        auto costosa = [&](std::int32_t c) { return avviso_di(c, x.val1, x.val2) == dove_avviso::sotto_fermata; };
        std::int32_t s = -1, prima_adatta = -1;
        for (std::int32_t c = fermata, k = 0; c >= 0 && s < 0; c = k < fermate_cercate ? precedente_[std::size_t(c)] : -1, ++k)
          if (adatta(c)) {
            if (!costosa(c)) s = c;
            else if (prima_adatta < 0) prima_adatta = c;
          }
        if (s < 0) s = prima_adatta;
        // Else one after it: a negative length.
        auto dopo = std::upper_bound(fermate_in_ordine.begin(), fermate_in_ordine.end(), e);
        for (int k = 0; s < 0 && dopo != fermate_in_ordine.end() && k < fermate_cercate; ++k, ++dopo)
          if (adatta(*dopo)) s = *dopo;
        if (s >= 0) {
          v_.sotto[std::size_t(s)] = sotto_fermata::inizio;
          fine_presa_[std::size_t(e)] = true;
          aggiungi(s, e, x.val1, x.val2, x.val3);
        }
      }
      if (tipo(e) == cella_stazione) {
        precedente_[std::size_t(e)] = fermata;
        fermata = e;
      }
    }
    std::sort(v_.rallentamenti.begin(), v_.rallentamenti.end(),
              [](const rallentamento_celle& a, const rallentamento_celle& b) { return a.inizio < b.inizio; });
  }

  // A signal keeps its time only under an aspect of 2, and its approach
  // marks stay in the cells before it unless something later wrote there.
  // A signal found explains its marks for the ones still looked for: first
  // with the code its fourth value gives, then with more tens, which any
  // mark fits by chance one time in four.
  void segnali_sotto() {
    for (bool decine : {false, true}) {
      // The marks the plain codes do not explain may show more tens, of
      // a signal in sight or of one under a stop cell.
      std::vector<bool> spiegate = marche_spiegate(v_, decine);
      for (std::int32_t k = 1; k <= v_.stazioni; ++k) {
        const std::int32_t c = v_.fermate[std::size_t(k)];
        if (c < 0 || !fermata_libera(c)) continue;
        const resto r = resto_di(c);
        std::optional<std::int32_t> codice = codice_da_marche(v_, c, r.val4, spiegate, decine);
        if (r.val5 == 0 && !codice) continue;
        if (!codice && !decine) continue;
        v_.sotto[std::size_t(c)] = sotto_fermata::segnale;
        v_.codice_sotto[std::size_t(c)] = codice.value_or(((r.val4 % 10) + 10) % 10);
        for (int b = 1; b <= regole::marche_segnale; ++b) {
          const std::int32_t j = c - regole::passo_marche_segnale * b;
          if (j >= 0 && bassi8(std::int64_t(v_.codice_sotto[std::size_t(c)]) * 10 + b) == at(j).val6) spiegate[std::size_t(j)] = true;
        }
      }
    }
  }

  // Leftover values no signal or restriction explains: a speed board's.
  void indicatori_sotto() {
    for (std::int32_t k = 1; k <= v_.stazioni; ++k) {
      const std::int32_t c = v_.fermate[std::size_t(k)];
      if (c < 0 || !fermata_libera(c)) continue;
      const resto r = resto_di(c);
      if ((r.val2 != 0 || r.val3 != 0 || r.val4 != 0) && r.val5 == 0 && entra(posizione_punto(c), n_))
        v_.sotto[std::size_t(c)] = sotto_fermata::indicatore;
    }
  }

  // A sign text with no board in sight: its board stood where a station's
  // stop cell now stands.
  void cartelli_sotto() {
    std::vector<bool> visto(std::size_t(prima_voce_cartelli) + 1, false);
    for (const cella& c : v_.celle)
      if (c.tipo == cella_cartello && c.val1 >= 1 && c.val1 <= prima_voce_cartelli) visto[std::size_t(c.val1)] = true;
    std::int32_t k = 1;
    for (std::int32_t slot = prima_voce_cartelli; slot >= v_.ultimo_cartello; --slot) {
      if (visto[std::size_t(slot)]) continue;
      for (; k <= v_.stazioni; ++k) {
        const std::int32_t c = v_.fermate[std::size_t(k)];
        if (c < 0 || !fermata_libera(c) || !resto_vale(c, 0, 0) || !entra(posizione_punto(c), n_)) continue;
        v_.sotto[std::size_t(c)] = sotto_fermata::cartello;
        v_.cartello_sotto[std::size_t(c)] = slot;
        ++k;
        break;
      }
    }
  }

  vista& v_;
  std::int32_t n_;
  std::vector<bool> fine_presa_, avviso_preso_, sequenza_presa_;
  // Ends in sight by their values, in order, each found once: the first
  // free one from any place by following taken ones to the next.
  struct fini_libere {
    std::vector<std::int32_t> celle;
    std::vector<std::size_t> dopo;  // for a taken end, a later index to look at
    std::size_t prima_libera(std::size_t k) {
      std::size_t r = k;
      while (r < celle.size() && dopo[r] != r) r = dopo[r];
      while (k != r) {
        const std::size_t prossimo = dopo[k];
        dopo[k] = r;
        k = prossimo;
      }
      return r;
    }
    void prendi(std::size_t k) { dopo[k] = k + 1; }
  };
  std::map<std::tuple<std::int16_t, std::int16_t, std::int16_t>, fini_libere> fini_;
  std::vector<std::int32_t> precedente_;  // per stop cell, the stop cell before it
};

// ---------------------------------------------------------------- the stop

bool linea_vuota(const vista& v) {
  for (const cella& c : v.celle)
    if (c.val8 != 0 || c.montagna != 0 || c.tipo == cella_indicatore_vmax || c.tipo == cella_marcatore_montagna || c.tipo == cella_cartello) return false;
  for (std::int32_t r = 1; r <= prima_voce_cartelli; ++r)
    if (!(v.servizio[std::size_t(r)] == voce_servizio{})) return false;
  return true;
}

bool servizio_vuoto(const vista& v) {
  for (const cella& c : v.celle) {
    if (c.val6 != 0 || c.val7 != 0 || c.val9 != 0) return false;
    switch (c.tipo) {
      case cella_vuota:
      case cella_indicatore_vmax:
      case cella_marcatore_montagna:
      case cella_cartello: break;
      default: return false;
    }
  }
  const voce_servizio &treno = v.servizio[voce_treno], &corsa = v.servizio[voce_corsa];
  return v.stazioni == 0 && treno.valore1 == 0 && treno.valore3 == 0 && corsa.intero1 == 0 && corsa.intero3 == 0 && corsa.intero4 == 0 &&
         corsa.intero5 == 0;
}

// A code the general section stops with, as its values show it: a length
// no track can have, or a signal repetition no entry stores.
std::int32_t codice_generale(const vista& v, std::int32_t lunghezza_celle) {
  const voce_servizio &treno = v.servizio[voce_treno], &corsa = v.servizio[voce_corsa];
  if (treno.valore2 != lunghezza_celle) {
    if (treno.valore2 > regole::lunghezza_massima) return codice::lunghezza_eccessiva;
    const std::int64_t metri = std::int64_t(treno.valore2) + regole::coda_linea;
    if (celle_di(std::int32_t(std::max<std::int64_t>(metri, std::numeric_limits<std::int32_t>::min()))) < 0 || (!v.geometria.empty() && metri < 0))
      return codice::lettura_fallita;
  }
  if (corsa.valore1 % regole::multiplo_posizione != 0) return codice::ripetizione_primo_valore;
  if (corsa.valore2 % regole::multiplo_posizione != 0) return codice::ripetizione_secondo_valore;
  const bool coerente = corsa.valore2 == 0 ? corsa.valore3 == 0 : corsa.valore3 == 4 || corsa.valore3 == 9;
  if (!coerente) return codice::ripetizione_codici;
  return 0;
}

}  // namespace

void analizza(vista& v, std::int32_t lunghezza_celle) {
  stazioni_e_cartelli(v);
  analisi(v).esegui();
  v.marche = marche_da_scrivere(v.celle);

  const bool piano = !v.geometria.empty();
  const std::int32_t generale = codice_generale(v, lunghezza_celle);
  if ((generale != 0 || (piano && !piano_seminato(v.geometria)) || !progressive_ordinabili(v.servizio)) && linea_vuota(v) && servizio_vuoto(v)) {
    v.fine = {fase_arresto::generale, false, generale != 0 ? generale : codice::lettura_fallita, generale != 0, false, generale != 0 ? "" : "5 or 25"};
    return;
  }
  bool oltre = false;
  if (piano) voci_curve(v.geometria, v.n_celle, false, &oltre);
  if (piano && piano_seminato(v.geometria) && (!piano_esteso(v.geometria) || oltre) && servizio_vuoto(v)) {
    v.fine = {fase_arresto::voci_linea, false, oltre ? codice::curva_errata : codice::lettura_fallita, oltre, false, oltre ? "" : "6, 21, 25 or 103"};
    return;
  }
  // A station record the reading stopped at is the last one.
  if (v.stazioni > 0) {
    const stazione_scritta s = scrivi_stazione(v, v.stazioni);
    if (s.codice != 0) v.fine = {fase_arresto::servizio, s.codice == codice::fuori_linea, s.codice, s.certo, s.fine_file, s.possibili};
  }
}

}  // namespace sc::inverso
