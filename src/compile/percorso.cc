#include "compile/percorso.h"

#include "compile/cammino.h"
#include "compile/codici_gara.h"
#include "compile/uscita_binaria.h"
#include "model/codici.h"
#include "model/modello.h"
#include "model/regole.h"
#include "parsing/memorizza_dati.h"

namespace sc {

namespace {

// The walk over the model's cells: marks are written into them, problems
// recorded with their code and position.
class su_celle {
 public:
  explicit su_celle(modello& m) : m_(m) {}
  std::int32_t ultima() const { return m_.n_celle; }
  std::uint8_t tipo(std::int32_t i) const { return c(i).tipo; }
  std::int16_t velocita(std::int32_t i) const { return c(i).val1; }
  bool libera(std::int32_t i) const { return sc::libera(c(i)); }
  bool ha_marca(std::int32_t i) const { return c(i).tipo == cella_abbattimento; }
  bool fermo() const { return false; }
  void marca(std::int32_t j, std::int32_t per) {
    c(j).tipo = cella_abbattimento;
    c(j).val1 = regole::valore_marca;
    segna_occupata(m_, j, per);
  }
  void abbassa(std::int32_t j) { c(j).val1 = minimo(regole::valore_marca, c(j).val1); }
  void problema(const problema_cammino& p) {
    m_.codice_errore = p.codice;
    m_.posizione_errore = std::int32_t(metro_cella(p.cella_errore));
    m_.osservatore->problema(p);
  }

 private:
  cella& c(std::int32_t i) const { return m_.celle[std::size_t(i)]; }
  modello& m_;
};

void pulisci_servizio(modello& m) { m.servizio.fill(voce_servizio{}); }

// Markers and competition codes go into slots that nothing else may use.
void marcatori_e_codici(modello& m) {
  voce_servizio& scenario = m.servizio[voce_scenario];
  cella& prima = m.celle[regole::cella_marcatori];
  auto ferma = [&](std::int32_t codice) {
    m.osservatore->fine_compilazione(codice);
    errore(codice);
  };
  if (scenario.intero1 != 0 || prima.val1 != 0) ferma(codice::slot_formato_occupati);
  scenario.intero1 = regole::marcatore_servizio;
  prima.val1 = regole::marcatore_celle;
  if (scenario.codice != 0 || prima.val2 != 0) ferma(codice::slot_gara_occupati);
  scenario.codice = codice_gara_st(m);
  prima.val2 = codice_gara_og(m);
}

}  // namespace

void errore(std::int32_t codice) { throw errore_mostrato(" Errore n. " + std::to_string(codice), codice); }

void cammino_posizionamento(modello& m) {
  su_celle celle(m);
  cammino<su_celle>(celle).esegui();
}

void memorizza_percorso(modello& m, Disk& disk, std::int32_t& j, ascoltatore_compilazione& ascolto, bool recupera,
                        const std::function<bool()>& conferma) {
  // The watcher sees where objects go for as long as the compile runs.
  struct osserva {
    modello& m;
    osserva(modello& mod, osservatore_compilazione& o) : m(mod) { m.osservatore = &o; }
    ~osserva() { m.osservatore = &nessun_osservatore(); }
  } guardia(m, ascolto);
  m.genera_linea = j;
  m.codice_errore = codice::nessuno;
  pulisci_servizio(m);
  memorizza_dati(m, disk, ascolto, recupera);
  // Without a length entry there is no track: nothing to walk or write.
  if (!m.celle_create()) return;
  // A track whose length leaves no cell for the markers cannot carry them:
  // a failure, and nothing is written.
  if (m.n_celle < regole::cella_marcatori) {
    m.codice_errore = codice::lettura_fallita;
    m.osservatore->fine_compilazione(codice::lettura_fallita);
    return;
  }
  cammino_posizionamento(m);
  marcatori_e_codici(m);
  if (!conferma || conferma()) scrivi_file_binari(m, disk);
}

}  // namespace sc
