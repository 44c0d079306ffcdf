#include "compile/percorso.h"

#include <algorithm>
#include <initializer_list>

#include "compile/codici_gara.h"
#include "compile/uscita_binaria.h"
#include "model/codici.h"
#include "model/modello.h"
#include "parsing/memorizza_dati.h"
#include "diagnostics/segnalazioni.h"

namespace sc {

namespace {

constexpr std::int16_t valore_marca = 180;
constexpr std::int16_t marcatore_servizio = 610;
constexpr std::int16_t marcatore_celle = 5121;
constexpr std::int16_t velocita_ripetizione = 110;  // restrictions this fast get no repeated marks
constexpr int passo_ripetizione = 8;               // cells between repeated marks
constexpr int ricerca_segnale_uscita = 12;         // cells after the end searched for a signal

class cammino {
 public:
  explicit cammino(modello& m) : m_(m), u_(m.n_celle) {}

  void esegui() {
    for (std::int32_t i = 1; i <= u_ - 2; ++i) {
      if (c(i).tipo == cella_avviso_rallentamento) regola_a(i);
      else if (c(i).tipo == cella_inizio_rallentamento) regola_b(i);
    }
  }

 private:
  cella& c(std::int32_t i) { return m_.celle[std::size_t(i)]; }
  bool libera_in(std::int32_t i) { return i >= 0 && i <= u_ && libera(c(i)); }

  // Records the problem's code, its position the cell's metres, and tells
  // the observer the cells that explain it.
  void registra(problema_cammino p, std::int32_t cella) {
    m_.codice_errore = p.codice;
    m_.posizione_errore = cella * 50;
    if (m_.osservatore) m_.osservatore->problema(p);
  }

  // A mark of the compiler in cell j, serving the rule at cell `per`.
  void marca(std::int32_t j, std::int32_t per) {
    c(j).tipo = cella_abbattimento;
    c(j).val1 = valore_marca;
    segna_occupata(m_, j, per);
  }

  // A mark in the first free cell of those given, in their order.
  bool marca_prima_libera(std::initializer_list<std::int32_t> celle, std::int32_t per) {
    for (std::int32_t j : celle) {
      if (libera(c(j))) {
        marca(j, per);
        return true;
      }
    }
    return false;
  }
  // A mark in one of the two cells in front of signal s.
  bool marca_davanti(std::int32_t s, std::int32_t per) { return marca_prima_libera({s - 1, s - 2}, per); }

  // Signals up to 20 cells before a warning board get a mark in front.
  void regola_a(std::int32_t i) {
    for (std::int32_t s = i - 1; s >= i - 20 && s >= 3; --s) {
      if (c(s).tipo != cella_segnale || marca_davanti(s, i)) continue;
      if (c(s - 1).tipo == cella_abbattimento) c(s - 1).val1 = minimo(valore_marca, c(s - 1).val1);
      else if (c(s - 2).tipo == cella_abbattimento) c(s - 2).val1 = minimo(valore_marca, c(s - 2).val1);
      else registra({problema_cammino::caso::segnale_avviso, codice::segnale_senza_spazio, i, s, 0, {s - 1, s - 2}}, s);
    }
  }

  void regola_b(std::int32_t i) {
    finestra(i, 5);
    finestra(i, 11);
    finestra(i, 18);
    std::int32_t fine = c(i).val1 < velocita_ripetizione ? ripetizione(i) : cerca_fine(i);
    if (fine >= 0) segnale_uscita(i, fine);
  }

  // A mark in the first free cell of i - d, i - d - 1, i - d - 2.
  void finestra(std::int32_t i, std::int32_t d) {
    if (i <= d + 2) return;
    if (!marca_prima_libera({i - d, i - d - 1, i - d - 2}, i))
      registra({problema_cammino::caso::finestra, codice::rallentamento_approccio, i, -1, d, {i - d, i - d - 1, i - d - 2}}, i);
  }

  // Marks every 8 cells from the start to the end cell, which it returns.
  // A start with no end before the last cell is reported at the start cell
  // and gets no exit mark (-1).
  std::int32_t ripetizione(std::int32_t i) {
    std::int32_t p = i, conta = 0;
    do {
      if (p >= u_) return senza_fine(i);
      ++p;
      ++conta;
      if (conta == passo_ripetizione) {
        if (libera_in(p)) marca(p, i), conta = 0;
        else if (libera_in(p - 1)) marca(p - 1, i), conta = 1;
        else if (libera_in(p + 1)) marca(p + 1, i), conta = -1;
        else registra({problema_cammino::caso::ripetizione, codice::rallentamento_ripetizione, i, p, 0, {p, p - 1, p + 1}}, p);
      }
    } while (c(p).tipo != cella_fine_rallentamento);
    return p;
  }

  // The end cell of a fast restriction, found the same way without marks,
  // so that its exit signal is treated like a slow one's.
  std::int32_t cerca_fine(std::int32_t i) {
    for (std::int32_t p = i + 1; p <= u_; ++p)
      if (c(p).tipo == cella_fine_rallentamento) return p;
    return senza_fine(i);
  }

  std::int32_t senza_fine(std::int32_t i) {
    registra({problema_cammino::caso::senza_fine, codice::rallentamento_ripetizione, i, -1, 0, {}}, i);
    return -1;
  }

  // The first signal within 12 cells after the end gets a mark in front.
  void segnale_uscita(std::int32_t i, std::int32_t e) {
    for (std::int32_t s = e; s <= std::min(e + ricerca_segnale_uscita, u_); ++s) {
      if (c(s).tipo != cella_segnale) continue;
      if (!marca_davanti(s, i))
        registra({problema_cammino::caso::segnale_uscita, codice::rallentamento_ripetizione, i, s, 0, {s - 1, s - 2}}, e);
      return;
    }
  }

  modello& m_;
  std::int32_t u_;
};

void pulisci_servizio(modello& m) { m.servizio.fill(voce_servizio{}); }

// Markers and competition codes go into slots that nothing else may use.
void marcatori_e_codici(modello& m) {
  voce_servizio& scenario = m.servizio[voce_scenario];
  cella& prima = m.celle[1];
  auto ferma = [&](std::int32_t codice) {
    if (m.osservatore) m.osservatore->fine_compilazione(codice);
    errore(std::to_string(codice));
  };
  if (scenario.intero1 != 0 || prima.val1 != 0) ferma(codice::slot_formato_occupati);
  scenario.intero1 = marcatore_servizio;
  prima.val1 = marcatore_celle;
  if (scenario.codice != 0 || prima.val2 != 0) ferma(codice::slot_gara_occupati);
  scenario.codice = codice_gara_st(m);
  prima.val2 = codice_gara_og(m);
}

}  // namespace

void errore(const std::string& a) {
  throw errore_mostrato(" Errore n. " + a, std::stoi(a));
}

void cammino_posizionamento(modello& m) { cammino(m).esegui(); }

void memorizza_percorso(modello& m, Disk& disk, std::int32_t& j, segnalazioni* diag) {
  // The diagnostics watch where objects go for as long as the compile runs.
  struct osserva {
    modello& m;
    osserva(modello& mod, osservatore_compilazione* o) : m(mod) { m.osservatore = o; }
    ~osserva() { m.osservatore = nullptr; }
  } guardia(m, diag);
  m.genera_linea = j;
  m.codice_errore = codice::nessuno;
  pulisci_servizio(m);
  memorizza_dati(m, disk, diag);
  // Without a length entry there is no track: nothing to walk or write.
  if (!m.celle_create()) return;
  // A track whose length leaves no cell 1 cannot carry the format markers:
  // a failure, and nothing is written.
  if (m.n_celle < 1) {
    m.codice_errore = codice::lettura_fallita;
    if (m.osservatore) m.osservatore->fine_compilazione(codice::lettura_fallita);
    return;
  }
  cammino_posizionamento(m);
  marcatori_e_codici(m);
  scrivi_file_binari(m, disk);
}

}  // namespace sc
