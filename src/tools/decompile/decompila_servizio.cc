// The service description of a compiled scenario: train and run data, speed
// limits and adhesion, stations, signals, restrictions and abatement marks.
#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <queue>

#include "model/arrotonda.h"
#include "model/codici.h"
#include "model/modello.h"
#include "tools/decompile/decompila_parti.h"

namespace sc::inverso {

namespace {

// ---------------------------------------------------------------- stations

// The seventeen fields of a station entry.
struct campi_stazione {
  std::int64_t posizione = 0, tipo = 0, lunghezza = 0;
  std::array<std::int64_t, 10> campi{};  // fields 4 to 13
  std::int64_t ore = 0, minuti = 0, secondi = 0;
  std::string nome;
};

// The record the reader makes of the fields, as station k.
voce_servizio letta(const campi_stazione& f, std::int32_t k) {
  voce_servizio s;
  s.valore3 = std::int32_t(f.posizione);
  s.tipo_voce = std::uint8_t(f.tipo);
  s.opzione = std::uint8_t(f.campi[0]);
  s.byte4 = std::uint8_t(f.campi[1]);
  s.byte3 = std::uint8_t(f.campi[2]);
  s.intero1 = std::int16_t(f.campi[3]);
  s.intero2 = std::int16_t(f.campi[4]);
  s.byte1 = std::uint8_t(f.campi[5]);
  s.intero3 = std::int16_t(f.campi[6]);
  s.intero4 = std::int16_t(f.campi[7]);
  s.intero5 = std::int16_t(f.campi[8]);
  s.byte2 = std::uint8_t(f.campi[9]);
  s.codice = std::int32_t(f.ore * 3600 + f.minuti * 60 + f.secondi);
  s.nome = f.nome;
  std::int64_t inizio, fine;
  switch (f.tipo) {
    case 5:
    case 6:
      inizio = f.posizione - f.lunghezza, fine = f.posizione + regole::coda_stazione_corta, s.byte3 = 0;
      break;
    case 7:
    case 8:
      inizio = f.posizione - f.lunghezza, fine = f.posizione + f.lunghezza, s.byte3 = 0;
      break;
    default:
      inizio = f.posizione - f.lunghezza / 2;
      fine = f.posizione + f.lunghezza / 2 + (s.byte3 != 0 ? regole::estensione_fine : 0);
  }
  s.valore1 = std::int32_t(inizio);
  s.valore2 = std::int32_t(fine);
  if (f.lunghezza < regole::lunghezza_stazione_lunga) s.byte4 = 0;
  if (k == 1) s.byte3 = s.byte4 = 0;
  return s;
}

// The fields of a complete record: the length comes back from the start,
// the end extension from the end, and the fields the reader clears are
// written as stored (0) unless they made the end longer.
campi_stazione campi_di(const voce_servizio& s, std::int32_t k) {
  campi_stazione f;
  f.posizione = s.valore3;
  f.tipo = s.tipo_voce;
  std::int64_t estensione = s.byte3;
  switch (s.tipo_voce) {
    case 5:
    case 6:
    case 7:
    case 8:
      f.lunghezza = f.posizione - s.valore1;
      estensione = 0;
      break;
    default:
      f.lunghezza = 2 * (f.posizione - s.valore1);
      if (k == 1) estensione = std::int64_t(s.valore2) - (f.posizione + f.lunghezza / 2) == regole::estensione_fine ? 1 : 0;
  }
  f.campi = {s.opzione, s.byte4, estensione, s.intero1, s.intero2, s.byte1, s.intero3, s.intero4, s.intero5, s.byte2};
  // Hours, minutes and seconds that add up to the time (each may be
  // negative with it).
  f.ore = s.codice / 3600, f.minuti = s.codice % 3600 / 60, f.secondi = s.codice % 60;
  f.nome = s.nome;
  return f;
}

riga riga_stazione(const campi_stazione& f, std::size_t campi = 17) {
  std::vector<std::string> valori = {numero(f.posizione), numero(f.tipo), numero(f.lunghezza)};
  for (std::int64_t c : f.campi) valori.push_back(numero(c));
  for (std::int64_t t : {f.ore, f.minuti, f.secondi}) valori.push_back(numero(t));
  valori.push_back(campo_testo(f.nome));
  valori.resize(std::min(valori.size(), campi));
  return {"stazione", std::move(valori)};
}

// A value too large for a field of the station entry: fields 4 to 13 are
// 8 or 16 bits wide, the rest 32.
std::string fuori_campo(std::size_t campo) {
  switch (campo) {
    case 4:
    case 5:
    case 6:
    case 9:
    case 13: return "256";
    case 7:
    case 8:
    case 10:
    case 11:
    case 12: return "32768";
    default: return "2147483648";
  }
}

// A record the reader stopped filling: the fields up to the last one
// stored, and the one that stopped it.
stazione_scritta stazione_interrotta(const vista& v, const voce_servizio& s) {
  stazione_scritta w;
  campi_stazione f = campi_di(s, 0);
  f.lunghezza = 0;
  f.campi[2] = s.byte3;
  // The last field stored, in reading order (the length is not stored).
  const std::array<bool, 17> scritto = {true,        s.tipo_voce != 0, false,        s.opzione != 0, s.byte4 != 0,   s.byte3 != 0,
                                        s.intero1 != 0, s.intero2 != 0, s.byte1 != 0, s.intero3 != 0, s.intero4 != 0, s.intero5 != 0,
                                        s.byte2 != 0, s.codice != 0,  false,          false,          !s.nome.empty()};
  std::size_t ultimo = 0;
  for (std::size_t i = 0; i < scritto.size(); ++i)
    if (scritto[i]) ultimo = i;
  w.certo = false;
  if (ultimo == 0 && !entra(s.valore3, v.n_celle, regole::margine_stazione)) {
    w.codice = codice::fuori_linea, w.certo = true;
    w.voce = riga_stazione(f, 1);
  } else if (ultimo == 0 && s.valore3 % regole::multiplo_posizione != 0) {
    w.codice = codice::stazione_posizione, w.certo = true;
    w.voce = riga_stazione(f, 1);
  } else if (ultimo <= 1) {
    // A length no station has; a kind too large would stop it with 25.
    w.codice = codice::stazione_lunghezza, w.possibili = "9 or 25";
    f.lunghezza = regole::multiplo_lunghezza_stazione / 2;
    w.voce = riga_stazione(f, 3);
  } else if (ultimo == 13) {
    // The name read past the end of the file.
    w.codice = codice::lettura_fallita, w.certo = true;
    w.fine_file = true;
    w.voce = riga_stazione(f, 16);
  } else if (ultimo < 13) {
    // Only a field the reader cannot take stops a record between its fields.
    w.codice = codice::lettura_fallita, w.certo = true;
    const std::size_t campo = ultimo + 2;  // 1-based: the field after the last stored
    w.voce = riga_stazione(f, campo);
    w.voce.valori.back() = fuori_campo(campo);
  }
  return w;
}

}  // namespace

std::int32_t cella_fermata(const voce_servizio& s, std::int32_t n_celle) {
  if (s.tipo_voce >= regole::tipo_stazione_senza_celle) return -1;
  const std::int64_t j = std::int64_t(arrotonda(double(s.valore2) / regole::metri_cella - 1));
  return j <= 1 || j > n_celle ? -1 : std::int32_t(j);
}

stazione_scritta scrivi_stazione(const vista& v, std::int32_t k) {
  const voce_servizio& s = v.servizio[std::size_t(k)];
  const campi_stazione f = campi_di(s, k);
  const bool completa = f.lunghezza % regole::multiplo_lunghezza_stazione == 0 && s.valore3 % regole::multiplo_posizione == 0 &&
                        entra(s.valore3, v.n_celle, regole::margine_stazione) && letta(f, k) == s;
  if (!completa && s.valore1 == 0 && s.valore2 == 0) {
    stazione_scritta w = stazione_interrotta(v, s);
    if (w.codice != 0) return w;
  }
  stazione_scritta w;
  w.voce = riga_stazione(f);
  if (s.tipo_voce < regole::tipo_stazione_senza_celle) {
    const double fine = s.valore2;
    if (s.tipo_voce != 5 && s.tipo_voce != 6) {
      // The nearest mark is written first: past the last cell, none is.
      if (std::int64_t(arrotonda(fine / regole::metri_cella - 2)) > v.n_celle) {
        w.codice = codice::lettura_fallita;
        return w;
      }
      for (int i = 1; i <= regole::marche_stazione; ++i) {
        const std::int64_t j = std::int64_t(arrotonda(fine / regole::metri_cella - 1 - i));
        if (j > 1) w.segni.push_back({std::int32_t(j), std::uint8_t(regole::marca_stazione_prima - 1 + i)});
      }
    }
    const std::int64_t j = std::int64_t(arrotonda(fine / regole::metri_cella - 1));
    if (j <= 1) w.codice = codice::stazione_troppo_presto;
    else if (j > v.n_celle) w.codice = codice::lettura_fallita;
    else w.fermata = std::int32_t(j);
    if (w.codice != 0) return w;
  }
  if (k > 1 && std::int64_t(s.valore1) - regole::spazio_stazioni < v.servizio[std::size_t(k) - 1].valore2) w.codice = codice::stazioni_vicine;
  else if (k + 1 >= v.ultimo_cartello - 1) w.codice = codice::stazioni_troppe;
  return w;
}

// ---------------------------------------------------------------- signals

namespace {

std::int32_t codice_semplice(std::int16_t val4) { return ((val4 % 10) + 10) % 10; }

std::uint8_t segno(std::int32_t codice, int b) { return bassi8(std::int64_t(codice) * 10 + b); }

marche segni_segnale(std::int32_t c, std::int32_t codice) {
  marche m;
  for (int b = 1; b <= regole::marche_segnale; ++b)
    if (c - regole::passo_marche_segnale * b >= 0) m.push_back({c - regole::passo_marche_segnale * b, segno(codice, b)});
  return m;
}

std::vector<std::int32_t> segnali_in_vista(const vista& v) {
  std::vector<std::int32_t> r;
  for (std::int32_t c = 0; c <= v.n_celle; ++c)
    if (v.celle[std::size_t(c)].tipo == cella_segnale && entra(posizione_punto(c), v.n_celle)) r.push_back(c);
  return r;
}

// The marks repeat after 64 tens of the code.
constexpr std::int32_t decine_codice = 64;

}  // namespace

namespace {

// Per cell, the stations and signals whose mark is the stored one: signals
// in sight with their plain codes, those under stop cells with the codes
// found for them.
std::vector<int> spiegazioni(const vista& v) {
  std::vector<int> r(v.celle.size(), 0);
  auto conta = [&](const marche& m) {
    for (auto [j, valore] : m) r[std::size_t(j)] += valore == v.celle[std::size_t(j)].val6;
  };
  for (std::int32_t k = 1; k <= v.stazioni; ++k) conta(scrivi_stazione(v, k).segni);
  for (std::int32_t c : segnali_in_vista(v)) conta(segni_segnale(c, codice_semplice(v.celle[std::size_t(c)].val4)));
  for (std::int32_t c = 0; c <= v.n_celle; ++c)
    if (v.sotto[std::size_t(c)] == sotto_fermata::segnale) conta(segni_segnale(c, v.codice_sotto[std::size_t(c)]));
  return r;
}

// The approach code of a signal in sight: the last digit of val4, or with
// the tens that give most of the marks in its cells that no one else
// writes (the plain code on a tie). A mark only the plain code gives pins
// the tens: every other would lose it.
std::int32_t codice_in_vista(const vista& v, std::int32_t c, const std::vector<int>& spiegati) {
  const std::int32_t base = codice_semplice(v.celle[std::size_t(c)].val4);
  std::int32_t scelto = base;
  int migliori = -1;
  for (std::int32_t decine = 0; decine < decine_codice; ++decine) {
    int uguali = 0;
    for (auto [j, valore] : segni_segnale(c, base + 10 * decine)) {
      const std::uint8_t visto = v.celle[std::size_t(j)].val6;
      const bool semplice = segno(base, (c - j) / regole::passo_marche_segnale) == visto;
      const int altri = spiegati[std::size_t(j)] - semplice;
      uguali += altri == 0 && valore == visto;
      if (decine == 0 && semplice && altri == 0) return base;
    }
    if (uguali > migliori) migliori = uguali, scelto = base + 10 * decine;
  }
  return scelto;
}

}  // namespace

std::vector<bool> marche_spiegate(const vista& v, bool decine) {
  const std::vector<int> spiegati = spiegazioni(v);
  std::vector<bool> r(v.celle.size(), false);
  for (std::size_t j = 0; j < r.size(); ++j) r[j] = spiegati[j] > 0;
  if (decine)
    for (std::int32_t c : segnali_in_vista(v))
      for (auto [j, valore] : segni_segnale(c, codice_in_vista(v, c, spiegati))) r[std::size_t(j)] = r[std::size_t(j)] || valore == v.celle[std::size_t(j)].val6;
  return r;
}

std::optional<std::int32_t> codice_da_marche(const vista& v, std::int32_t c, std::int16_t val4, const std::vector<bool>& spiegate, bool con_decine) {
  const std::int32_t base = codice_semplice(val4);
  std::optional<std::int32_t> scelto;
  int migliori = 0;
  for (std::int32_t decine = 0; decine < (con_decine ? decine_codice : 1); ++decine) {
    int uguali = 0;
    for (auto [j, valore] : segni_segnale(c, base + 10 * decine))
      uguali += !spiegate[std::size_t(j)] && v.celle[std::size_t(j)].val6 != 0 && valore == v.celle[std::size_t(j)].val6;
    if (uguali > migliori) migliori = uguali, scelto = base + 10 * decine;
  }
  return scelto;
}

namespace {

// The objects the service description writes, in the order an author
// usually writes them: stations, restrictions, marks, signals.
struct scrittore {
  enum tipo_t { stazione, rallentamento, abbattimento, segnale } tipo;
  riga voce;
  marche segni;
  std::int32_t prima_di = 0;  // the station it must come before (its stop cell covers part of it), 0 for none
  std::int32_t cella = 0;     // a signal's cell
  std::int32_t codice = 0;    // a signal's approach code
};

// The approach code sx * 3 + dx of each signal: the last digit of val4
// (the rest is rapp * 10), unless marks no one else writes show more tens.
// A code changes only when it explains more stored marks than it leaves
// unexplained, so overlapping marks keep the plain codes.
void codici_segnali(const vista& v, std::vector<scrittore>& w) {
  std::vector<int> spiegati(v.celle.size(), 0);  // writers whose mark is the stored one
  auto conta = [&](const marche& m, int d) {
    for (auto [j, valore] : m) spiegati[std::size_t(j)] += d * (valore == v.celle[std::size_t(j)].val6);
  };
  for (const scrittore& s : w) conta(s.segni, 1);
  // Each change explains one mark more; a few rounds settle what a compile
  // leaves.
  constexpr int giri_massimi = 16;
  bool cambiato = true;
  for (int giro = 0; cambiato && giro < giri_massimi; ++giro) {
    cambiato = false;
    for (auto it = w.rbegin(); it != w.rend(); ++it) {
      scrittore& s = *it;
      if (s.tipo != scrittore::segnale) continue;
      auto guadagno = [&](std::int32_t codice) {
        int g = 0;
        for (auto [j, valore] : segni_segnale(s.cella, codice)) {
          const std::uint8_t visto = v.celle[std::size_t(j)].val6;
          const bool mio = segno(s.codice, (s.cella - j) / regole::passo_marche_segnale) == visto;
          const int altri = spiegati[std::size_t(j)] - mio;
          if (altri > 0) continue;
          // A mark only this code gives pins it.
          if (mio && valore != visto) return -1;
          g += (valore == visto) - mio;
        }
        return g;
      };
      std::int32_t migliore = s.codice;
      int massimo = 0;
      for (std::int32_t decine = 0; decine < decine_codice; ++decine) {
        const std::int32_t codice = codice_semplice(std::int16_t(s.codice)) + 10 * decine;
        if (codice == s.codice) continue;
        const int g = guadagno(codice);
        if (g > massimo) massimo = g, migliore = codice;
      }
      if (migliore == s.codice) continue;
      conta(s.segni, -1);
      s.codice = migliore;
      s.segni = segni_segnale(s.cella, s.codice);
      conta(s.segni, 1);
      cambiato = true;
    }
  }
}

riga riga_segnale(const cella& x, std::int32_t c, std::int32_t codice, std::int16_t val1) {
  const std::int32_t rapp = (std::int32_t(x.val4) - codice) / 10;
  // Only sx = 2 keeps the time; a time of 1 to 100 would become 101.
  const std::int32_t sx = x.val5 != 0 ? regole::sx_con_tempo : std::min(codice / 3, regole::sx_con_tempo);
  const std::int32_t tempo = sx != regole::sx_con_tempo ? 0 : x.val5 >= 1 && x.val5 <= regole::tempo_minimo_sotto ? x.val5 + 256 : x.val5;
  return {"segnale",
          {numero(posizione_punto(c)), numero(sx), numero(val1 / 10), numero(x.val2 / 10), numero(x.val3 / 10), numero(rapp),
           numero(codice - 3 * sx), numero(val1 % 10), numero(x.val2 % 10), numero(x.val3 % 10), numero(tempo)}};
}

// A restriction's entry: its start at the centre of its cell, except where
// the warning board or its sequence needs another position in the cell.
std::optional<riga> riga_rallentamento(const vista& v, const rallentamento_celle& r) {
  const std::int64_t s = r.inizio;
  std::int64_t x = posizione_punto(s);
  // From a start half a cell before its cell's centre (s even, a position
  // ending in 25 mod 100) the sequence stands one cell further off.
  if (r.sequenza >= 0 && r.sequenza == r.inizio - celle_avviso - 2) x = posizione_punto(s) - mezza_cella;
  // A board comes with every start past 1500 m: in the cell of 1500 m, a
  // start 10 m further on has one.
  if (r.avviso && x <= regole::inizio_con_avviso && cella_di(x + poco_dopo) == s) x += poco_dopo;
  if (!entra(x, v.n_celle)) return std::nullopt;
  const std::int64_t lunghezza = posizione_punto(r.fine) - x;
  return riga{"rallentamento", {numero(x), numero(r.v), numero(lunghezza), numero(r.f_tt), numero(r.sequenza >= 0 ? 1 : 0), numero(r.d_v)}};
}

// The first station whose stop cell covers one of the cells.
std::int32_t prima_stazione(const vista& v, const std::vector<std::int32_t>& celle) {
  std::int32_t k = 0;
  for (std::int32_t c : celle)
    if (c >= 0 && c <= v.n_celle && v.sotto[std::size_t(c)] != sotto_fermata::nulla) {
      const std::int32_t s = v.prima_fermata[std::size_t(c)];
      if (s > 0 && (k == 0 || s < k)) k = s;
    }
  return k;
}

// The order of writing, built from the end: a writer can come last of
// those left when every cell it marks that no later writer has settled
// holds its value, when no station it must come before is left, and, for a
// station, when it is the last station left. Taking such a writer never
// keeps another from its turn, so this finds an order whenever one exists;
// among those that can come last the latest of the usual order is taken,
// which gives the usual order back when nothing requires another. A
// writer that stops the reading comes last of all.
std::vector<std::size_t> ordine_scrittura(const vista& v, const std::vector<scrittore>& w, std::optional<std::size_t> ultimo) {
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
  // Stations by number, and who waits for each.
  std::vector<std::size_t> stazione(std::size_t(v.stazioni) + 1, n);
  std::vector<std::vector<std::size_t>> in_attesa(std::size_t(v.stazioni) + 1);
  std::size_t stazioni = 0;  // stations left
  for (std::size_t i = 0; i < n; ++i) {
    if (w[i].tipo == scrittore::stazione) ++stazioni, stazione[stazioni] = i;
    if (w[i].prima_di > 0) in_attesa[std::size_t(w[i].prima_di)].push_back(i);
  }
  std::vector<bool> fatto(n, false), in_coda(n, false);
  auto ammesso = [&](std::size_t i) {
    if (fatto[i]) return false;
    if (w[i].tipo == scrittore::stazione && stazione[stazioni] != i) return false;
    const std::int32_t k = w[i].prima_di;
    return k == 0 || std::size_t(k) > stazioni || stazione[std::size_t(k)] == n;
  };
  std::priority_queue<std::size_t> pronti;  // writers that can come last, latest first
  auto proponi = [&](std::size_t i) {
    if (!in_coda[i] && contrari[i] == 0 && ammesso(i)) pronti.push(i), in_coda[i] = true;
  };
  std::vector<std::size_t> inverso;
  auto prendi = [&](std::size_t i) {
    fatto[i] = true;
    inverso.push_back(i);
    if (w[i].tipo == scrittore::stazione) {
      const std::size_t presa = stazioni--;
      for (std::size_t a : in_attesa[presa]) proponi(a);
      if (stazioni > 0) proponi(stazione[stazioni]);
    }
    for (auto [c, valore] : w[i].segni) {
      const std::size_t j = std::size_t(c);
      if (decisa[j]) continue;
      decisa[j] = true;
      for (std::size_t k : per_cella[j])
        if (!giusto(k, j) && --contrari[k] == 0) proponi(k);
    }
  };
  if (ultimo) prendi(*ultimo);
  for (std::size_t i = 0; i < n; ++i) proponi(i);
  while (inverso.size() < n) {
    while (!pronti.empty() && fatto[pronti.top()]) pronti.pop();
    if (!pronti.empty()) {
      const std::size_t i = pronti.top();
      pronti.pop();
      if (ammesso(i)) prendi(i);
      else in_coda[i] = false;
      continue;
    }
    // None fits (the marks contradict each other): the latest allowed.
    std::size_t i = n;
    while (i > 0 && !ammesso(i - 1)) --i;
    prendi(i > 0 ? i - 1 : 0);
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

namespace {

// The closing fills run unless the reading left the service description.
bool chiusura_servizio(const vista& v) { return v.fine.fase != fase_arresto::servizio || v.fine.chiusura; }

}  // namespace

std::vector<riga> voci_aderenza(const vista& v) {
  std::vector<int> valori;
  for (const cella& c : v.celle) valori.push_back(c.val9);
  std::vector<riga> r;
  for (auto [c, valore] : cambi_riempimento(valori, chiusura_servizio(v), tipo_riempimento::aderenza))
    r.push_back({"aderenza", {numero(metro_cella(c)), numero(valore)}});
  return r;
}

std::vector<riga> voci_velocita(const vista& v) {
  std::vector<int> valori;
  for (const cella& c : v.celle) valori.push_back(c.val7);
  std::vector<riga> r;
  for (auto [c, valore] : cambi_riempimento(valori, chiusura_servizio(v), tipo_riempimento::velocita))
    r.push_back({"velocita", {numero(metro_cella(c)), numero(5 * valore)}});
  return r;
}

std::vector<sezione> sezioni_oggetti(const vista& v) {
  std::vector<scrittore> w;
  std::optional<std::size_t> ultimo;
  for (std::int32_t k = 1; k <= v.stazioni; ++k) {
    stazione_scritta s = scrivi_stazione(v, k);
    // A station off the track, or one that stops the reading, is the last entry read.
    if (s.codice != 0) ultimo = w.size();
    w.push_back({scrittore::stazione, std::move(s.voce), std::move(s.segni)});
  }
  for (const rallentamento_celle& r : v.rallentamenti)
    if (auto voce = riga_rallentamento(v, r)) {
      std::vector<std::int32_t> celle = {r.inizio, r.fine};
      if (r.avviso) celle.push_back(r.inizio - celle_avviso);
      for (int i = 0; r.sequenza >= 0 && i < regole::celle_sequenza; ++i) celle.push_back(r.sequenza - i);
      w.push_back({scrittore::rallentamento, std::move(*voce), {}, prima_stazione(v, celle)});
    }
  for (auto [c, valore] : v.marche.marche)
    if (entra(metro_cella(c), v.n_celle)) w.push_back({scrittore::abbattimento, {"abbattimento", {numero(metro_cella(c)), numero(valore)}}, {}});
  // Signals in sight and under stop cells, by position.
  std::vector<std::int32_t> celle = segnali_in_vista(v);
  for (std::int32_t c = 0; c <= v.n_celle; ++c)
    if (v.sotto[std::size_t(c)] == sotto_fermata::segnale) celle.push_back(c);
  std::sort(celle.begin(), celle.end());
  const std::size_t primo_segnale = w.size();
  // The plain codes first, then more tens where the marks show them.
  const std::vector<int> spiegati = spiegazioni(v);
  for (std::int32_t c : celle) {
    const bool sotto = v.celle[std::size_t(c)].tipo == cella_stazione;
    const std::int32_t codice = sotto ? v.codice_sotto[std::size_t(c)] : codice_in_vista(v, c, spiegati);
    scrittore s{scrittore::segnale, {}, segni_segnale(c, codice), sotto ? v.prima_fermata[std::size_t(c)] : 0, c, codice};
    w.push_back(std::move(s));
  }
  codici_segnali(v, w);
  for (std::size_t i = primo_segnale; i < w.size(); ++i) {
    const cella& x = v.celle[std::size_t(w[i].cella)];
    // Under a stop cell the first value is lost: any will do.
    w[i].voce = riga_segnale(x, w[i].cella, w[i].codice, x.tipo == cella_stazione ? std::int16_t(0) : x.val1);
  }

  std::vector<sezione> r;
  for (std::size_t i : ordine_scrittura(v, w, ultimo)) {
    const char* titolo = w[i].tipo == scrittore::stazione ? "[stazioni]" : w[i].tipo == scrittore::segnale ? "[segnali]" : "[rallentamenti]";
    if (r.empty() || r.back().titolo != titolo) r.push_back({titolo, {}});
    r.back().righe.push_back(std::move(w[i].voce));
  }
  return r;
}

}  // namespace sc::inverso
