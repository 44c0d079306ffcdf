// The line description: length, kilometre references, backgrounds, signal
// repetition, then gradients, curves, mountains, speed boards and sign boards.
#include <limits>
#include <optional>

#include "model/regole.h"
#include "model/codici.h"
#include "model/regole.h"
#include "model/disk.h"
#include "model/nomi_file.h"
#include "model/testo.h"
#include "parsing/contesto_lettura.h"
#include "parsing/guasto.h"
#include "parsing/memo.h"
#include "parsing/profilo_griglia.h"

namespace sc {

namespace {

class lettura_linea : lettura_file {
 public:
  lettura_linea(contesto_lettura& ctx, lettore_campi& r, std::string nome)
      : lettura_file(ctx, r, std::move(nome)), griglia_(ctx.m.profilo) {}

  fine_fase esegui();

 private:
  bool voce_generale_letta();
  std::optional<std::int32_t> voci_generali();
  void crea_celle(std::int32_t lunghezza);
  std::optional<std::int32_t> ripetizione_segnali();
  void inizia_voci();
  dopo_voce voci_linea();
  dopo_voce pendenza();
  dopo_voce curva();
  dopo_voce montagna();
  dopo_voce indicatori();
  dopo_voce cartello();
  void riempi_pendenza_fino(std::int64_t cella_limite);
  void chiusura();

  griglia_piano griglia_;
  std::int32_t prossima_pendenza_ = 0;  // next cell to take the gradient
  std::int32_t pendenza_ = 0;           // gradient in force
};

fine_fase lettura_linea::esegui() {
  // Find the general section.
  for (;;) {
    m_.campo = r_.leggi_testo();
    if (r_.fine()) {
      lascia(codice::generale_mancante);
      if (recupera()) chiudi_file();
      return fine_fase::termina;
    }
    if (contiene_nocase(m_.campo, "[generale]")) break;
    a_.campo_preambolo();
  }
  a_.sezione(sezione_lettura::generale);
  // General entries, up to the first header.
  while (!r_.fine()) {
    if (!voce_generale_letta()) break;
    std::optional<std::int32_t> codice;
    interpreta([&] {
      codice = voci_generali();
      return dopo_voce::avanti;
    });
    if (codice && lascia(*codice) == dopo_voce::lascia) return fine_fase::termina;
    std::string_view campo = m_.campo;
    const std::size_t primo = campo.find_first_not_of(' ');
    if ((primo == std::string_view::npos || campo[primo] != '-') && contiene(campo, "[") && contiene(campo, "]")) break;
  }
  a_.sezione(sezione_lettura::voci);
  inizia_voci();
  // Line items, to the end of the file.
  while (!r_.fine() && leggi_chiave()) {
    dopo_voce d = interpreta([&] { return voci_linea(); });
    if (d == dopo_voce::lascia) return fine_fase::termina;
    if (d == dopo_voce::chiudi) break;
  }
  chiusura();
  return fine_fase::prosegui;
}

// A key field of the general section: after the first read the end test
// holds only there; up to ten fields holding "-" are then skipped without it.
bool lettura_linea::voce_generale_letta() {
  m_.campo = r_.leggi_testo();
  if (r_.fine()) return false;
  for (int i = 0; i < 10 && contiene(m_.campo, "-"); ++i) {
    a_.campo_disabilitato();
    m_.campo = r_.leggi_testo();
  }
  a_.chiave();
  return true;
}

// The general entries whose key words the field holds, in table order; the
// code of an entry that ends reading, if any.
std::optional<std::int32_t> lettura_linea::voci_generali() {
  const std::string campo = m_.campo;
  auto& s = m_.servizio;
  bool riconosciuta = false;
  auto vale = [&](enum voce v) {
    if (!riconosce(v, campo)) return false;
    riconosciuta = true;
    voce(v);
    return true;
  };
  if (vale(voce::lunghezza)) {
    std::int32_t lunghezza = i32();
    s[voce_treno].valore2 = lunghezza;
    if (lunghezza > regole::lunghezza_massima) return codice::lunghezza_eccessiva;
    crea_celle(lunghezza);
  }
  auto progressiva = [&](int elemento) {
    s[elemento].valore1 = i32();
    s[elemento].valore2 = i32();
    s[elemento].valore3 = i32();
  };
  if (vale(voce::progressiva_tre)) progressiva(voce_progressiva_tre);
  if (vale(voce::progressiva_due)) progressiva(voce_progressiva_due);
  if (vale(voce::progressiva_uno)) progressiva(voce_progressiva_uno);
  if (vale(voce::sfondo_uno)) s[voce_scenario].valore1 = i32();
  if (vale(voce::sfondo_due)) s[voce_scenario].valore3 = i32();
  if (vale(voce::sfondo_tre)) s[voce_scenario].valore2 = i32();
  if (vale(voce::ripetizione)) return ripetizione_segnali();
  if (!riconosciuta) a_.chiave_senza_voce();
  return std::nullopt;
}

// The track is the line and its run-out; a length so negative that the
// arrays would end before index 0 cannot be created.
void lettura_linea::crea_celle(std::int32_t lunghezza) {
  const std::int32_t metri = lunghezza + regole::coda_linea;
  const std::int32_t celle = celle_di(metri);
  if (celle < 0 || (m_.genera_linea != 0 && metri < 0))
    throw guasto_lettura(causa_guasto::lunghezza_senza_pista, lunghezza);
  m_.lunghezza_metri = metri;
  m_.n_celle = celle;
  ctx_.celle_in_sospeso = true;
}

std::optional<std::int32_t> lettura_linea::ripetizione_segnali() {
  voce_servizio& corsa = m_.servizio[voce_corsa];
  corsa.valore1 = i32();
  corsa.valore2 = i32();
  if (corsa.valore1 % regole::multiplo_posizione != 0) return codice::ripetizione_primo_valore;
  if (corsa.valore2 % regole::multiplo_posizione != 0) return codice::ripetizione_secondo_valore;
  if (contiene(m_.campo, "4")) corsa.valore3 = 4;
  else if (contiene(m_.campo, "9")) corsa.valore3 = 9;
  else return codice::ripetizione_codici;
  if (corsa.valore2 == 0) corsa.valore3 = 0;
  return std::nullopt;
}

void lettura_linea::inizia_voci() {
  ctx_.crea_celle();
  // Without a length entry there is no track to put the items on.
  if (!m_.celle_create()) throw guasto_lettura(causa_guasto::senza_lunghezza);
  progressive_ordina(m_);
  m_.n_montagne = 0;
  ctx_.prossimo_testo = prima_voce_cartelli;
  prossima_pendenza_ = 0;
  pendenza_ = 0;
  if (m_.genera_linea != 0) griglia_.semina();
}

// The line items whose key words the field holds, in table order. Without
// the plan, curve entries are recognised but not read: their values are
// read as key fields.
dopo_voce lettura_linea::voci_linea() {
  return voci_della_chiave<lettura_linea>(this, {{voce::pendenza, &lettura_linea::pendenza},
                                                 {voce::curva, m_.genera_linea != 0 ? &lettura_linea::curva : nullptr},
                                                 {voce::montagna, &lettura_linea::montagna},
                                                 {voce::indicatori, &lettura_linea::indicatori},
                                                 {voce::cartello, &lettura_linea::cartello}});
}

// Fills the gradient in force up to the cell before `cella_limite`, always at
// least one cell. Cells past the end of the track are not written.
void lettura_linea::riempi_pendenza_fino(std::int64_t cella_limite) {
  do {
    if (prossima_pendenza_ <= m_.n_celle) m_.celle[std::size_t(prossima_pendenza_)].val8 = bassi8(std::int64_t(pendenza_) + regole::pendenza_piana);
    ++prossima_pendenza_;
  } while (prossima_pendenza_ < cella_limite);
}

dopo_voce lettura_linea::pendenza() {
  std::int32_t p = i32();
  std::int32_t g = i32();
  if (!ctx_.entra(p)) return fuori_linea(p);
  std::int64_t e = cella_fill(p);
  const std::int32_t prima = prossima_pendenza_;
  if (e > 0) riempi_pendenza_fino(e);
  a_.posizione(p, false);
  a_.cambio(voce::pendenza, e, prima, prossima_pendenza_);
  if (const std::int64_t diventa = bassi8(std::int64_t(g) + regole::pendenza_piana) - regole::pendenza_piana; diventa != g)
    a_.valore_cambiato(1, diventa);
  pendenza_ = g;
  return dopo_voce::avanti;
}

dopo_voce lettura_linea::curva() {
  std::int32_t s = i32();
  std::int32_t n = i32();
  if (!ctx_.entra(s)) return fuori_linea(s);
  const std::int64_t prima = griglia_.prossimo_metro();
  const chiave_curva k = leggi_chiave_curva(m_.campo);
  if (!griglia_.integra_curva(s, n, k))
    return lascia(codice::curva_errata, std::nullopt, k.classe == 0 ? causa_codice::curva_senza_classe : causa_codice::curva_oltre_limite);
  a_.posizione(s, false);
  a_.curva(k, prima, griglia_.prossimo_metro());
  return dopo_voce::avanti;
}

dopo_voce lettura_linea::montagna() {
  std::int32_t inizio = i32();
  std::int32_t fine = i32();
  std::int32_t tipo = i32();
  if (!ctx_.entra(inizio)) return fuori_linea(inizio);
  const std::optional<std::int64_t> distanza =
      m_.n_montagne > 0 ? std::optional<std::int64_t>(std::int64_t(inizio) - m_.montagna_fine[std::size_t(m_.n_montagne)]) : std::nullopt;
  const std::int32_t memorizzato = memo_montagna(m_, inizio, fine, tipo);
  a_.posizione(inizio, false);
  a_.montagna(memorizzato, distanza.value_or(std::numeric_limits<std::int64_t>::max()));
  if (bassi8(memorizzato) != memorizzato) a_.valore_cambiato(2, bassi8(memorizzato));
  return dopo_voce::avanti;
}

dopo_voce lettura_linea::indicatori() {
  sc::indicatori t;
  for (std::int32_t* x : {&t.posizione, &t.vas, &t.vbs, &t.vcs, &t.strisces, &t.vad, &t.vbd, &t.vcd, &t.strisced}) *x = i32();
  if (!ctx_.entra(t.posizione)) return fuori_linea(t.posizione);
  if (auto no = memo_indicatori_v_max(m_, t)) return rifiutata(*no, t.posizione);
  a_.posizione(t.posizione, false);
  if (const std::int64_t strisce = std::int64_t(t.strisces) * 10 + t.strisced; bassi16(strisce) != strisce)
    a_.ridotto(formula::strisce, strisce, bassi16(strisce), 16);
  return dopo_voce::avanti;
}

dopo_voce lettura_linea::cartello() {
  std::int32_t p = i32();
  m_.campo = testo();
  if (!ctx_.entra(p)) return fuori_linea(p);
  const std::int64_t k = cella_di(p);
  cella& c = cella_controllata(m_, k);
  if (!libera(c)) return rifiutata({codice::cartello_occupato, k, c.tipo}, p);
  // Element 0 stays cleared: one board more than the elements has nowhere to go.
  if (ctx_.prossimo_testo < 1) throw guasto_lettura(causa_guasto::troppi_cartelli, prima_voce_cartelli);
  if (m_.campo.size() > regole::testo_massimo)
    throw guasto_lettura(causa_guasto::testo_troppo_lungo, std::int64_t(m_.campo.size()), 0, regole::testo_massimo);
  c.tipo = cella_cartello;
  c.val1 = bassi16(ctx_.prossimo_testo);
  segna_occupata(m_, k);
  m_.servizio[std::size_t(ctx_.prossimo_testo)].nome = m_.campo;
  --ctx_.prossimo_testo;
  a_.posizione(p, false);
  return dopo_voce::avanti;
}

void lettura_linea::chiusura() {
  chiudi_file();
  riempi_pendenza_fino(std::int64_t(m_.n_celle) - 2);
  if (m_.genera_linea != 0) griglia_.estendi();
}

}  // namespace

fine_fase leggi_descrizione_linea(contesto_lettura& ctx) {
  modello& m = ctx.m;
  m.servizio[voce_scenario].nome = m.nome_scenario;
  m.servizio[voce_corsa].nome = m.nome_treno;
  const std::string nome = nome_linea_txt(m);
  if (!ctx.disk.exists(nome)) {
    m.codice_errore = codice::linea_mancante;
    ctx.ascolta.codice(codice::linea_mancante, std::nullopt, causa_codice::nessuna);
    return fine_fase::termina;
  }
  std::optional<std::string> testo = ctx.disk.read(nome);
  if (!testo) throw guasto_lettura(causa_guasto::file_mancante);
  lettura_linea lettura(ctx, ctx.apri(nome, std::move(*testo), parte_descrizione::linea), nome);
  return lettura.esegui();
}

}  // namespace sc
