// The service description: train data, clock, speed limits, adhesion,
// signals, restrictions, abatement marks and stations.
#include <optional>
#include <utility>
#include <vector>

#include "model/regole.h"
#include "model/codici.h"
#include "model/regole.h"
#include "model/disk.h"
#include "model/nomi_file.h"
#include "model/testo.h"
#include "parsing/contesto_lettura.h"
#include "parsing/guasto.h"
#include "parsing/memo.h"

namespace sc {

namespace {

// A value filled along the track from the cell an entry's position rounds to.
struct riempimento {
  std::int32_t indice = 0;
  // Before the first entry nothing is in force; 0 is used for both lists.
  std::int32_t in_vigore = 0;
};

class lettura_servizio : lettura_file {
 public:
  lettura_servizio(contesto_lettura& ctx, lettore_campi& r, std::string nome)
      : lettura_file(ctx, r, std::move(nome)) {}

  void esegui();

 private:
  dopo_voce voci();
  dopo_voce riempi(enum voce v, riempimento& r, void (lettura_servizio::*scrivi)(std::int32_t));
  dopo_voce frenata();
  dopo_voce vetture();
  dopo_voce velocita();
  dopo_voce aderenza();
  dopo_voce orologio();
  dopo_voce sabbia();
  dopo_voce segnale();
  dopo_voce rallentamento();
  dopo_voce abbattimento();
  dopo_voce stazione();
  dopo_voce marca_stazione(const voce_servizio& s);
  void scrivi_velocita(std::int32_t cella);
  void scrivi_aderenza(std::int32_t cella);
  void chiusura();

  riempimento velocita_;
  riempimento aderenza_;
  std::int32_t k_ = 1;  // number of the next station
};

void lettura_servizio::esegui() {
  bool generale = false;
  for (;;) {
    m_.campo = r_.leggi_testo();
    generale = contiene_nocase(m_.campo, "[generale]");
    if (r_.fine() || generale) break;
    a_.campo_preambolo();
  }
  if (!generale) a_.servizio_senza_generale();
  a_.sezione(sezione_lettura::voci);
  while (!r_.fine() && leggi_chiave()) {
    dopo_voce d = interpreta([&] { return voci(); });
    if (d == dopo_voce::lascia) return;
    if (d == dopo_voce::chiudi) break;
  }
  chiusura();
}

// The entries whose key words the field holds, in table order.
dopo_voce lettura_servizio::voci() {
  return voci_della_chiave<lettura_servizio>(
      this, {{voce::frenata, &lettura_servizio::frenata},      {voce::vetture, &lettura_servizio::vetture},
             {voce::velocita, &lettura_servizio::velocita},    {voce::aderenza, &lettura_servizio::aderenza},
             {voce::orologio, &lettura_servizio::orologio},    {voce::sabbia, &lettura_servizio::sabbia},
             {voce::segnale, &lettura_servizio::segnale},      {voce::rallentamento, &lettura_servizio::rallentamento},
             {voce::abbattimento, &lettura_servizio::abbattimento}, {voce::stazione, &lettura_servizio::stazione}});
}

dopo_voce lettura_servizio::frenata() {
  m_.servizio[voce_treno].valore1 = i32();
  return dopo_voce::avanti;
}

dopo_voce lettura_servizio::vetture() {
  m_.servizio[voce_treno].valore3 = i32();
  return dopo_voce::avanti;
}

dopo_voce lettura_servizio::orologio() {
  voce_servizio& corsa = m_.servizio[voce_corsa];
  corsa.intero3 = i16();
  corsa.intero4 = i16();
  corsa.intero5 = i16();
  a_.ora(corsa.intero3, corsa.intero4, corsa.intero5, true);
  return dopo_voce::avanti;
}

dopo_voce lettura_servizio::sabbia() {
  m_.servizio[voce_corsa].intero1 = i16();
  return dopo_voce::avanti;
}

void lettura_servizio::scrivi_velocita(std::int32_t c) {
  double v = arrotonda(double(velocita_.in_vigore) / regole::passo_velocita);
  if (!(v >= 0 && v <= 255)) throw guasto_lettura(causa_guasto::velocita_fuori_byte, velocita_.in_vigore, 0, regole::velocita_massima);
  m_.celle[std::size_t(c)].val7 = std::uint8_t(v);
}

void lettura_servizio::scrivi_aderenza(std::int32_t c) {
  m_.celle[std::size_t(c)].val9 = bassi8(aderenza_.in_vigore);
}

// A speed limit or an adhesion value from a position on: the cells up to the
// one the position rounds to take the value in force so far, at least one
// cell once the position is past the first.
dopo_voce lettura_servizio::riempi(enum voce v, riempimento& r, void (lettura_servizio::*scrivi)(std::int32_t)) {
  std::int32_t p = i32();
  std::int32_t valore = i32();
  if (!ctx_.entra(p)) return fuori_linea(p);
  std::int64_t n = cella_fill(p);
  const std::int32_t prima = r.indice;
  if (n > 0) {
    do {
      // The speed fill stops short of the last cell; the adhesion fill
      // writes it, and nothing past it.
      if (v == voce::velocita && r.indice >= m_.n_celle) break;
      if (r.indice <= m_.n_celle) (this->*scrivi)(r.indice);
      ++r.indice;
    } while (r.indice < n);
  }
  a_.posizione(p, false);
  a_.cambio(v, n, prima, r.indice);
  if (v == voce::aderenza && bassi8(valore) != valore) a_.valore_cambiato(1, bassi8(valore));
  r.in_vigore = valore;
  return dopo_voce::avanti;
}

dopo_voce lettura_servizio::velocita() { return riempi(voce::velocita, velocita_, &lettura_servizio::scrivi_velocita); }
dopo_voce lettura_servizio::aderenza() { return riempi(voce::aderenza, aderenza_, &lettura_servizio::scrivi_aderenza); }

dopo_voce lettura_servizio::segnale() {
  sc::segnale s;
  for (std::int32_t* x : {&s.posizione, &s.sx, &s.s1, &s.s2, &s.s3, &s.rapp, &s.dx, &s.d1, &s.d2, &s.d3, &s.tempo}) *x = i32();
  if (!ctx_.entra(s.posizione)) return fuori_linea(s.posizione);
  if (auto no = memo_segnale(m_, s)) return rifiutata(*no, s.posizione);
  // Any code in force ends reading here, also one left by the line stage.
  if (m_.codice_errore > 0) return lascia(m_.codice_errore, s.posizione, causa_codice::codice_precedente);
  a_.posizione(s.posizione, false);
  a_.tempo_segnale(s.tempo);
  auto sedici = [&](formula f, std::int64_t esatto) {
    if (bassi16(esatto) != esatto) a_.ridotto(f, esatto, bassi16(esatto), 16);
  };
  sedici(formula::aspetto_1, std::int64_t(s.s1) * 10 + s.d1);
  sedici(formula::aspetto_2, std::int64_t(s.s2) * 10 + s.d2);
  sedici(formula::aspetto_3, std::int64_t(s.s3) * 10 + s.d3);
  sedici(formula::segnali, std::int64_t(s.rapp) * 10 + std::int64_t(s.sx) * 3 + s.dx);
  const std::int64_t tempo = s.tempo >= 1 && s.tempo <= regole::tempo_minimo_sotto ? regole::tempo_minimo : s.tempo;
  if (s.sx == regole::sx_con_tempo && bassi8(tempo) != tempo) a_.valore_cambiato(10, bassi8(tempo));
  const std::int64_t marca = (std::int64_t(s.sx) * 3 + s.dx) * 10 + regole::marche_segnale;
  if (bassi8(marca) != marca) a_.ridotto(formula::marca_approccio, marca, bassi8(marca), 8);
  return dopo_voce::avanti;
}

dopo_voce lettura_servizio::rallentamento() {
  sc::rallentamento r;
  for (std::int32_t* x : {&r.x, &r.v, &r.l, &r.f_tt, &r.f_ta, &r.d_v}) *x = i32();
  if (!ctx_.entra(r.x)) return fuori_linea(r.x);
  if (auto no = memo_rallentamento(m_, r)) return rifiutata(*no, r.x);
  if (m_.codice_errore > 0) return lascia(m_.codice_errore, r.x, causa_codice::codice_precedente);
  if (r.x <= regole::inizio_con_avviso) a_.rallentamento_senza_avviso(r.f_ta);
  a_.posizione(r.x, false);
  a_.posizione(std::int64_t(r.x) + r.l, true);
  for (auto [campo, valore] : {std::pair<std::size_t, std::int32_t>{1, r.v}, {3, r.f_tt}, {5, r.d_v}})
    if (bassi16(valore) != valore) a_.valore_cambiato(campo, bassi16(valore));
  return dopo_voce::avanti;
}

dopo_voce lettura_servizio::abbattimento() {
  std::int32_t p = i32();
  std::int32_t w = i32();
  if (!ctx_.entra(p)) return fuori_linea(p);
  const std::int64_t k = cella_fill(p);
  cella& c = cella_controllata(m_, k);
  if (!libera(c)) return rifiutata({codice::abbattimento_occupato, k, c.tipo}, p);
  if (w > 0) {
    c.tipo = cella_abbattimento;
    c.val1 = bassi16(w);
  } else {
    c.tipo = cella_abbattimento_nullo;
  }
  segna_occupata(m_, k);
  a_.posizione(p, false);
  if (w > 0 && bassi16(w) != w) a_.valore_cambiato(1, bassi16(w));
  return dopo_voce::avanti;
}

dopo_voce lettura_servizio::stazione() {
  a_.stazione(k_, ctx_.prossimo_testo);
  // Element k would hold a sign text already (80 boards): the table is full.
  if (k_ > ctx_.prossimo_testo) return lascia(codice::stazioni_troppe);
  voce_servizio& s = m_.servizio[std::size_t(k_)];
  s.valore3 = i32();
  const std::int32_t p = s.valore3;
  if (!ctx_.entra(p, regole::margine_stazione)) return fuori_linea(p);
  if (p % regole::multiplo_posizione != 0) return lascia(codice::stazione_posizione, p);
  s.tipo_voce = u8();
  const std::int32_t lunghezza = i32();
  if (lunghezza % regole::multiplo_lunghezza_stazione != 0) return lascia(codice::stazione_lunghezza, p);
  s.opzione = u8();
  s.byte4 = u8();
  s.byte3 = u8();
  s.intero1 = i16();
  s.intero2 = i16();
  s.byte1 = u8();
  s.intero3 = i16();
  s.intero4 = i16();
  s.intero5 = i16();
  s.byte2 = u8();
  const std::int32_t ore = i32();
  const std::int32_t minuti = i32();
  const std::int32_t secondi = i32();
  s.codice = somma_32(somma_32(prodotto_32(ore, 3600), prodotto_32(minuti, 60)), secondi);
  a_.ora(ore, minuti, secondi, false);
  // The service file stores a 16-bit length: a longer name is refused before
  // it is stored.
  std::string nome = testo();
  if (nome.size() > regole::testo_massimo)
    throw guasto_lettura(causa_guasto::testo_troppo_lungo, std::int64_t(nome.size()), 0, regole::testo_massimo);
  s.nome = std::move(nome);

  std::int64_t inizio, fine;
  switch (s.tipo_voce) {
    case 5:
    case 6:
      inizio = std::int64_t(p) - lunghezza;
      fine = std::int64_t(p) + regole::coda_stazione_corta;
      s.byte3 = 0;
      break;
    case 7:
    case 8:
      inizio = std::int64_t(p) - lunghezza;
      fine = std::int64_t(p) + lunghezza;
      s.byte3 = 0;
      break;
    default:
      inizio = std::int64_t(p) - lunghezza / 2;
      fine = std::int64_t(p) + lunghezza / 2 + (s.byte3 != 0 ? regole::estensione_fine : 0);
  }
  s.valore1 = in_32(inizio);
  s.valore2 = in_32(fine);
  if (lunghezza < regole::lunghezza_stazione_lunga) s.byte4 = 0;
  if (k_ == 1) s.byte3 = s.byte4 = 0;
  auto troppo_vicina = [&] {
    return k_ > 1 && differenza_32(s.valore1, regole::spazio_stazioni) < m_.servizio[std::size_t(k_ - 1)].valore2;
  };
  // check drops a station too close to the previous one before it marks its
  // cells, so that its stop cell does not stand in the way of later items.
  if (recupera() && troppo_vicina()) return lascia(codice::stazioni_vicine, p);
  if (dopo_voce d = marca_stazione(s); d != dopo_voce::avanti) return d;
  if (troppo_vicina()) return lascia(codice::stazioni_vicine, p);
  a_.posizione(p, false);
  a_.posizione(s.valore2, true);
  ++k_;
  if (k_ >= ctx_.prossimo_testo) return lascia(codice::stazioni_troppe);
  return dopo_voce::avanti;
}

// Approach marks 81 to 84 and the stop cell of a station that marks cells.
dopo_voce lettura_servizio::marca_stazione(const voce_servizio& s) {
  if (s.tipo_voce >= regole::tipo_stazione_senza_celle) return dopo_voce::avanti;
  const double fine = s.valore2;
  if (s.tipo_voce != 5 && s.tipo_voce != 6) {
    for (int i = 1; i <= regole::marche_stazione; ++i) {
      const std::int64_t j = std::int64_t(arrotonda(fine / regole::metri_cella - 1 - i));
      if (j <= 1) continue;
      cella_controllata(m_, j);
      marca_approccio(m_, j, std::uint8_t(regole::marca_stazione_prima - 1 + i));
    }
  }
  std::int64_t j = std::int64_t(arrotonda(fine / regole::metri_cella - 1));
  if (j <= 1) return lascia(codice::stazione_troppo_presto);
  cella& fermata = cella_controllata(m_, j);
  if (!libera(fermata)) a_.cella_sostituita(j);
  fermata.tipo = cella_stazione;
  fermata.val1 = bassi16(k_);
  segna_occupata(m_, j);
  return dopo_voce::avanti;
}

void lettura_servizio::chiusura() {
  chiudi_file();
  do scrivi_velocita(velocita_.indice++);
  while (velocita_.indice < m_.n_celle - 2);
  // An adhesion index already past the last cell writes nothing more.
  do {
    if (aderenza_.indice <= m_.n_celle) scrivi_aderenza(aderenza_.indice);
  } while (++aderenza_.indice < m_.n_celle - 2);
  bool non_multipla = false;
  for (int v = voce_progressiva_tre; v <= voce_progressiva_uno; ++v)
    non_multipla = non_multipla || m_.servizio[v].valore1 % regole::multiplo_posizione != 0 ||
                   m_.servizio[v].valore2 % regole::multiplo_posizione != 0;
  if (non_multipla) {
    m_.codice_errore = codice::progressiva_non_multipla;
    a_.progressive_non_multiple();
  }
}

}  // namespace

void leggi_descrizione_servizio(contesto_lettura& ctx) {
  const std::string nome = nome_treno_txt(ctx.m);
  std::optional<std::string> testo = ctx.disk.read(nome);
  if (!testo) throw guasto_lettura(causa_guasto::file_mancante);
  lettura_servizio lettura(ctx, ctx.apri(nome, std::move(*testo), parte_descrizione::servizio), nome);
  lettura.esegui();
}

}  // namespace sc
