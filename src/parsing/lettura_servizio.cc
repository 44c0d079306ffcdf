// The service description: train data, clock, speed limits, adhesion,
// signals, restrictions, abatement marks and stations.
#include <limits>
#include <optional>

#include "model/arrotonda.h"
#include "model/codici.h"
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
  dopo_voce riempi(riempimento& r, void (lettura_servizio::*scrivi)(std::int32_t));
  dopo_voce velocita();
  dopo_voce aderenza();
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
  for (;;) {
    m_.campo = r_.leggi_testo();
    if (r_.fine() || contiene_nocase(m_.campo, "[generale]")) break;
  }
  while (!r_.fine() && leggi_chiave(r_, m_.campo)) {
    dopo_voce d = voci();
    if (d == dopo_voce::lascia) return;
    if (d == dopo_voce::chiudi) break;
  }
  chiusura();
}

// The entries whose key words the field holds, in table order.
dopo_voce lettura_servizio::voci() {
  const std::string campo = m_.campo;
  auto& s = m_.servizio;
  dopo_voce d = dopo_voce::avanti;
  auto esegui_se = [&](bool vale, dopo_voce (lettura_servizio::*voce)()) {
    if (d == dopo_voce::avanti && vale) d = (this->*voce)();
  };
  if (contiene_nocase(campo, "frenata") && contiene_nocase(campo, "massa")) s[voce_treno].valore1 = r_.leggi_i32();
  if (contiene_nocase(campo, "vetture")) s[voce_treno].valore3 = r_.leggi_i32();
  esegui_se(contiene_nocase(campo, "velocit"), &lettura_servizio::velocita);
  esegui_se(contiene_nocase(campo, "aderenza"), &lettura_servizio::aderenza);
  if (d != dopo_voce::avanti) return d;
  if (contiene_nocase(campo, "orologio")) {
    s[voce_corsa].intero3 = r_.leggi_i16();
    s[voce_corsa].intero4 = r_.leggi_i16();
    s[voce_corsa].intero5 = r_.leggi_i16();
  }
  if (contiene_nocase(campo, "sabbia")) s[voce_corsa].intero1 = r_.leggi_i16();
  esegui_se(contiene_nocase(campo, "segnale"), &lettura_servizio::segnale);
  esegui_se(contiene_nocase(campo, "rallentamento"), &lettura_servizio::rallentamento);
  esegui_se(contiene_nocase(campo, "abbattimento"), &lettura_servizio::abbattimento);
  esegui_se(contiene_nocase(campo, "stazione"), &lettura_servizio::stazione);
  return d;
}

void lettura_servizio::scrivi_velocita(std::int32_t c) {
  double v = arrotonda(double(velocita_.in_vigore) / 5);
  if (!(v >= 0 && v <= 255)) throw guasto_lettura("speed limit too large for its field");
  m_.celle[std::size_t(c)].val7 = std::uint8_t(v);
}

void lettura_servizio::scrivi_aderenza(std::int32_t c) {
  m_.celle[std::size_t(c)].val9 = bassi8(aderenza_.in_vigore);
}

// A speed limit or an adhesion value from a position on: the cells up to the
// one the position rounds to take the value in force so far, at least one
// cell once the position is past the first.
dopo_voce lettura_servizio::riempi(riempimento& r, void (lettura_servizio::*scrivi)(std::int32_t)) {
  std::int32_t p = r_.leggi_i32();
  std::int32_t valore = r_.leggi_i32();
  if (!ctx_.entra(p)) return fuori_linea(p);
  std::int64_t n = cella_fill(p);
  if (n > 0) {
    do {
      // The speed fill stops short of the last cell; the adhesion fill
      // writes it, and nothing past it.
      if (scrivi == &lettura_servizio::scrivi_velocita && r.indice >= m_.n_celle) break;
      if (r.indice <= m_.n_celle) (this->*scrivi)(r.indice);
      ++r.indice;
    } while (r.indice < n);
  }
  r.in_vigore = valore;
  return dopo_voce::avanti;
}

dopo_voce lettura_servizio::velocita() { return riempi(velocita_, &lettura_servizio::scrivi_velocita); }
dopo_voce lettura_servizio::aderenza() { return riempi(aderenza_, &lettura_servizio::scrivi_aderenza); }

dopo_voce lettura_servizio::segnale() {
  std::int32_t v[11];
  for (std::int32_t& x : v) x = r_.leggi_i32();
  if (!ctx_.entra(v[0])) return fuori_linea(v[0]);
  memo_segnale(m_, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10]);
  // Any code in force ends reading here, also one left by the line stage.
  return m_.codice_errore > 0 ? lascia(m_.codice_errore, v[0]) : dopo_voce::avanti;
}

dopo_voce lettura_servizio::rallentamento() {
  std::int32_t v[6];
  for (std::int32_t& x : v) x = r_.leggi_i32();
  if (!ctx_.entra(v[0])) return fuori_linea(v[0]);
  memo_rallentamento(m_, v[0], v[1], v[2], v[3], v[4], v[5]);
  return m_.codice_errore > 0 ? lascia(m_.codice_errore, v[0]) : dopo_voce::avanti;
}

dopo_voce lettura_servizio::abbattimento() {
  std::int32_t p = r_.leggi_i32();
  std::int32_t w = r_.leggi_i32();
  if (!ctx_.entra(p)) return fuori_linea(p);
  cella& c = cella_controllata(m_, cella_fill(p));
  if (!libera(c)) return lascia(codice::abbattimento_occupato, p);
  if (w > 0) {
    c.tipo = cella_abbattimento;
    c.val1 = bassi16(w);
  } else {
    c.tipo = cella_abbattimento_nullo;
  }
  return dopo_voce::avanti;
}

dopo_voce lettura_servizio::stazione() {
  // Element k would hold a sign text already (80 boards): the table is full.
  if (k_ > ctx_.prossimo_testo) return lascia(codice::stazioni_troppe);
  voce_servizio& s = m_.servizio[std::size_t(k_)];
  s.valore3 = r_.leggi_i32();
  const std::int32_t p = s.valore3;
  if (!ctx_.entra(p, 800)) return fuori_linea(p);
  if (p % 50 != 0) return lascia(codice::stazione_posizione, p);
  s.tipo_voce = r_.leggi_u8();
  const std::int32_t lunghezza = r_.leggi_i32();
  if (lunghezza % 100 != 0) return lascia(codice::stazione_lunghezza, p);
  s.opzione = r_.leggi_u8();
  s.byte4 = r_.leggi_u8();
  s.byte3 = r_.leggi_u8();
  s.intero1 = r_.leggi_i16();
  s.intero2 = r_.leggi_i16();
  s.byte1 = r_.leggi_u8();
  s.intero3 = r_.leggi_i16();
  s.intero4 = r_.leggi_i16();
  s.intero5 = r_.leggi_i16();
  s.byte2 = r_.leggi_u8();
  const std::int32_t ore = r_.leggi_i32();
  const std::int32_t minuti = r_.leggi_i32();
  const std::int32_t secondi = r_.leggi_i32();
  s.codice = somma_32(somma_32(prodotto_32(ore, 3600), prodotto_32(minuti, 60)), secondi);
  // The service file stores a 16-bit length: a longer name is refused before
  // it is stored.
  std::string nome = r_.leggi_testo();
  if (nome.size() > 0xFFFF) throw guasto_lettura("station name too long");
  s.nome = std::move(nome);

  std::int64_t inizio, fine;
  switch (s.tipo_voce) {
    case 5:
    case 6:
      inizio = std::int64_t(p) - lunghezza;
      fine = std::int64_t(p) + 150;
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
      fine = std::int64_t(p) + lunghezza / 2 + (s.byte3 != 0 ? 50 : 0);
  }
  s.valore1 = in_32(inizio);
  s.valore2 = in_32(fine);
  if (lunghezza < 600) s.byte4 = 0;
  if (k_ == 1) s.byte3 = s.byte4 = 0;
  if (dopo_voce d = marca_stazione(s); d != dopo_voce::avanti) return d;
  if (k_ > 1 && differenza_32(s.valore1, 350) < m_.servizio[std::size_t(k_ - 1)].valore2)
    return lascia(codice::stazioni_vicine, p);
  ++k_;
  if (k_ >= ctx_.prossimo_testo) return lascia(codice::stazioni_troppe);
  return dopo_voce::avanti;
}

// Approach marks 81 to 84 and the stop cell of a station that marks cells.
dopo_voce lettura_servizio::marca_stazione(const voce_servizio& s) {
  if (s.tipo_voce >= 25) return dopo_voce::avanti;
  const double fine = s.valore2;
  if (s.tipo_voce != 5 && s.tipo_voce != 6) {
    for (int i = 1; i <= 4; ++i) {
      std::int64_t j = std::int64_t(arrotonda(fine / 50 - 1 - i));
      if (j > 1) cella_controllata(m_, j).val6 = std::uint8_t(80 + i);
    }
  }
  std::int64_t j = std::int64_t(arrotonda(fine / 50 - 1));
  if (j <= 1) return lascia(codice::stazione_troppo_presto);
  cella& fermata = cella_controllata(m_, j);
  fermata.tipo = cella_stazione;
  fermata.val1 = bassi16(k_);
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
    non_multipla = non_multipla || m_.servizio[v].valore1 % 50 != 0 || m_.servizio[v].valore2 % 50 != 0;
  if (non_multipla) ctx_.registra(codice::progressiva_non_multipla);
}

}  // namespace

void leggi_descrizione_servizio(contesto_lettura& ctx) {
  const std::string nome = nome_treno_txt(ctx.m);
  std::optional<std::string> testo = ctx.disk.read(nome);
  if (!testo) throw guasto_lettura("service description missing");
  lettura_servizio lettura(ctx, ctx.apri(nome, std::move(*testo)), nome);
  lettura.esegui();
}

}  // namespace sc
